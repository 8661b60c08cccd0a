// What the level chooser lists beside each level, and the work behind it:
// the rows' text, the part of a long list on screen, and the fewest moves
// of every level, worked out on a thread of its own while the list shows.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "rules/rules.h"
#include "rules/fewest.h"
#include "rules/solver.h"

// The index of the first row on screen, from the one shown before: moved
// only as far as it takes to bring the marked row on screen. All rows fit
// when there are no more than rowsShown; a mark outside the list moves
// nothing.
int firstShownRow(int previousFirst, int mark, int count, int rowsShown);

// One row: the marker, title and number as always, then the progress.
// best is the player's record (negative: not solved); fewest a number of
// moves or one of the fewest:: values.
std::string chooserRow(bool marked, const std::string& title, int32_t number, int32_t best, int32_t fewest);

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
    void run(std::size_t first);

    std::vector<RuleState> positions_;
    std::unique_ptr<std::atomic<int32_t>[]> fewest_;
    std::atomic<bool> cancel_{false};
    SolveLimits limits_;
    std::thread thread_;
};
