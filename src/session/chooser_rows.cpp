#include "session/chooser_rows.h"

#include "session/fewest_cache.h"

#include <algorithm>
#include <utility>

namespace {

// Titles are cut to what a card's width holds in the built-in font.
const std::size_t kLongestTitle = 34;

}  // namespace

std::string cardTitle(const std::string& title) {
    return title.size() > kLongestTitle ? title.substr(0, kLongestTitle - 3) + "..." : title;
}

std::string cardProgress(int32_t best, int32_t fewest) {
    std::string text = best >= 0 ? "Your best: " + std::to_string(best) : "Not solved yet";
    switch (fewest) {
    case fewest::kNotKnown: return text + "   Fewest: ...";
    case fewest::kNoWay: return text + "   Cannot be won";
    case fewest::kTooHard: return text + "   Fewest: ?";
    default: return text + "   Fewest: " + std::to_string(fewest);
    }
}

FewestMovesWork::FewestMovesWork(std::vector<RuleState> positions, std::size_t first, SolveLimits limits)
    : positions_(std::move(positions)), fewest_(new std::atomic<int32_t>[positions_.size()]), limits_(limits) {
    for (std::size_t j = 0; j < positions_.size(); ++j) fewest_[j] = fewest::kNotKnown;
    // No thread to be had: the list shows without the fewest moves.
    if (!task_.start([this, first](const std::atomic<bool>& cancelled) { run(first, cancelled); }))
        for (std::size_t j = 0; j < positions_.size(); ++j) fewest_[j] = fewest::kTooHard;
}

FewestMovesWork::~FewestMovesWork() {
    task_.cancel();
    task_.join();
}

int32_t FewestMovesWork::fewest(std::size_t j) const {
    return j < positions_.size() ? fewest_[j].load() : fewest::kTooHard;
}

void FewestMovesWork::finish() { task_.join(); }

void FewestMovesWork::run(std::size_t first, const std::atomic<bool>& cancelled) {
    SolveLimits limits = limits_;
    limits.cancel = &cancelled;
    const std::size_t n = positions_.size();
    for (std::size_t i = 0; i < n && !cancelled; ++i) {
        const std::size_t j = (first + i) % n;
        int32_t known;
        if (fewestCache::lookup(positions_[j], limits, known)) {
            fewest_[j] = known;
            continue;
        }
        const SolveResult r = solve(positions_[j], limits);
        if (r.outcome == SolveResult::NotProved && r.reason == SolveResult::Cancelled) return;
        fewest_[j] = fewest::of(r);
        fewestCache::store(positions_[j], limits, fewest_[j]);
    }
}
