// The solver over every shipped level: the whole set must be proved in well
// under ten seconds on the project's two-core machine.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "bench_support.h"
#include "play/solver.h"

namespace {

void BM_SolveShippedLevels(benchmark::State& state) {
    Game& game = bench::game();
    size_t explored = 0;
    int levels = 0;
    for (auto _ : state) {
        explored = 0;
        levels = 0;
        for (int n = 1;; ++n) {
            std::string path = bench::dataDir() + "/levels/" + std::to_string(n) + ".lvl";
            if (!std::ifstream(path).good() || !game.loadLevelFile(path)) break;
            SolveResult result = solveLevel(game);
            if (result.outcome != SolveResult::Solved) {
                state.SkipWithError(("level " + std::to_string(n) + " not solved").c_str());
                return;
            }
            explored += result.statesExplored;
            ++levels;
        }
    }
    state.counters["levels"] = levels;
    state.counters["positions"] = static_cast<double>(explored);
    state.counters["positions_per_s"] =
        benchmark::Counter(static_cast<double>(explored), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SolveShippedLevels)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

}  // namespace

BENCHMARK_MAIN();
