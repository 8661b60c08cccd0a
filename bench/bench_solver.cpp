// The solver over every shipped level: each level's fewest moves from its
// start, with the positions reached per second; and the time to the fewest
// moves from positions met while playing, the question the game asks while
// the player waits.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "rules/solver.h"
#include "storage/level.h"

namespace {

// The shipped levels' starting positions, in number order.
std::vector<RuleState> shippedStarts() {
    std::vector<RuleState> starts;
    for (int n = 1;; ++n) {
        std::ifstream in(std::string(TUNNELWICK_DATA_DIR) + "/levels/" + std::to_string(n) + ".lvl", std::ios::binary);
        if (!in) break;
        std::ostringstream bytes;
        bytes << in.rdbuf();
        Level level;
        readLevel(bytes.str(), level);
        RuleState start;
        placeLevel(level, start);
        starts.push_back(start);
    }
    return starts;
}

void BM_SolveShippedLevels(benchmark::State& state) {
    const std::vector<RuleState> starts = shippedStarts();
    size_t positions = 0;
    for (auto _ : state) {
        positions = 0;
        for (size_t i = 0; i < starts.size(); ++i) {
            SolveResult result = solve(starts[i]);
            if (result.outcome != SolveResult::Solved) {
                state.SkipWithError(("level " + std::to_string(i + 1) + " not solved").c_str());
                return;
            }
            positions += result.positions;
        }
    }
    state.counters["levels"] = static_cast<double>(starts.size());
    state.counters["positions"] = static_cast<double>(positions);
    state.counters["positions_per_s"] =
        benchmark::Counter(static_cast<double>(positions), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SolveShippedLevels)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

// Positions reachable in the shipped levels, drawn by random play: from each
// level's start, a random number of random moves (up to twice its fewest
// moves, so that dead ends far from the way are met too), stopping short of
// a win. Every answer is timed; the figures are over all of them.
void BM_FewestMovesFromReachablePositions(benchmark::State& state) {
    const std::vector<RuleState> starts = shippedStarts();
    const int kPerLevel = static_cast<int>(state.range(0));
    std::mt19937 rng(2026);
    std::vector<RuleState> sample;
    for (const RuleState& start : starts) {
        const int fewest = solve(start).fewestMoves();
        for (int i = 0; i < kPerLevel; ++i) {
            RuleState s = start;
            const int length = static_cast<int>(rng() % (2 * fewest + 1));
            for (int m = 0; m < length; ++m) {
                RuleState next = s;
                if (slideMove(next, static_cast<int32_t>(1 + rng() % 4))) break;
                s = next;
            }
            s.moveCount = 0;
            sample.push_back(s);
        }
    }
    std::vector<double> ms;
    size_t solved = 0, unwinnable = 0, notProved = 0;
    for (auto _ : state) {
        ms.clear();
        for (const RuleState& s : sample) {
            auto begin = std::chrono::steady_clock::now();
            SolveResult r = solve(s);
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
            solved += r.outcome == SolveResult::Solved;
            unwinnable += r.outcome == SolveResult::Unwinnable;
            notProved += r.outcome == SolveResult::NotProved;
        }
    }
    std::sort(ms.begin(), ms.end());
    auto at = [&](double q) { return ms[std::min(ms.size() - 1, static_cast<size_t>(q * ms.size()))]; };
    state.counters["positions"] = static_cast<double>(ms.size());
    state.counters["p50_ms"] = at(0.50);
    state.counters["p99_ms"] = at(0.99);
    state.counters["max_ms"] = ms.back();
    state.counters["solved"] = static_cast<double>(solved);
    state.counters["unwinnable"] = static_cast<double>(unwinnable);
    state.counters["not_proved"] = static_cast<double>(notProved);
}
BENCHMARK(BM_FewestMovesFromReachablePositions)->Arg(100)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
