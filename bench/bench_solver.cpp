// The solver over every shipped level: each level's fewest moves from its
// start, with the positions reached per second.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "levels/level.h"
#include "play/solver.h"

namespace {

// The shipped levels' starting positions, in number order.
std::vector<RuleState> shippedStarts() {
    std::vector<RuleState> starts;
    for (int n = 1;; ++n) {
        std::ifstream in(std::string(TUNNELWICK_DATA_DIR) + "/levels/" + std::to_string(n) + ".lvl",
                         std::ios::binary);
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

}  // namespace

BENCHMARK_MAIN();
