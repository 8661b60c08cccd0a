// Watching a level won again: a kept way (your best, or the solver's
// fewest) played move by move from the level's start at the game's pace,
// with "Watching" in the top line. Space held hurries; Escape (or Enter,
// once it is over) goes back. Nothing watched is a move of the level in
// play, and nothing is recorded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rules/rules.h"
#include "screens/board_view.h"
#include "screens/screen.h"
#include "session/motion.h"

class WatchingScreen : public Screen {
public:
    // `what` names the way ("your best", "the fewest moves").
    WatchingScreen(const RuleState& start, std::vector<int32_t> moves, int32_t number, std::string title,
                   std::string what);
    void handle(const input::Event& event, Context& context) override;
    bool update(const input::Held& held, unsigned long nowMs, Context& context) override;
    void draw(BITMAP* target, Context& context) override;
    bool animating(const Context& context) const override;
    bool ambient() const override { return true; }

    // The moves played so far (started, the one under way among them).
    size_t played() const { return next_; }
    bool over() const { return over_; }
    const RuleState& board() const { return rules_; }

    // A pause between two moves, so that each can be followed.
    static constexpr unsigned long kPauseMs = 200;

private:
    RuleState rules_;
    Motion motion_{rules_};
    std::vector<int32_t> moves_;
    int32_t number_;
    std::string title_, what_;
    BoardView view_;
    size_t next_ = 0;
    bool over_ = false;
    bool started_ = false;
    unsigned long endedAt_ = 0;
};
