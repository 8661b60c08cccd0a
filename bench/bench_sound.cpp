// The cost of the game's sounds: opening them all at start-up (which only
// checks and queues the files), decoding them in the background, the memory
// the decoded sound holds, and mixing the busiest second the game can make
// (the limiter's share of it too), as a share of one core.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "platform/effects.h"
#include "platform/garden.h"
#include "platform/sound.h"
#include "platform/sound_mix.h"

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

// A rock collapse in the garden: every channel busy, the landings piled
// high enough that the limiter works all the while.
void BM_MixTheBusiestSecond(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (chdir(TUNNELWICK_DATA_DIR) != 0) state.SkipWithError("no data directory");
    FSOUND_Init(44100, 16, FSOUND_INIT_GLOBALFOCUS);
    auto decoded = [](const char* path, unsigned mode = FSOUND_LOOP_OFF) {
        return FSOUND_Stream_GetSamples(FSOUND_Stream_Open(path, mode, 0, 0));
    };
    std::vector<std::pair<const sound::Samples*, bool>> playing;  // sound, looped
    for (const garden::BedLayer& layer : garden::bed()) playing.push_back({decoded(layer.path, FSOUND_LOOP_NORMAL), true});
    for (const garden::Sound& sound : garden::sounds()) playing.push_back({decoded(sound.path), true});
    playing.resize(7);  // the bed, the four recordings, a bird
    for (const char* effect : {"sounds/effects/land-heavy.mp3", "sounds/effects/land-heavy.mp3", "sounds/effects/land-light.mp3",
                               "sounds/effects/dig1.mp3", "sounds/effects/dig2.mp3", "sounds/effects/win.mp3",
                               "sounds/effects/bump.mp3", "sounds/effects/dig3.mp3", "sounds/effects/land-heavy.mp3"})
        playing.push_back({decoded(effect), true});  // looped, so that all sound for the whole second
    std::vector<int16_t> out(2 * 44100);
    double mixing = 0, limiting = 0, lowest = 1;
    for (auto _ : state) {
        sound::Mixer mixer(16, 44100);
        for (int channel = 0; channel < 16; ++channel) mixer.play(channel, playing[channel].first, playing[channel].second);
        auto begin = Clock::now();
        for (int at = 0; at < 44100; at += 2048) mixer.mix(&out[2 * at], std::min(2048, 44100 - at));
        mixing += ms(begin);
        // The limiter alone, on the same second summed without it.
        std::vector<float> sum(2 * 44100);
        for (int i = 0; i < 2 * 44100; ++i) sum[i] = 6.0f * out[i];
        sound::Limiter limiter(44100);
        begin = Clock::now();
        for (int at = 0; at < 44100; at += 2048) limiter.process(&sum[2 * at], std::min(2048, 44100 - at), &out[2 * at]);
        limiting += ms(begin);
        lowest = std::min(lowest, limiter.lowestGain());
    }
    FSOUND_Close();
    // Milliseconds per second of sound, over ten: the per cent of a core.
    state.counters["mix_percent_of_core"] = mixing / state.iterations() / 10;
    state.counters["limiter_percent_of_core"] = limiting / state.iterations() / 10;
    state.counters["limiter_lowest_gain"] = lowest;
}
BENCHMARK(BM_MixTheBusiestSecond)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
