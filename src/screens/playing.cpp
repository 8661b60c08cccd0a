#include "screens/playing.h"

#include <memory>

#include "screens/dialogs.h"
#include "screens/look.h"
#include "screens/won.h"
#include "session/session.h"

namespace {

const int kArrowKeys[MoveKeys::Count] = {KEY_UP, KEY_DOWN, KEY_RIGHT, KEY_LEFT};

int arrowOf(int scancode) {
    for (int a = 0; a < MoveKeys::Count; ++a)
        if (kArrowKeys[a] == scancode) return a;
    return -1;
}

}  // namespace

void PlayingScreen::resumed(Context& c) {
    pending_ = Play::Input();
    c.session.play.forgetKeys();
}

void PlayingScreen::handle(const input::Event& e, Context& c) {
    if (e.kind != input::Event::Press) return;
    const int arrow = arrowOf(e.scancode);
    if (arrow >= 0) {
        pending_.arrows.press(static_cast<MoveKeys::Arrow>(arrow));
        return;
    }
    switch (e.scancode) {
    case KEY_U:
    case KEY_BACKSPACE: pending_.undo = true; break;
    case KEY_H: pending_.hint = true; break;
    case KEY_ESC:
        c.session.play.forgetKeys();  // the presses waiting are not played on return
        c.nav.showOnly(ScreenId::Menu);
        break;
    case KEY_R:
        c.nav.push(std::make_unique<QuestionDialog>("Really restart the level (Y/N)?", [](bool yes, Context& c) {
            if (yes) c.session.restartLevel();
        }));
        break;
    case KEY_S: c.nav.open(ScreenId::Chooser); break;
    case KEY_O: c.nav.open(ScreenId::Options); break;
    default: break;
    }
}

bool PlayingScreen::update(const input::Held& held, unsigned long nowMs, Context& c) {
    Session& s = c.session;
    arrowHeld_ = false;
    for (int a = 0; a < MoveKeys::Count; ++a) {
        pending_.arrows.down[a] = held.key(kArrowKeys[a]);
        arrowHeld_ |= pending_.arrows.down[a];
    }
    if (!s.playable()) {
        pending_ = Play::Input();
        return false;
    }
    pending_.nowMs = nowMs;
    pending_.hurry = held.key(KEY_SPACE);
    const bool won = s.play.frame(pending_);
    pending_ = Play::Input();
    const bool told = tellRules(c);
    const bool wasNudging = nudging_;
    nudging_ = s.play.nudge(nowMs, nudgeX_, nudgeY_);
    for (const CueEvent& cue : s.play.takeCues()) c.hear(cue);
    if (won) {
        // The won screen opens over the board, which shows the dog at her bone a moment first.
        c.nav.push(std::make_unique<WonScreen>(s.recordWin(), true));
        return true;
    }
    return s.play.takeChanged() || nudging_ || wasNudging || told;
}

bool PlayingScreen::tellRules(Context& c) {
    Session& s = c.session;
    if (s.play.notice == Play::DeadEndNotice) s.notes.lost(s.rules.moveCount);
    const size_t showing = s.notes.showing().size();
    s.notes.follow(s.rules.moveCount);
    const bool changed = showing != shownNotes_ || showing != s.notes.showing().size();
    shownNotes_ = s.notes.showing().size();
    if (!s.notes.takeNewlyTold()) return changed;
    // Kept at once: a note told is not told again, even if the game ends
    // badly. Should the file not be written, the note is told again next time.
    c.preferences.notesTold = s.notes.told();
    savePreferences(c.preferences);
    return true;
}

bool PlayingScreen::animating(const Context& c) const {
    return c.session.playable() && (c.session.play.busy() || arrowHeld_ || nudging_);
}

void drawRuleNotes(BITMAP* target, const RuleNotes& notes) {
    // At the foot of the board, the newest lowest.
    const std::vector<RuleNotes::Note>& showing = notes.showing();
    std::vector<StyledLine> lines;
    const int lowest = target->h - 18, step = 14;
    for (size_t i = 0; i < showing.size(); ++i)
        lines.push_back({RuleNotes::text(showing[i]), lowest - step * static_cast<int>(showing.size() - 1 - i),
                         makecol(255, 230, 140)});
    drawLines(target, lines);
}

const char* const kFirstStepsText = "Arrows dig  -  U takes back  -  H hints  -  Space hurries";

void PlayingScreen::draw(BITMAP* target, Context& c) {
    const Session& s = c.session;
    RuleState shown = s.rules;
    shown.dogOffsetX += nudgeX_, shown.dogOffsetY += nudgeY_;  // a refused move's nudge
    view_.draw(target, shown, c.pictures, true);
    drawCaption(target, s.number, s.title);
    if (!s.playable()) {
        drawSkyText(target, s.unreadableText(), target->w / 2, kCell / 2 - text_height(font) / 2 + 14);
        drawSkyText(target, "S chooses another level, Escape goes to the menu", target->w / 2,
                    kCell / 2 - text_height(font) / 2 + 26);
        return;
    }
    drawScoreLine(target, captionText(s.number, s.title), s.rules.moveCount, s.play.best, s.play.fewest);
    drawNotice(target, s.rules, s.play);
    drawRuleNotes(target, s.notes);
    // The first levels tell the keys until the level is won (a notice takes their line while it shows).
    const bool won = s.rules.dogColumn == s.rules.boneColumn && s.rules.dogRow == s.rules.boneRow;
    if ((s.number == 1 || s.number == 2) && !s.boardEdited && !won && s.play.notice == Play::NoNotice)
        drawSkyText(target, kFirstStepsText, target->w / 2, kCell / 2 - text_height(font) / 2 + 14);
}
