#include "session/chooser_rows.h"

#include "session/fewest_cache.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace {

// Titles are cut so that the progress still fits in the window's 80 columns.
const std::size_t kLongestTitle = 28;

}  // namespace

int firstShownRow(int previousFirst, int mark, int count, int rowsShown) {
    if (count <= rowsShown || rowsShown <= 0) return 0;
    int first = previousFirst;
    if (mark >= 0 && mark < count) {
        first = std::min(first, mark);
        first = std::max(first, mark - rowsShown + 1);
    }
    return std::max(0, std::min(first, count - rowsShown));
}

std::string chooserRow(bool marked, const std::string& title, int32_t number, int32_t best, int32_t fewest) {
    const std::string shown = title.size() > kLongestTitle ? title.substr(0, kLongestTitle - 3) + "..." : title;
    std::string row = std::string(marked ? "--->" : " ") + " Level: \"" + shown + "\" - #" + std::to_string(number);
    row += best >= 0 ? "   solved in " + std::to_string(best) : "   not solved";
    switch (fewest) {
        case fewest::kNotKnown: row += ", fewest ..."; break;
        case fewest::kNoWay: row += ", cannot be won"; break;
        case fewest::kTooHard: row += ", fewest ?"; break;
        default: row += ", fewest " + std::to_string(fewest); break;
    }
    return row;
}

FewestMovesWork::FewestMovesWork(std::vector<RuleState> positions, std::size_t first, SolveLimits limits)
    : positions_(std::move(positions)), fewest_(new std::atomic<int32_t>[positions_.size()]), limits_(limits) {
    for (std::size_t j = 0; j < positions_.size(); ++j) fewest_[j] = fewest::kNotKnown;
    limits_.cancel = &cancel_;
    try {
        thread_ = std::thread(&FewestMovesWork::run, this, first);
    } catch (const std::system_error&) {
        // No thread to be had: the list shows without the fewest moves.
        for (std::size_t j = 0; j < positions_.size(); ++j) fewest_[j] = fewest::kTooHard;
    }
}

FewestMovesWork::~FewestMovesWork() {
    cancel_ = true;
    if (thread_.joinable()) thread_.join();
}

int32_t FewestMovesWork::fewest(std::size_t j) const {
    return j < positions_.size() ? fewest_[j].load() : fewest::kTooHard;
}

void FewestMovesWork::finish() {
    if (thread_.joinable()) thread_.join();
}

void FewestMovesWork::run(std::size_t first) {
    const std::size_t n = positions_.size();
    for (std::size_t i = 0; i < n && !cancel_; ++i) {
        const std::size_t j = (first + i) % n;
        int32_t known;
        if (fewestCache::lookup(positions_[j], limits_, known)) {
            fewest_[j] = known;
            continue;
        }
        const SolveResult r = solve(positions_[j], limits_);
        if (r.outcome == SolveResult::NotProved && r.reason == SolveResult::Cancelled) return;
        fewest_[j] = fewest::of(r);
        fewestCache::store(positions_[j], limits_, fewest_[j]);
    }
}
