// The cost of the game's sounds: opening them all at start-up (which only
// checks and queues the files), decoding them in the background, and the
// memory the decoded sound holds.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "platform/effects.h"
#include "platform/garden.h"
#include "platform/sound.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

double maxRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void BM_OpenAndDecodeEverySound(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (chdir(TUNNELWICK_DATA_DIR) != 0) state.SkipWithError("no data directory");
    const double rssBefore = maxRssMb();
    double open = 0, decode = 0, bytes = 0;
    for (auto _ : state) {
        FSOUND_Init(44100, 16, FSOUND_INIT_GLOBALFOCUS);
        Garden garden;
        Effects effects;
        auto begin = Clock::now();
        garden.open(0), effects.open();
        open += ms(begin);
        // The decoder works in order: the last opened is decoded last.
        FSOUND_Stream_GetLengthSeconds(FSOUND_Stream_Open("sounds/effects/click.mp3", FSOUND_LOOP_OFF, 0, 0));
        decode += ms(begin);
        bytes = FSOUND_DecodedBytes();
        FSOUND_Close();
    }
    state.counters["open_ms"] = open / state.iterations();
    state.counters["decode_ms"] = decode / state.iterations();
    state.counters["decoded_mb"] = bytes / (1024.0 * 1024.0);
    state.counters["max_rss_growth_mb"] = maxRssMb() - rssBefore;
}
BENCHMARK(BM_OpenAndDecodeEverySound)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
