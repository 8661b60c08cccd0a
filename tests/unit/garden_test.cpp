// The garden's schedule run for simulated hours, six minutes of it rendered from the real calls, and the effects' choices.
#include <SDL.h>
#include <SDL_mixer.h>

#include <cmath>
#include <set>

#include "fixture.h"
#include "platform/effects.h"
#include "platform/garden.h"

namespace {

using garden::sounds;
constexpr int kRecordings = 4;

struct Heard {
    double at;
    garden::Start start;
};

// Every start of `seconds` of play updated every 100 ms, calls `length` s long; not audible during [quietFrom, quietTo).
std::vector<Heard> run(uint32_t seed, double seconds, const std::function<double(int)>& length, double quietFrom = -1, double quietTo = -1) {
    garden::Plan plan(seed, 1000);
    std::vector<Heard> heard;
    for (int tenth = 1; tenth <= seconds * 10; ++tenth) {
        const double t = tenth / 10.0;
        for (const garden::Start& s : plan.update(t < quietFrom || t >= quietTo, 1000 + t, length)) heard.push_back({t, s});
    }
    return heard;
}

TEST(GardenPlan, RecordingsKeepTheirRhythmWhileTheChorusNeverRepeatsItself) {
    const double callSeconds = 1.2;
    const std::vector<Heard> heard = run(7, 3600, [&](int) { return callSeconds; });
    std::map<int, std::vector<double>> starts;
    std::vector<Heard> calls;
    for (const Heard& h : heard) (h.start.sound < kRecordings ? starts[h.start.sound].push_back(h.at) : calls.push_back(h));
    for (int i = 0; i < kRecordings; ++i) {  // start interval + 1 s in, then every 2 (interval + 1) s
        ASSERT_GE(starts[i].size(), 2u) << i;
        EXPECT_NEAR(starts[i][0], sounds()[i].interval + 1, 0.11) << i;
        for (size_t k = 1; k < starts[i].size(); ++k) EXPECT_NEAR(starts[i][k] - starts[i][k - 1], 2 * (sounds()[i].interval + 1), 0.11) << i;
    }
    // Calls take turns on their channel, at varied pitches, loudness, places and spacing, and every bird sings.
    ASSERT_GT(calls.size(), 600u);
    std::set<int> kinds, gaps;
    std::map<std::tuple<int, int, int, int, int>, double> patterns;  // two calls in a row (call, pitch in percent, gap in tenths, call, pitch): when last heard
    for (size_t k = 1; k < calls.size(); ++k) {
        const garden::Start& c = calls[k].start;
        const double gap = calls[k].at - calls[k - 1].at - callSeconds / calls[k - 1].start.pitch;
        EXPECT_GE(gap, 0.2) << k;
        EXPECT_TRUE(c.pitch > 0.85 && c.pitch < 1.15 && c.volume > 40 && c.volume <= sounds()[c.sound].volume && c.pan >= 0 && c.pan <= 255) << k;
        kinds.insert(sounds()[c.sound].kind), gaps.insert(std::lround(gap * 10));
        const garden::Start& b = calls[k - 1].start;
        auto [was, fresh] = patterns.insert({{b.sound, std::lround(b.pitch * 100), std::lround(gap * 10), c.sound, std::lround(c.pitch * 100)}, calls[k].at});
        EXPECT_TRUE(fresh || calls[k].at - std::exchange(was->second, calls[k].at) > 360) << "heard within six minutes: call " << k;
    }
    EXPECT_EQ(kinds.size(), 6u);
    EXPECT_GT(gaps.size(), 50u);
}

TEST(GardenPlan, NothingStartsUnheardAPauseIsNotMadeUpAndMissingCallsStaySilent) {
    // Ten minutes away from the garden from second 20: nothing starts; back, the recordings due start at once, the chorus goes on as before.
    const std::vector<Heard> heard = run(3, 700, [](int) { return 1.0; }, 20, 620);
    int atReturn = 0;
    for (const Heard& h : heard) {
        EXPECT_FALSE(h.at >= 20 && h.at < 620) << h.at;
        if (h.at == 620) atReturn += h.start.sound < kRecordings ? 10 : 1;
    }
    EXPECT_GE(atReturn, 40);  // every recording
    EXPECT_LT(atReturn % 10, 2);  // one call at most
    // No call can be played: the recordings alone.
    for (const Heard& h : run(3, 700, [](int) { return 0.0; })) EXPECT_LT(h.start.sound, kRecordings);
}

// Loudness (mean |sample|) per tenth of a second of a decoded sound.
std::vector<double> envelope(const std::string& path) {
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    EXPECT_NE(chunk, nullptr) << path;
    std::vector<double> tenths;
    if (!chunk) return tenths;
    const Sint16* s = reinterpret_cast<const Sint16*>(chunk->abuf);
    const size_t n = chunk->alen / 2, per = 44100 * 2 / 10;
    for (size_t i = 0; i < n; i += per) {
        double sum = 0;
        for (size_t j = i; j < std::min(n, i + per); ++j) sum += std::abs(s[j]);
        tenths.push_back(sum / per);
    }
    Mix_FreeChunk(chunk);
    return tenths;
}

TEST(GardenPlan, SixMinutesRenderedFromTheRealCallsNeverMatchThemselvesAtAnyLagFrom20To300Seconds) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0);
    Mix_Init(MIX_INIT_MP3);
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 4096), 0);
    std::vector<std::vector<double>> shapes;
    for (const garden::Sound& s : sounds()) shapes.push_back(envelope(harness::dataDir() + "/" + s.path));
    Mix_CloseAudio(), Mix_Quit(), SDL_QuitSubSystem(SDL_INIT_AUDIO);
    double worst = 0;
    for (uint32_t seed : {1u, 2u, 3u, 4u, 5u}) {
        const int n = 3600;
        std::vector<double> e(n);
        for (const Heard& h : run(seed, 360, [&](int i) { return shapes[i].size() / 10.0; }))
            for (int k = 0; k * h.start.pitch < shapes[h.start.sound].size() && h.at * 10 + k < n; ++k)
                e[h.at * 10 + k] += shapes[h.start.sound][k * h.start.pitch] * h.start.volume / 255;
        double mean = 0, variance = 0;
        for (double v : e) mean += v / n;
        for (double& v : e) v -= mean, variance += v * v;
        for (int lag = 200; lag <= 3000; ++lag) {
            double c = 0;
            for (int i = 0; i + lag < n; ++i) c += e[i] * e[i + lag];
            worst = std::max(worst, c / (variance * (n - lag) / n));
        }
    }
    std::printf("garden loudness: highest likeness to itself 20..300 s later, five gardens: %.3f\n", worst);
    EXPECT_LT(worst, 0.5);
}

TEST(EffectsPicker, DigsAndStepsNeverRepeatAFallSoundsHeavierTheFurtherAndEveryCueHasItsSound) {
    effects::Picker picker(11);
    for (Cue cue : {Cue::Dig, Cue::Step}) {
        std::set<int> variants;
        double low = 2, high = 0;
        int last = -1;
        for (int i = 0; i < 200; ++i) {
            const effects::Choice c = picker.pick({cue});
            EXPECT_NE(c.sound, last);
            last = c.sound, low = std::min(low, c.pitch), high = std::max(high, c.pitch);
            variants.insert(c.sound);
        }
        EXPECT_EQ(variants.size(), cue == Cue::Dig ? 4u : 3u);
        EXPECT_GT(high - low, 0.15);
    }
    EXPECT_STREQ(effects::paths()[picker.pick({Cue::Land, 1}).sound], "sounds/effects/land-light.mp3");
    effects::Choice before{-1, 2, 0};
    for (int cells : {2, 3, 5, 8, 100000, INT32_MAX}) {
        const effects::Choice c = picker.pick({Cue::Land, cells});
        EXPECT_STREQ(effects::paths()[c.sound], "sounds/effects/land-heavy.mp3");
        EXPECT_TRUE(c.pitch <= before.pitch && c.pitch >= 0.75 && c.volume >= before.volume && c.volume <= 255) << cells;
        before = c;
    }
    std::set<int> used;
    for (Cue cue : {Cue::Bump, Cue::Win, Cue::Undo, Cue::Hint, Cue::DeadEnd, Cue::Click}) used.insert(picker.pick({cue}).sound);
    EXPECT_EQ(used.size(), 6u);
    EXPECT_EQ(picker.pick({Cue::Count}).sound, -1);
    // A landing while others sound: each later one quieter, none beyond the third.
    for (auto [sounding, volume] : {std::pair{0, 200}, {1, 134}, {2, 90}, {3, 0}, {8, 0}}) EXPECT_EQ(effects::landingVolume(200, sounding), volume) << sounding;
}

}  // namespace
