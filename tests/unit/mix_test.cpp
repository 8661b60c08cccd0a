// The final stage of the mix: piles of loud sounds never reach -1 dBFS while a lone sound passes at its level, volumes start where set and glide
// when changed, pitched copies carry no mirrored harmonics, and the shipped sounds, rendered as the game plays them, keep their designed levels.
#include <cmath>

#include "fixture.h"
#include "platform/effects.h"
#include "platform/garden.h"
#include "platform/sound.h"
#include "platform/sound_mix.h"

namespace {

const double kMinusOneDb = 32768 * std::pow(10, -1 / 20.0);

sound::Samples tone(double hz, double seconds, double amplitude, bool square = false) {
    sound::Samples s;
    s.channels = 1;
    for (int i = 0; i < seconds * 44100; ++i) {
        const double v = std::sin(2 * M_PI * hz * i / 44100);
        s.data.push_back(static_cast<int16_t>(std::lround(amplitude * (square ? (v >= 0 ? 1 : -1) : v))));
    }
    return s;
}

std::vector<int16_t> render(sound::Mixer& mixer, double seconds) {
    std::vector<int16_t> out(2 * static_cast<size_t>(seconds * 44100));
    for (size_t at = 0; at < out.size(); at += 2 * 2048) mixer.mix(&out[at], static_cast<int>(std::min<size_t>(2048, (out.size() - at) / 2)));
    return out;
}

TEST(Mix, NoPileReachesMinusOneDbfsWhileALoneSoundPassesAtItsLevel) {
    const struct { int voices; double volume, master; bool square; bool limited; } rows[] = {
        {1, 1, 1, false, false}, {1, 1, 1, true, false}, {4, 0.25, 1, true, false},  // squares all start high together
        {2, 1, 1, false, true},  {3, 1, 0.5, true, true}, {16, 1, 1, true, true},   {16, 0.3, 1, false, true},
    };
    for (const auto& row : rows) {
        std::vector<sound::Samples> sounds;
        sound::Mixer mixer(16, 44100);
        mixer.setMaster(row.master);
        for (int v = 0; v < row.voices; ++v) sounds.push_back(tone(60 + 37 * v, 1.5, 32767, row.square));
        for (int v = 0; v < row.voices; ++v) mixer.setVolume(v, row.volume), mixer.play(v, &sounds[v], v % 2 == 0);
        const std::vector<int16_t> out = render(mixer, 1.2);
        double peak = 0, sum = 0;
        for (int16_t s : out) peak = std::max(peak, std::fabs(double(s))), sum += double(s) * s;
        const double summed = 32767 * row.volume * row.master * sound::kHeadroom * row.voices;
        EXPECT_LE(peak, kMinusOneDb) << row.voices;
        if (row.limited) EXPECT_GT(peak, 0.8 * 32768) << "limited, not crushed: " << row.voices;
        else EXPECT_NEAR(peak, summed, 3) << "untouched: " << row.voices;
    }
}

TEST(Mix, AVolumeSetBeforeAStartHoldsFromTheFirstFrameAndAChangeWhileSoundingGlides) {
    sound::Samples loud = tone(441, 1, 20000);
    sound::Mixer mixer(2, 44100);
    mixer.setVolume(1, 0.1);
    mixer.play(1, &loud, true);
    std::vector<int16_t> out = render(mixer, 0.2);
    double first = 0;
    for (size_t i = 0; i < out.size(); ++i) first = std::max(first, std::fabs(double(out[i])));
    EXPECT_NEAR(first, 20000 * 0.1 * sound::kHeadroom, 2);
    mixer.setVolume(1, 1);  // ten times louder: reached over 10 ms, never in a step
    out = render(mixer, 0.05);
    double before = first * 1.1;
    for (int ms = 0; ms < 14; ++ms) {
        double peak = 0;
        for (int i = ms * 44; i < (ms + 1) * 44; ++i) peak = std::max(peak, std::fabs(double(out[2 * (i + 87)])));  // after the 2 ms delay
        if (ms < 10) EXPECT_LT(peak, before + 0.2 * 20000 * sound::kHeadroom) << ms;
        before = std::max(before, peak);
    }
    EXPECT_NEAR(before, 20000 * sound::kHeadroom, 60);
    mixer.stop(1);
    EXPECT_FALSE(mixer.playing(1));
}

// The level of a frequency in a block already windowed (Kaiser, sidelobes far below -90 dB).
double levelAt(const std::vector<double>& x, double hz) {
    const double c = std::cos(2 * M_PI * hz / 44100), s = std::sin(2 * M_PI * hz / 44100);
    double re = 0, im = 0, pr = 1, pi = 0;
    for (double v : x) re += v * pr, im += v * pi, std::tie(pr, pi) = std::pair{pr * c - pi * s, pr * s + pi * c};
    return std::hypot(re, im);
}

TEST(Mix, APitchedCopyHasNoMirroredHarmonicsAboveMinus90Db) {
    for (auto [hz, pitch] : {std::pair{10000.0, 1.13}, {9000.0, 0.87}, {6000.0, 1.5}, {3000.0, 0.5}}) {
        const double played = std::lround(pitch * 256) / 256.0;  // in steps of 1/256
        const sound::Samples copy = sound::resample(tone(hz, 1, 30000), pitch);
        ASSERT_NEAR(copy.frames(), 44100 / played, 2);
        std::vector<double> block(copy.data.begin() + 4000, copy.data.begin() + 4000 + 16384);
        for (size_t i = 0; i < block.size(); ++i) block[i] *= std::cyl_bessel_i(0, 14 * std::sqrt(1 - std::pow(2.0 * i / (block.size() - 1) - 1, 2)));
        const double heard = played * hz, wanted = levelAt(block, heard);
        double worst = 0, at = 0;
        for (double f = 100; f < 22000; f += 97)
            if (std::fabs(f - heard) > 400 && levelAt(block, f) > worst) worst = levelAt(block, f), at = f;
        EXPECT_LT(20 * std::log10(worst / wanted), -90) << hz << " Hz at " << pitch << ": " << at << " Hz";
    }
    // Pitched above the top of hearing, a tone is gone, not folded back.
    const sound::Samples high = sound::resample(tone(20000, 0.5, 30000), 1.13);
    double left = 0;
    for (size_t i = 2000; i + 2000 < high.data.size(); ++i) left = std::max(left, std::fabs(double(high.data[i])));  // away from the clicks of its ends
    EXPECT_LE(left, 2);
}

struct Level {
    double peak, loudest;  // dBFS as played: the highest sample, and the RMS of the loudest 200 ms
};

Level levelOf(const sound::Samples& s, double gain) {
    const size_t window = 8820 * s.channels;
    std::vector<double> sums(s.data.size() + 1);
    double peak = 0, loudest = 0;
    for (size_t i = 0; i < s.data.size(); ++i) sums[i + 1] = sums[i] + double(s.data[i]) * s.data[i], peak = std::max(peak, std::fabs(double(s.data[i])));
    for (size_t i = 0; i + window <= s.data.size() || i == 0; i += 441 * s.channels)
        loudest = std::max(loudest, (sums[std::min(s.data.size(), i + window)] - sums[i]) / window);
    auto db = [gain](double v) { return 20 * std::log10(std::max(1e-9, v * gain * sound::kHeadroom / 32768)); };
    return {db(peak), db(std::sqrt(loudest))};
}

TEST(Mix, TheShippedSoundsKeepTheirLevelsTheGardenWellBehindTheEffectsAndTheBedQuietButNeverSilent) {
    harness::ScratchDir data(true);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_NE(FSOUND_Init(44100, 16, 0), 0);
    auto samples = [](const char* path, unsigned mode = FSOUND_LOOP_OFF) {
        const sound::Samples* s = FSOUND_Stream_GetSamples(FSOUND_Stream_Open(path, mode, 0, 0));
        EXPECT_NE(s, nullptr) << path;
        return s;
    };
    // Every effect at the loudest the game plays it.
    std::map<int, int> loudest;
    effects::Picker picker(5);
    for (int cue = 0; cue < int(Cue::Count); ++cue)
        for (int strength = 1; strength <= 12; ++strength)
            for (int i = 0; i < 50; ++i) {
                const effects::Choice c = picker.pick({Cue(cue), strength});
                loudest[c.sound] = std::max(loudest[c.sound], c.volume);
            }
    Level effect{-200, -200};
    for (auto [sound, volume] : loudest) {
        const Level l = levelOf(*samples(effects::paths()[sound]), volume / 255.0);
        effect = {std::max(effect.peak, l.peak), std::max(effect.loudest, l.loudest)};
        EXPECT_LE(l.peak, 20 * std::log10(sound::kCeiling)) << "alone, it would meet the limiter: " << effects::paths()[sound];
    }
    std::printf("loudest effect: peak %.1f dBFS, loudest 200 ms %.1f dBFS\n", effect.peak, effect.loudest);
    for (const garden::Sound& g : garden::sounds()) {
        const Level l = levelOf(*samples(g.path), g.volume / 255.0);
        EXPECT_LE(l.peak, effect.peak - 6) << g.path;
        EXPECT_LE(l.loudest, effect.loudest - 6) << g.path;
    }
    for (const garden::BedLayer& layer : garden::bed()) {
        const sound::Samples& s = *samples(layer.path, FSOUND_LOOP_NORMAL);
        const Level l = levelOf(s, layer.volume / 255.0);
        EXPECT_TRUE(l.loudest > -50 && l.loudest < -30 && l.peak < -20) << layer.path << " " << l.loudest << " " << l.peak;
        // Never near silence, not even for 50 ms, and no click where the loop comes round.
        const size_t n = s.frames(), w = 2205;
        double quietest = 1e18, steepest = 0;
        for (size_t i = 0; i + w <= n; i += w) {
            double sum = 0;
            for (size_t j = i; j < i + w; ++j) sum += double(s.data[j * s.channels]) * s.data[j * s.channels];
            quietest = std::min(quietest, std::sqrt(sum / w));
        }
        for (size_t i = 1; i < n; ++i) steepest = std::max(steepest, std::fabs(double(s.data[i * s.channels]) - s.data[(i - 1) * s.channels]));
        EXPECT_GT(20 * std::log10(quietest / 32768), -62) << layer.path;
        EXPECT_LE(std::fabs(double(s.data[0]) - s.data[(n - 1) * s.channels]), steepest) << layer.path;
    }
    FSOUND_Close();
}

}  // namespace
