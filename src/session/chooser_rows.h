// What a level's card in the chooser says, and the fewest moves of every
// level listed (see catalogue.h), worked out on a thread of its own while
// the list shows.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rules/background_task.h"
#include "rules/fewest.h"
#include "rules/rules.h"
#include "rules/solver.h"
#include "session/catalogue.h"

// A card's title, cut with "..." to fit its width.
std::string cardTitle(const std::string& title);
// A card's progress: the player's best (negative: not solved) beside the
// fewest moves (a count or one of the fewest:: values).
std::string cardProgress(int32_t best, int32_t fewest);
// The player's best is the fewest moves possible: the card shows a mark.
inline bool bestIsFewest(int32_t best, int32_t fewest) { return best >= 0 && best == fewest; }

// Solves the given positions one after another on a thread of its own,
// starting with `first` and going round; destroying it cancels the work and
// waits for the thread.
class FewestMovesWork {
public:
    FewestMovesWork(std::vector<RuleState> positions, std::size_t first, SolveLimits limits = SolveLimits());
    ~FewestMovesWork();
    FewestMovesWork(const FewestMovesWork&) = delete;
    FewestMovesWork& operator=(const FewestMovesWork&) = delete;

    // The fewest moves of position j as far as known (fewest::kNotKnown until then).
    int32_t fewest(std::size_t j) const;
    // Waits until every position is worked out (tests and tools).
    void finish();

private:
    void run(std::size_t first, const std::atomic<bool>& cancelled);

    std::vector<RuleState> positions_;
    std::unique_ptr<std::atomic<int32_t>[]> fewest_;
    SolveLimits limits_;
    BackgroundTask task_;
};
