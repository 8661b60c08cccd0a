// The fewest moves a level or position needs, as far as known: a count, or
// one of the values below. One type for the score line, the won screen and
// the chooser, and one mapping from what the solver found.
#pragma once

#include <cstdint>

#include "rules/solver.h"

namespace fewest {

constexpr int32_t kNotKnown = -1;  // not worked out (yet)
constexpr int32_t kNoWay = -2;     // the bone cannot be reached
constexpr int32_t kTooHard = -3;   // the solver gave up, or the position cannot be played

inline int32_t of(const SolveResult& r) {
    switch (r.outcome) {
    case SolveResult::Solved: return r.fewestMoves();
    case SolveResult::Unwinnable: return kNoWay;
    default: return kTooHard;
    }
}

}  // namespace fewest
