#include "screens/won.h"

#include <cstdint>
#include <memory>

#include "screens/dialogs.h"
#include "session/session.h"

const char* const kEndOfGameText =
    "Congratulations! You beat all the levels available in Tunnelwick!\n"
    "\n"
    "You can make your own levels with the level editor (press L in the "
    "main menu) and share them: every level is a file in the levels "
    "folder (1.lvl, 2.lvl, ...). Give a friend your file, and they put "
    "it in their own levels folder under the next free number.\n"
    "\n"
    "View the readme for more info: its section \"Making and sharing levels\".";

WonScreen::WonScreen(const RecordKeeper* keeper) : keeper_(keeper), known_(!keeper) {
    record_.outcome = WinRecord::NotSaved;
}

WonScreen::WonScreen(WinRecord record) : record_(std::move(record)), known_(true) {}

void WonScreen::handle(const input::Event& e, Context& c) {
    if (e.kind != input::Event::Press) return;
    if (e.scancode != KEY_ENTER && e.scancode != KEY_ENTER_PAD && e.scancode != KEY_SPACE && e.scancode != KEY_ESC)
        return;
    Session& s = c.session;
    // The highest number there is has no level after it.
    if (s.number < INT32_MAX && Session::levelExists(s.number + 1)) {
        s.loadLevel(s.number + 1);
        c.nav.showOnly(ScreenId::Playing);
        return;
    }
    // No next level: the whole set is beaten. Back to the menu on level 1.
    s.loadLevel(1);
    c.nav.showOnly(ScreenId::Menu);
    c.nav.push(std::make_unique<MessageDialog>(kEndOfGameText));
}

bool WonScreen::update(const input::Held&, unsigned long, Context& c) {
    bool changed = false;
    if (!known_ && keeper_->done(record_)) known_ = changed = true;
    if (known_ && !told_ && record_.outcome == WinRecord::Unreadable) {
        told_ = true;
        c.nav.push(std::make_unique<MessageDialog>("Error loading high scores table (\"highscores.dat\")"));
        return true;
    }
    // The fewest possible may still be on its way.
    c.session.play.takeAdvice();
    return c.session.play.takeChanged() || changed;
}

void WonScreen::draw(BITMAP* target, Context& c) {
    const Session& s = c.session;
    const int W = target->w, H = target->h;
    const int32_t moves = s.rules.moveCount;
    clear_bitmap(target);
    BITMAP* won = c.pictures[WinPicture];
    if (won) blit(won, target, 0, 0, W / 2 - won->w / 2, H / 2 - won->h / 2, won->w, won->h);
    textprintf_centre_ex(target, font, W / 2, H * 13 / 16, makecol(50, 150, 50), -1,
                         "Congratulations! You beat the level in only %i moves.", moves);
    const int grey = makecol(150, 150, 150);
    std::string line;
    // While another game holds the table the record waits; it is said only
    // if the table stays held.
    if (!known_) line = keeper_->waiting() ? "Another game is using the record table: waiting to save..." : "";
    else switch (record_.outcome) {
    case WinRecord::NewRecord: line = "This is a new record!"; break;
    case WinRecord::NotBeaten:
        if (record_.record < moves)
            line = "The high score for this level is " + std::to_string(record_.record) + ".";
        else
            line = "You tied for the high score.";
        break;
    case WinRecord::NotSaved: line = "The record could not be saved: " + record_.reason; break;
    case WinRecord::Busy: line = "The record could not be saved: another game kept the table busy."; break;
    default: break;
    }
    // A board changed in the editor is not the level its number names.
    if (s.boardEdited) line = "An edited board: no record kept.";
    if (!line.empty()) textout_centre_ex(target, font, line.c_str(), W / 2, H * 7 / 8, grey, -1);
    const int32_t fewest = s.play.fewest;
    if (fewest >= 0)
        textprintf_centre_ex(target, font, W / 2, H * 15 / 16, grey, -1,
                             "The fewest moves possible for this level: %i.", fewest);
    else if (fewest == fewest::kNotKnown)
        textout_centre_ex(target, font, "Working out the fewest moves possible...", W / 2, H * 15 / 16, grey, -1);
}
