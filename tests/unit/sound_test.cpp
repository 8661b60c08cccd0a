// The sound layer against SDL's disk audio driver, which writes the mixed
// output as raw signed 16-bit stereo at real-time pace. Moments in a test are
// marked by the capture file's size, so a busy machine only shifts them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <tuple>
#include <utility>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "harness.h"
#include "shell/sound.h"

namespace {

const int kRate = 44100;
const long kMs = kRate * 4 / 1000;  // captured bytes per millisecond
// Output written after a change may still have been mixed before it.
const long kMarginBytes = 80 * kMs;

// A stereo 440 Hz tone, then silence, as a 16-bit WAV file (the decoder
// takes WAV as well as MP3).
void writeTone(const std::string& path, double seconds, int amplitude, double silence = 0) {
    const uint32_t sounding = static_cast<uint32_t>(seconds * kRate), frames = sounding + static_cast<uint32_t>(silence * kRate);
    std::vector<int16_t> samples;
    for (uint32_t i = 0; i < frames; ++i)
        samples.insert(samples.end(), 2, i < sounding ? static_cast<int16_t>(amplitude * std::sin(2 * M_PI * 440.0 * i / kRate)) : 0);
    // Sizes; format PCM, 2 channels; rate; bytes a second; 4 bytes a frame, 16 bits; data size.
    const uint32_t fields[] = {36 + frames * 4, 16, 1 | 2 << 16, kRate, kRate * 4, 4 | 16 << 16, frames * 4};
    auto put = [](std::ofstream& out, const void* p, size_t n) { out.write(static_cast<const char*>(p), static_cast<std::streamsize>(n)); };
    std::ofstream out(path, std::ios::binary);
    put(out, "RIFF", 4), put(out, fields, 4), put(out, "WAVEfmt ", 8), put(out, fields + 1, 20);
    put(out, "data", 4), put(out, fields + 6, 4), put(out, samples.data(), samples.size() * 2);
}

class SoundLayer : public testing::Test {
protected:
    harness::ScratchDir dir{false};
    std::string capture = dir.file("capture.raw");
    std::string tone = dir.file("tone.wav");

    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
        writeTone(tone, 0.15, 12000);
    }
    void TearDown() override {
        FSOUND_Close();
        FSOUND_SetSFXMasterVolume(255);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }

    void init() { ASSERT_NE(FSOUND_Init(44100, 16, FSOUND_INIT_GLOBALFOCUS), 0) << FSOUND_GetError(); }
    FSOUND_STREAM* open(const std::string& path, unsigned mode = FSOUND_LOOP_NORMAL) {
        return FSOUND_Stream_Open(path.c_str(), mode, 0, 0);
    }

    // Bytes captured so far: the moment "now" in the capture.
    long mark() const {
        struct stat st;
        return stat(capture.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : 0;
    }

    // Loudness of the capture between two marks, leaving out the margins
    // where the change may not yet be heard.
    double loudness(long from, long to) const {
        from += kMarginBytes;
        to -= kMarginBytes / 4;
        EXPECT_GE(to - from, 20 * kMs) << "window too short to judge";
        std::ifstream in(capture, std::ios::binary);
        in.seekg(from);
        std::vector<int16_t> data(static_cast<size_t>(std::max(0L, to - from)) / 2);
        in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size() * 2));
        const size_t n = static_cast<size_t>(in.gcount()) / 2;
        EXPECT_GT(n, 0u) << "nothing captured";
        double sum = 0;
        for (size_t i = 0; i < n; ++i) sum += static_cast<double>(data[i]) * data[i];
        return n ? std::sqrt(sum / n) : 0.0;
    }

    // Plays for a while and returns the loudness heard meanwhile.
    double listen(int ms) {
        long from = mark();
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return loudness(from, mark());
    }
};

TEST_F(SoundLayer, ALoopPlaysOnItsChannelAtItsVolumeScaledByTheMasterBothClamped) {
    FSOUND_SetSFXMasterVolume(0);  // set before start-up, it holds
    init();
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 0);
    EXPECT_EQ(FSOUND_Stream_Play(3, open(tone)), 3);
    EXPECT_NE(FSOUND_SetVolume(3, 255), 0);
    EXPECT_LT(listen(250), 50.0);
    FSOUND_SetSFXMasterVolume(255);
    const double full = listen(300);  // twice the tone's length: it loops
    EXPECT_GT(full, 6000.0);
    // Master, channel volume, share of full loudness: out of range is clamped, not wrapped.
    for (auto [master, volume, share] :
         {std::tuple{128, 255, 0.5}, {255, 64, 0.25}, {255, 1000, 1.0}, {400, 255, 1.0}, {255, -7, 0.0}, {-1, 255, 0.0}}) {
        FSOUND_SetSFXMasterVolume(master);
        FSOUND_SetVolume(3, volume);
        EXPECT_EQ(FSOUND_GetSFXMasterVolume(), std::clamp(master, 0, 255));
        EXPECT_NEAR(listen(250) / full, share, 0.08) << master << " " << volume;
    }
}

TEST_F(SoundLayer, StopAllCloseAndRestartPlayOnceAndASecondStartOfALoop) {
    init();
    FSOUND_Stream_Play(0, open(tone));
    FSOUND_Stream_Play(4, open(tone));
    EXPECT_GT(listen(250), 6000.0);
    EXPECT_NE(FSOUND_StopSound(FSOUND_ALL), 0);
    EXPECT_LT(listen(250), 50.0);
    EXPECT_EQ(FSOUND_Init(44100, 16, 0), 0);  // already started
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_BUSY);
    FSOUND_Close();
    init();

    // Played once, it ends, and starts again when asked.
    FSOUND_STREAM* once = open(tone, FSOUND_LOOP_OFF);
    for (int start = 0; start < 2; ++start) {
        long at = mark();
        FSOUND_Stream_Play(2, once);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_GT(loudness(at - 40 * kMs, at + 160 * kMs), 3000.0) << start;
        EXPECT_LT(loudness(at + 250 * kMs, mark()), 50.0) << start;
    }

    // A loop asked to start while it sounds goes on where it is (the game
    // asks every few seconds): 300 ms of tone then 700 ms of silence, asked
    // again in the silence, stays silent.
    writeTone(dir.file("half.wav"), 0.3, 12000, 0.7);
    FSOUND_STREAM* loop = open(dir.file("half.wav"));
    FSOUND_Stream_Play(5, loop);
    std::this_thread::sleep_for(std::chrono::milliseconds(450));
    EXPECT_EQ(FSOUND_Stream_Play(5, loop), 5);
    EXPECT_LT(listen(300), 50.0);
}

TEST_F(SoundLayer, MissingOrBrokenFilesAndNullStreamsAreHarmlessRecordingsDecodeBehind) {
    EXPECT_EQ(open(tone), nullptr);  // before start-up nothing happens and nothing breaks
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
    EXPECT_EQ(FSOUND_Stream_Play(1, nullptr), -1);
    FSOUND_SetVolume(1, 100), FSOUND_StopSound(FSOUND_ALL), FSOUND_Close();
    init();
    dir.write("junk.mp3", "this is not a recording at all");
    dir.write("empty.mp3", "");
    for (auto [name, error] : {std::pair{"none.mp3", FMOD_ERR_FILE_NOTFOUND}, {"junk.mp3", FMOD_ERR_FILE_FORMAT}, {"empty.mp3", FMOD_ERR_FILE_FORMAT}}) {
        EXPECT_EQ(open(dir.file(name)), nullptr) << name;
        EXPECT_EQ(FSOUND_GetError(), error) << name;
    }
    FSOUND_STREAM* stream = open(tone, FSOUND_LOOP_OFF);
    EXPECT_EQ(FSOUND_Stream_Play(16, stream), -1);  // only channels 0..15 exist
    EXPECT_EQ(FSOUND_SetVolume(16, 100), 0);
    // Looks like a recording but is not one: opens, then stays silent.
    dir.write("broken.wav", "RIFF but nothing of a recording follows");
    EXPECT_EQ(FSOUND_Stream_Play(2, open(dir.file("broken.wav"))), -1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_FORMAT);
    EXPECT_LT(listen(300), 50.0);
    FSOUND_Close();
    EXPECT_EQ(FSOUND_Stream_Play(1, stream), -1);  // an old handle after closing

    // Closed while the recordings are decoded: nothing is freed under the
    // decoder. Played at once, the last waits for those before it.
    const char* const recordings[] = {"bird1a", "chaffinch1a", "car9b", "willow1a", "dog1a"};
    FSOUND_STREAM* last = nullptr;
    for (int round = 0; round < 3; ++round) {
        init();
        for (const char* name : recordings) ASSERT_NE(last = open(harness::dataDir() + "/sounds/" + name + ".mp3"), nullptr);
        if (round < 2) FSOUND_Close();
    }
    EXPECT_EQ(FSOUND_Stream_Play(0, last), 0);
    EXPECT_GT(listen(400), 100.0);
}

TEST(SoundStartUp, MasterVolumeStartsFullAndAFailedOutputGivesItsText) {
    // Each test runs in a process of its own: nothing has set the volume.
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 255);
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    EXPECT_EQ(FSOUND_Init(44100, 16, FSOUND_INIT_GLOBALFOCUS), 0);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INIT);
    EXPECT_STREQ(soundErrorText(FSOUND_GetError()), "Error initializing output device.");
    // The failed start leaves the layer closed and harmless.
    EXPECT_EQ(FSOUND_Stream_Play(0, nullptr), -1);
    FSOUND_Close();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_NE(FSOUND_Init(44100, 16, FSOUND_INIT_GLOBALFOCUS), 0);
    FSOUND_Close();

    // Codes outside the table.
    for (int code : {19, -1, 1 << 30}) EXPECT_STREQ(soundErrorText(code), "Unknown error") << code;
}

}  // namespace
