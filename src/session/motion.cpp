#include "session/motion.h"

#include <cstring>

#include "rules/tiles.h"

namespace {

// Enough ticks for any move to end (the rules end every move long before).
constexpr int kMostTicks = 200000;
// A frame later than this (a stalled machine) catches up no further: the
// ticks are then late, never lost.
constexpr unsigned long kLongestFrameMs = 10000;

bool onGrass(const RuleState& s) {
    if (!s.onBoard(s.dogColumn, s.dogRow)) return false;
    const uint8_t cell = s.board[s.dogRow][s.dogColumn];
    return cell == SkyBottom || cell == SkyBottomDestroyed;
}

}  // namespace

void Motion::start(int32_t direction, unsigned long nowMs, bool follows) {
    rules_.startMove(direction == Up, direction == Down, direction == Right, direction == Left);
    if (!follows || !clockValid_) {
        clockValid_ = true;
        lastMs_ = nowMs;
        creditUs_ = kTickUs;
    }
    changed_ = true;
}

Motion::Ran Motion::run(unsigned long nowMs, int speed) {
    Ran ran;
    won_ = false;
    if (!busy()) {
        clockValid_ = false;
        rules_.beginTick();
        tick();
        ran.won = won_;
        ran.ended = true;
        return ran;
    }
    if (!clockValid_) {
        clockValid_ = true;
        lastMs_ = nowMs;
        creditUs_ = kTickUs;
    }
    unsigned long elapsed = nowMs >= lastMs_ ? nowMs - lastMs_ : 0;
    if (elapsed > kLongestFrameMs) elapsed = kLongestFrameMs;
    lastMs_ = nowMs;
    const unsigned long owed = creditUs_ + elapsed * 1000 * static_cast<unsigned long>(speed > 0 ? speed : 1);
    int ticks = speed == kAtOnce ? kMostTicks : static_cast<int>(owed / kTickUs);
    creditUs_ = speed == kAtOnce ? kTickUs : owed % kTickUs;
    int i = 0;
    for (; i < ticks && busy(); ++i) {
        rules_.beginTick();
        tick();
        if (won_) {
            ran.won = true;
            return ran;
        }
    }
    if (busy()) return ran;
    ran.ended = true;
    // The frame's time the move did not need goes to a move that follows at once.
    if (speed != kAtOnce) creditUs_ += static_cast<unsigned long>(ticks - i) * kTickUs;
    return ran;
}

bool Motion::takeChanged() {
    const bool was = changed_;
    changed_ = false;
    return was;
}

std::vector<CueEvent> Motion::takeCues() {
    std::vector<CueEvent> out;
    out.swap(cues_);
    return out;
}

void Motion::tick() {
    if (!onTick) {
        tickRules();
        return;
    }
    const RuleState before = rules_;
    tickRules();
    onTick(before, rules_);
}

void Motion::tickRules() {
    if (rules_.rockFalling) {
        const int32_t y = rules_.fallingRockY;
        if (rules_.fallTick()) changed_ = true;
        // A landing ends the fall, or the next rock up the column starts above.
        if (!rules_.rockFalling || rules_.fallingRockY < y) {
            cue(Cue::Land, (y - fallFrom_) / RuleState::cellSize + 1);
            fallFrom_ = rules_.fallingRockY;
        }
        return;
    }
    uint8_t before[RuleState::boardHeight][RuleState::boardWidth];
    std::memcpy(before, rules_.board, sizeof before);
    const int32_t column = rules_.dogColumn, row = rules_.dogRow;
    const TickOutcome outcome = rules_.stepTick();
    if (outcome.changed) changed_ = true;
    won_ = outcome.won;
    if (std::memcmp(before, rules_.board, sizeof before) != 0) {
        for (int r = 0; r < RuleState::boardHeight; ++r)
            for (int c = 0; c < RuleState::boardWidth; ++c)
                if (before[r][c] == Dirt && rules_.board[r][c] == Tunnel) cue(Cue::Dig);
    } else if ((column != rules_.dogColumn || row != rules_.dogRow) && onGrass(rules_)) {
        cue(Cue::Step);
    }
    if (rules_.rockFalling) fallFrom_ = rules_.fallingRockY;
}
