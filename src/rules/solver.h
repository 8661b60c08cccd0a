// The solver: from a position between moves, the fewest moves that reach the
// bone and one shortest way there, or why the bone cannot be reached. It
// works on its own copy of the position, so it may run on a background
// thread while the game goes on; a bound on work and a cancel flag keep it
// from running long.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "rules/rules.h"

struct SolveLimits {
    size_t maxPositions = 2000000;              // distinct positions before giving up
    const std::atomic<bool>* cancel = nullptr;  // set from anywhere to stop soon
    size_t maxBytes = size_t(64) << 20;         // memory the search may hold (~190 bytes a position)
};

struct SolveResult {
    enum Outcome { Solved, Unwinnable, NotProved };
    enum Reason {
        NoReason,
        BoneBuried,    // Unwinnable: a rock lies on the bone and can never move
        BoneWalledIn,  // Unwinnable: no way into the bone's cell ever opens
        NoWay,         // Unwinnable: every position was tried
        TooMuchWork,   // NotProved: maxPositions or maxBytes reached
        Cancelled,     // NotProved: the cancel flag was set
        NotPlayable,   // NotProved: the position is invalid or not between moves
    };
    Outcome outcome = NotProved;
    Reason reason = NoReason;
    std::vector<int32_t> moves;  // Solved: one shortest way (Directions), first move first
    size_t positions = 0;        // distinct positions reached
    double seconds = 0;

    // Solved only: the fewest moves (0 when the dog stands on the bone) and
    // the first move of a shortest way (None for 0).
    int32_t fewestMoves() const { return static_cast<int32_t>(moves.size()); }
    int32_t firstMove() const { return moves.empty() ? int32_t(None) : moves.front(); }
};

// Solves from `from`, which must be between moves (RuleState::betweenMoves);
// its move count is not used. Thread-safe: touches nothing but its arguments.
SolveResult solve(const RuleState& from, const SolveLimits& limits = SolveLimits());

// The reason in words, e.g. "the bone is buried under a rock".
const char* reasonText(SolveResult::Reason reason);
