#include "screens/watching.h"

#include <utility>

#include "session/move_log.h"

WatchingScreen::WatchingScreen(const RuleState& start, std::vector<int32_t> moves, int32_t number, std::string title,
                               std::string what)
    : rules_(start), moves_(std::move(moves)), number_(number), title_(std::move(title)), what_(std::move(what)) {
    rules_.moveCount = 0;
    moveLog::settle(rules_);
}

void WatchingScreen::handle(const input::Event& e, Context& c) {
    if (e.kind != input::Event::Press) return;
    if (e.scancode == KEY_ESC || (over_ && (e.scancode == KEY_ENTER || e.scancode == KEY_ENTER_PAD))) c.nav.close();
}

bool WatchingScreen::update(const input::Held& held, unsigned long nowMs, Context& c) {
    if (over_) return false;
    if (!started_) started_ = true, endedAt_ = nowMs;
    const int speed = held.key(KEY_SPACE) ? Motion::kHurry : 1;
    bool changed = false;
    if (!motion_.busy()) {
        if (next_ >= moves_.size()) {
            over_ = true;
            return true;
        }
        // Hurried, the pause between moves is shorter too.
        if (nowMs - endedAt_ < kPauseMs / speed) return false;
        motion_.start(moves_[next_++], nowMs);
        changed = true;
    }
    const Motion::Ran ran = motion_.run(nowMs, speed);
    for (const CueEvent& cue : motion_.takeCues()) c.hear(cue);
    if (ran.won) {
        over_ = true;
        c.hear({Cue::Win});
    } else if (ran.ended) {
        endedAt_ = nowMs;
    }
    return motion_.takeChanged() || changed || over_;
}

bool WatchingScreen::animating(const Context&) const { return !over_; }

void WatchingScreen::draw(BITMAP* target, Context& c) {
    view_.draw(target, rules_, c.pictures, true);
    // The top line says this is no game in play.
    drawSkyText(target, "Watching  -  " + captionText(number_, title_), target->w / 2, kCell / 2 - text_height(font) / 2);
    const std::string line = what_ + ": move " + std::to_string(next_) + " of " + std::to_string(moves_.size()) +
                             (over_ ? "  -  Enter or Escape goes back" : "  -  Space hurries, Escape stops");
    drawSkyText(target, line, target->w / 2, kCell / 2 - text_height(font) / 2 + 14);
}
