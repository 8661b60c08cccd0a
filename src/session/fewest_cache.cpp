#include "session/fewest_cache.h"

#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

namespace fewestCache {

namespace {

std::mutex guard;
std::unordered_map<std::string, int32_t> known;
std::deque<std::string> order;  // oldest first

// Everything the solver's answer depends on, as bytes.
std::string keyOf(const RuleState& s, const SolveLimits& limits) {
    const int32_t cells[] = {s.dogColumn, s.dogRow, s.boneColumn, s.boneRow};
    const uint64_t bounds[] = {limits.maxPositions, limits.maxBytes};
    std::string key(reinterpret_cast<const char*>(s.board), sizeof s.board);
    key.append(reinterpret_cast<const char*>(cells), sizeof cells);
    key.append(reinterpret_cast<const char*>(bounds), sizeof bounds);
    return key;
}

}  // namespace

bool lookup(const RuleState& start, const SolveLimits& limits, int32_t& fewest) {
    if (!start.valid() || !start.betweenMoves()) return false;
    std::lock_guard<std::mutex> hold(guard);
    const auto found = known.find(keyOf(start, limits));
    if (found == known.end()) return false;
    fewest = found->second;
    return true;
}

void store(const RuleState& start, const SolveLimits& limits, int32_t fewest) {
    if (!start.valid() || !start.betweenMoves()) return;
    std::string key = keyOf(start, limits);
    std::lock_guard<std::mutex> hold(guard);
    if (known.count(key)) return;
    if (order.size() >= kMostLevels) {
        for (std::size_t i = 0; i < kMostLevels / 2; ++i) {
            known.erase(order.front());
            order.pop_front();
        }
    }
    known.emplace(key, fewest);
    order.push_back(std::move(key));
}

void clear() {
    std::lock_guard<std::mutex> hold(guard);
    known.clear();
    order.clear();
}

}  // namespace fewestCache
