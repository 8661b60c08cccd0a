// The sound layer against SDL's disk driver (raw 16-bit stereo, real-time; moments marked by capture size); the five garden recordings.

#include <cmath>
#include <cstdint>
#include <fstream>

#include "fixture.h"
#include "platform/effects.h"
#include "platform/garden.h"
#include "platform/sound.h"

namespace {

const long kMs = 44100 * 4 / 1000;  // captured bytes per millisecond

// A stereo 440 Hz tone at 12000 of 32767, then silence, as a 16-bit WAV file.
void writeTone(const std::string& path, double seconds, double silence = 0) {
    const std::string sox = "sox -D -n -r 44100 -c 2 -b 16 '" + path + "' synth " + std::to_string(seconds);
    ASSERT_EQ(std::system((sox + " sine 440 vol 0.366 pad 0 " + std::to_string(silence)).c_str()), 0);
}

class SoundLayer : public testing::Test {
protected:
    harness::ScratchDir dir;
    std::string capture = dir.file("capture.raw"), tone = dir.file("tone.wav");

    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
        writeTone(tone, 0.15);
    }
    void TearDown() override { FSOUND_Close(), FSOUND_SetSFXMasterVolume(255), setenv("SDL_AUDIODRIVER", "dummy", 1); }
    void init() { ASSERT_NE(FSOUND_Init(44100, 16, FSOUND_INIT_GLOBALFOCUS), 0) << FSOUND_GetError(); }
    FSOUND_STREAM* open(const std::string& path, unsigned mode = FSOUND_LOOP_NORMAL) { return FSOUND_Stream_Open(path.c_str(), mode, 0, 0); }
    long mark() const { return dir.read("capture.raw").size(); }  // bytes captured so far: "now" in the capture
    // RMS loudness between two marks, leaving out the first 80 ms (mixed before the change) and the last 20 ms.
    double loudness(long from, long to) const {
        from += 80 * kMs, to -= 20 * kMs;
        std::vector<int16_t> data(std::max(0L, to - from) / 2);
        std::ifstream in(capture, std::ios::binary);
        in.seekg(from).read((char*)data.data(), data.size() * 2);
        double sum = 0;
        for (long i = 0; i < in.gcount() / 2; ++i) sum += double(data[i]) * data[i];
        EXPECT_GT(in.gcount(), 20 * kMs) << "too little captured to judge";
        return std::sqrt(sum / std::max<long>(1, in.gcount() / 2));
    }
    // Milliseconds from the first to the last loud sample captured since a mark.
    double soundingMs(long from) const {
        const std::string all = dir.read("capture.raw");
        long first = -1, last = -1;
        for (long i = from / 2; i < long(all.size()) / 2; ++i)
            if (std::abs(reinterpret_cast<const int16_t*>(all.data())[i]) > 3000) last = i, first = first < 0 ? i : first;
        return first < 0 ? 0 : (last - first) * 2.0 / kMs;
    }
    double listen(int ms) {
        long from = mark();
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return loudness(from, mark());
    }
};

TEST_F(SoundLayer, ALoopPlaysAtItsVolumeScaledByTheMasterBothClampedAndStopsWhenAsked) {
    FSOUND_SetSFXMasterVolume(0);  // set before start-up, it holds
    init();
    EXPECT_EQ(FSOUND_Stream_Play(3, open(tone)), 3);
    EXPECT_NE(FSOUND_SetVolume(3, 255), 0);
    EXPECT_LT(listen(250), 50.0);
    FSOUND_SetSFXMasterVolume(255);
    const double full = listen(300);  // twice the tone's length: it loops
    EXPECT_GT(full, 5500.0);
    for (auto [master, volume, share] : {std::tuple{128, 255, 0.5}, {255, 64, 0.25}, {255, 1000, 1.0}, {400, 255, 1.0}, {-1, 255, 0.0}}) {
        FSOUND_SetSFXMasterVolume(master);
        FSOUND_SetVolume(3, volume);
        EXPECT_EQ(FSOUND_GetSFXMasterVolume(), std::clamp(master, 0, 255));
        EXPECT_NEAR(listen(250) / full, share, 0.08) << master << " " << volume;
    }
    FSOUND_SetSFXMasterVolume(255);  // heard again, then stopped
    EXPECT_NE(FSOUND_StopSound(FSOUND_ALL), 0);
    EXPECT_LT(listen(250), 50.0);
}

TEST_F(SoundLayer, OncePlaysOnceAndAgainWhenAskedWhileALoopAskedAgainGoesOn) {
    init();
    FSOUND_STREAM* once = open(tone, FSOUND_LOOP_OFF);
    for (int start = 0; start < 2; ++start) {
        long at = mark();
        FSOUND_Stream_Play(2, once);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_GT(loudness(at - 40 * kMs, at + 160 * kMs), 3000.0) << start;
        EXPECT_LT(loudness(at + 250 * kMs, mark()), 50.0) << start;
    }
    // 300 ms of tone then 700 of silence, asked again in the silence (the game asks every few seconds): it stays silent.
    writeTone(dir.file("half.wav"), 0.3, 0.7);
    FSOUND_STREAM* loop = open(dir.file("half.wav"));
    FSOUND_Stream_Play(5, loop);
    std::this_thread::sleep_for(std::chrono::milliseconds(450));
    EXPECT_EQ(FSOUND_Stream_Play(5, loop), 5);
    EXPECT_LT(listen(300), 50.0);
}

TEST_F(SoundLayer, MissingOrBrokenFilesNullStreamsAndBadChannelsAreHarmless) {
    EXPECT_EQ(open(tone), nullptr);  // before start-up
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
    EXPECT_EQ(FSOUND_Stream_Play(1, nullptr), -1);
    init();
    dir.write("junk.mp3", "this is not a recording at all");
    dir.write("broken.wav", "RIFF but nothing of a recording follows");  // opens, then stays silent
    for (auto [name, error] : {std::pair{"none.mp3", FMOD_ERR_FILE_NOTFOUND}, {"junk.mp3", FMOD_ERR_FILE_FORMAT}}) {
        EXPECT_EQ(open(dir.file(name)), nullptr) << name;
        EXPECT_EQ(FSOUND_GetError(), error) << name;
    }
    EXPECT_EQ(FSOUND_Stream_Play(2, open(dir.file("broken.wav"))), -1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_FORMAT);
    FSOUND_STREAM* stream = open(tone, FSOUND_LOOP_OFF);
    EXPECT_TRUE(FSOUND_Stream_Play(16, stream) == -1 && FSOUND_SetVolume(16, 100) == 0 && FSOUND_StopSound(16) == 0);  // 0..15 only
    // Closed while the recordings are decoded: nothing is freed under the decoder.
    for (int round = 0; round < 3; ++round) {
        if (round) FSOUND_Close(), init();
        for (const char* name : {"birds/wren1", "chaffinch1a", "car9b", "willow1a", "dog1a"})
            ASSERT_NE(stream = open(harness::dataDir() + "/sounds/" + name + ".mp3"), nullptr);
    }
    EXPECT_EQ(FSOUND_Stream_Play(0, stream), 0);  // the last waits for those before it
    EXPECT_GT(listen(400), 100.0);
}

TEST_F(SoundLayer, APitchedCopyPlaysFasterOnTheOldestChannelAndIsFreedWhenStopped) {
    init();
    FSOUND_STREAM* once = open(tone, FSOUND_LOOP_OFF);
    const double seconds = FSOUND_Stream_GetLengthSeconds(once);
    EXPECT_NEAR(seconds, 0.15, 0.01);
    const size_t decoded = FSOUND_DecodedBytes();
    for (double pitch : {2.0, 0.5, 1e9, -1.0, std::nan("")}) {  // the last three: 2, 0.5 and 1
        const int channel = FSOUND_FreeChannel(5, 6);
        const long at = mark();
        ASSERT_EQ(FSOUND_Stream_PlayPitched(channel, once, pitch), channel);
        const double lasts = seconds / std::clamp(std::isnan(pitch) ? 1.0 : pitch, 0.5, 2.0);
        std::this_thread::sleep_for(std::chrono::milliseconds(long(lasts * 1000) + 250));
        EXPECT_NEAR(soundingMs(at), lasts * 1000, 8) << pitch;
    }
    // Both busy: the one started first is given; a stop frees the copies.
    FSOUND_Stream_PlayPitched(5, once, 0.5), FSOUND_Stream_PlayPitched(6, once, 0.6);
    EXPECT_EQ(FSOUND_FreeChannel(5, 6), 5);
    EXPECT_GT(FSOUND_DecodedBytes(), decoded * 3);
    FSOUND_StopSound(5), FSOUND_StopSound(6);
    EXPECT_EQ(FSOUND_DecodedBytes(), decoded);
    EXPECT_TRUE(FSOUND_FreeChannel(6, 5) == -1 && FSOUND_FreeChannel(0, 16) == -1);
}

TEST_F(SoundLayer, EffectsSoundAtOnceOnlyWhenOnAndTheGardenStopsOnlyItsOwnChannels) {
    init();
    Garden garden;
    Effects effects;
    {
        harness::ScratchDir data(true);
        garden.open(0), effects.open();
        FSOUND_Stream_GetLengthSeconds(FSOUND_Stream_Open("sounds/effects/click.mp3", FSOUND_LOOP_OFF, 0, 0));  // all decoded
    }
    for (bool on : {true, false, true}) {
        effects.setEnabled(on);
        for (Cue cue : {Cue::Dig, Cue::Bump, Cue::Land, Cue::Win}) {
            const long at = mark();
            effects.play({cue, 4});
            garden.update(false, 1);  // away from the garden: its channels stop, not these
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            const double heard = loudness(at - 30 * kMs, at + 200 * kMs);  // from 50 ms on: a buffer mixed before may follow the mark
            EXPECT_TRUE(on ? heard > 300 : heard < 5) << int(cue) << " " << on << " " << heard;
        }
    }
    // The bed: both layers sound while the garden is heard, and stop with it.
    garden.update(true, 2);
    EXPECT_TRUE(FSOUND_IsPlaying(5) && FSOUND_IsPlaying(6));
    garden.update(false, 3);
    EXPECT_FALSE(FSOUND_IsPlaying(5) || FSOUND_IsPlaying(6));
}

TEST_F(SoundLayer, AGardenRecordingStartsAtItsOwnVolumeNotAtTheChannelsLast) {
    init();
    mkdir(dir.file("sounds").c_str(), 0755);
    writeTone(dir.file("sounds/dog.wav"), 0.5);  // a tone in the bark's place
    ASSERT_EQ(std::rename(dir.file("sounds/dog.wav").c_str(), dir.file("sounds/dog1a.mp3").c_str()), 0);
    FSOUND_SetVolume(0, 255);  // the dog's channel as a louder sound left it
    Garden garden;
    garden.open(0);
    const long at = mark();
    garden.update(true, 349.5);  // the dog's first turn (every other file is missing: silence)
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const std::string all = dir.read("capture.raw");
    const int16_t* s = reinterpret_cast<const int16_t*>(all.data());
    long onset = at / 2;
    while (onset < long(all.size()) / 2 && std::abs(s[onset]) < 20) ++onset;
    auto peak = [&](long fromMs, long toMs) {
        int most = 0;
        for (long i = onset + fromMs * kMs / 2; i < std::min(long(all.size()) / 2, onset + toMs * kMs / 2); ++i) most = std::max(most, std::abs(int(s[i])));
        return most;
    };
    EXPECT_NEAR(peak(100, 200), 12000 * 25 / 255 * 0.7, 80);
    EXPECT_LE(peak(0, 10), peak(100, 200) * 1.05) << "the first moment louder than the rest";
}

}  // namespace
