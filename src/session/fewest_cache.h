// The fewest moves the chooser worked out for each level, kept for the rest
// of the run, so that opening the chooser again solves nothing: a level the
// solver runs to its bound on costs a core and tens of megabytes every time.
// Keyed by the position itself (board, dog and bone) and the solver's bounds,
// so a level file changed on disk, or a looser bound, is worked out afresh.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rules/rules.h"
#include "rules/solver.h"

namespace fewestCache {

// At most this many levels are kept; past it the oldest half is forgotten.
constexpr std::size_t kMostLevels = 4096;

// True with the remembered answer (moves, or a FewestKnown of chooser_rows.h)
// when this position was worked out before under the same bounds.
bool lookup(const RuleState& start, const SolveLimits& limits, int32_t& fewest);
// Remembers a final answer; positions not between moves are not kept.
void store(const RuleState& start, const SolveLimits& limits, int32_t fewest);
// Forgets everything (tests).
void clear();

}  // namespace fewestCache
