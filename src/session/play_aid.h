// What the playing screen keeps besides the rules: when arrows become moves,
// the positions to take back, and what the advisor has found out (the fewest
// moves possible, a hint, a dead end).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "rules/advisor.h"
#include "session/move_keys.h"
#include "rules/rules.h"

struct PlayAid {
    static constexpr int32_t kNotKnown = -1;   // not worked out (yet)
    static constexpr int32_t kNoWay = -2;      // the bone cannot be reached
    static constexpr int32_t kTooHard = -3;    // the solver gave up

    enum Notice { NoNotice, HintNotice, DeadEndNotice, NoHintNotice };

    // Enough for every shipped level (the largest needs about 145 000); each
    // position costs about 160 bytes while a question runs.
    static constexpr size_t kMostPositions = 250000;

    explicit PlayAid(std::function<void()> onAnswer) : advisor(std::move(onAnswer), limits()) {}
    static SolveLimits limits() {
        SolveLimits l;
        l.maxPositions = kMostPositions;
        return l;
    }

    MoveKeys keys;
    // The position before each move made, last move last.
    std::vector<RuleState> history;
    Advisor advisor;
    uint64_t answersSeen = 0;

    RuleState levelStart;
    bool levelAsked = false;      // the questions about this level are out
    int32_t best = kNotKnown;     // from the high-score table
    int32_t fewest = kNotKnown;   // from the level's start

    // The move in progress: where it began and the way the dog took.
    bool moving = false;
    int32_t fromColumn = 0, fromRow = 0, taken = 0;

    Notice notice = NoNotice;
    bool hintWanted = false;  // H pressed; shown when the answer comes
    int32_t hintDirection = 0, hintMoves = 0;
};
