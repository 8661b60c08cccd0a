#include "screens/won.h"

#include <cstdint>
#include <memory>

#include "screens/dialogs.h"
#include "session/session.h"

std::string bestLine(const WinRecord& r, int32_t moves, bool boardEdited) {
    // A board changed in the editor is not the level its number names.
    if (boardEdited) return "An edited board: no record kept.";
    switch (r.outcome) {
    case WinRecord::NewRecord: return "A new best! Your record for this level is now " + std::to_string(moves) + ".";
    case WinRecord::NotBeaten:
        if (r.record < moves) return "Your best is " + std::to_string(r.record) + ": that record stands.";
        return "As good as your best: your record stays " + std::to_string(r.record) + ".";
    case WinRecord::NotSaved: return "The record could not be saved: " + r.reason;
    case WinRecord::Busy: return "The record could not be saved: another game kept the table busy.";
    default: return "";
    }
}

std::string fewestLine(int32_t fewest, int32_t moves) {
    if (fewest == fewest::kNotKnown) return "Working out the fewest moves possible...";
    if (fewest < 0) return "";
    const std::string line = "The fewest moves possible: " + std::to_string(fewest) + ".";
    return moves <= fewest ? line + " You found the shortest way!" : line;
}

WonScreen::WonScreen(const RecordKeeper* keeper, bool moment) : inMoment_(moment), keeper_(keeper), known_(!keeper) {
    record_.outcome = WinRecord::NotSaved;
}

WonScreen::WonScreen(WinRecord record) : record_(std::move(record)), known_(true) {}

void WonScreen::handle(const input::Event& e, Context& c) {
    // The press or click that ends the moment does nothing more; those after it count.
    if (inMoment_ && (e.kind == input::Event::Press || e.kind == input::Event::Click)) {
        inMoment_ = false;
        return;
    }
    if (e.kind != input::Event::Press) return;
    if (e.scancode != KEY_ENTER && e.scancode != KEY_ENTER_PAD && e.scancode != KEY_SPACE && e.scancode != KEY_ESC)
        return;
    Session& s = c.session;
    LevelRef after;
    if (catalogue::next(s.level(), after)) {
        s.loadLevel(after);
        c.nav.showOnly(ScreenId::Playing);
        return;
    }
    // No next level: the finale tells how the whole set went.
    c.nav.showOnly(ScreenId::Finale);
}

bool WonScreen::update(const input::Held&, unsigned long nowMs, Context& c) {
    bool changed = false;
    if (!known_ && keeper_->done(record_)) known_ = changed = true;
    // The wait for a busy table is said the moment it begins.
    const bool waiting = !known_ && keeper_->waiting();
    if (waiting != waitingSaid_) waitingSaid_ = waiting, changed = true;
    if (inMoment_) {
        if (!momentTimed_) momentTimed_ = true, momentFrom_ = nowMs;
        if (nowMs - momentFrom_ < kMomentMs) return changed;
        inMoment_ = false;
        changed = true;
    }
    if (known_ && !told_ && record_.outcome == WinRecord::Unreadable) {
        told_ = true;
        c.nav.push(std::make_unique<MessageDialog>("Error loading high scores table (\"" +
                                                   catalogue::tablePath(c.session.pack) + "\")"));
        return true;
    }
    // The fewest possible may still be on its way.
    c.session.play.takeAdvice();
    return c.session.play.takeChanged() || changed;
}

void WonScreen::draw(BITMAP* target, Context& c) {
    const Session& s = c.session;
    const int W = target->w;
    const int32_t moves = s.rules.moveCount;
    // The board just won shows alone for a moment, then dimmed beneath the panel.
    if (inMoment_) return;
    dimBeneath(target);
    // The picture in a wooden frame, the words on a panel beneath it.
    BITMAP* won = c.pictures[WinPicture];
    if (won) {
        const int x = W / 2 - won->w / 2, y = 200 - won->h / 2;
        drawPanel(target, x - 6, y - 6, x + won->w + 5, y + won->h + 5);
        blit(won, target, 0, 0, x, y, won->w, won->h);
    }
    LevelRef after;
    const bool next = catalogue::next(s.level(), after);
    std::vector<StyledLine> lines = {
        {"You reached the bone in " + std::to_string(moves) + (moves == 1 ? " move!" : " moves!"), 366,
         makecol(255, 230, 120)}};
    // While another game holds the table the record waits; that is said
    // only when it does not come at once.
    const std::string best = known_         ? bestLine(record_, moves, s.boardEdited)
                             : waitingSaid_ ? "Another game is using the record table: waiting to save..."
                                            : "";
    const std::string least = fewestLine(s.play.fewest, moves);
    const int plain = makecol(230, 220, 200);
    if (!best.empty()) lines.push_back({best, 384, plain});
    if (!least.empty()) lines.push_back({least, 398, plain});
    lines.push_back({next ? "Enter: next level" : "Enter: see how you did", 418, makecol(255, 214, 64)});
    drawLines(target, lines);
}
