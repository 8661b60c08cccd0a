// The sound layer against SDL's disk audio driver, which writes the mixed
// output as raw signed 16-bit stereo at real-time pace. Moments in a test are
// marked by the capture file's size, so a busy machine only shifts them.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "harness.h"
#include "shell/sound.h"

namespace {

const int kRate = 44100;
const long kFrameBytes = 4;
// Output written after a change may still have been mixed before it.
const long kMarginBytes = kRate * kFrameBytes * 80 / 1000;

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void put16(std::ofstream& out, int v) {
    out.put(static_cast<char>(v & 0xff));
    out.put(static_cast<char>((v >> 8) & 0xff));
}
void put32(std::ofstream& out, long v) {
    put16(out, static_cast<int>(v & 0xffff));
    put16(out, static_cast<int>((v >> 16) & 0xffff));
}

// A stereo 440 Hz tone as a WAV file (the decoder takes WAV as well as MP3).
void writeTone(const std::string& path, double seconds, int amplitude) {
    const long frames = static_cast<long>(seconds * kRate);
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    put32(out, 36 + frames * 4);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 2);
    put32(out, kRate);
    put32(out, kRate * 4);
    put16(out, 4);
    put16(out, 16);
    out.write("data", 4);
    put32(out, frames * 4);
    for (long i = 0; i < frames; ++i) {
        int s = static_cast<int>(amplitude * std::sin(2 * M_PI * 440.0 * i / kRate));
        put16(out, s);
        put16(out, s);
    }
}

class SoundLayer : public testing::Test {
protected:
    harness::ScratchDir dir{false};
    std::string capture = dir.file("capture.raw");

    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
        writeTone(dir.file("tone.wav"), 0.15, 12000);
        FSOUND_SetSFXMasterVolume(255);
    }
    void TearDown() override {
        FSOUND_Close();
        FSOUND_SetSFXMasterVolume(255);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }

    void init() { ASSERT_NE(FSOUND_Init(44100, 16, FSOUND_INIT_GLOBALFOCUS), 0) << FSOUND_GetError(); }

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
        if (to - from < kRate * kFrameBytes / 50) {
            ADD_FAILURE() << "window too short to judge: " << from << ".." << to;
            return 0.0;
        }
        std::ifstream in(capture, std::ios::binary);
        in.seekg(from);
        std::vector<char> data(static_cast<size_t>(to - from));
        in.read(data.data(), static_cast<std::streamsize>(data.size()));
        const size_t n = static_cast<size_t>(in.gcount()) / 2;
        EXPECT_GT(n, 0u) << "nothing captured";
        double sum = 0;
        for (size_t i = 0; i < n; ++i) {
            int16_t s = static_cast<int16_t>(static_cast<uint8_t>(data[2 * i]) | (static_cast<uint8_t>(data[2 * i + 1]) << 8));
            sum += static_cast<double>(s) * s;
        }
        return n ? std::sqrt(sum / n) : 0.0;
    }

    // Plays for a while and returns the loudness heard meanwhile.
    double listen(int ms) {
        long from = mark();
        sleepMs(ms);
        return loudness(from, mark());
    }
};

TEST_F(SoundLayer, LoopingStreamPlaysOnItsChannelAtItsVolume) {
    init();
    FSOUND_STREAM* tone = FSOUND_Stream_Open(dir.file("tone.wav").c_str(), FSOUND_LOOP_NORMAL, 0, 0);
    ASSERT_NE(tone, nullptr);
    EXPECT_EQ(FSOUND_Stream_Play(3, tone), 3);
    EXPECT_NE(FSOUND_SetVolume(3, 255), 0);
    double full = listen(300);  // twice the tone's length: it loops
    EXPECT_GT(full, 6000.0);
    FSOUND_SetVolume(3, 64);
    double quarter = listen(300);
    EXPECT_NEAR(quarter / full, 0.25, 0.06);
    // Out of range is clamped, not wrapped.
    FSOUND_SetVolume(3, 1000);
    EXPECT_NEAR(listen(250) / full, 1.0, 0.1);
    FSOUND_SetVolume(3, -7);
    EXPECT_LT(listen(250), 50.0);
}

TEST_F(SoundLayer, MasterVolumeScalesEveryChannel) {
    init();
    FSOUND_STREAM* tone = FSOUND_Stream_Open(dir.file("tone.wav").c_str(), FSOUND_LOOP_NORMAL, 0, 0);
    FSOUND_Stream_Play(1, tone);
    FSOUND_SetVolume(1, 255);
    double full = listen(250);
    FSOUND_SetSFXMasterVolume(128);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 128);
    EXPECT_NEAR(listen(250) / full, 0.5, 0.08);
    FSOUND_SetSFXMasterVolume(0);
    EXPECT_LT(listen(250), 50.0);
    FSOUND_SetSFXMasterVolume(400);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 255);
    FSOUND_SetSFXMasterVolume(-1);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 0);
}

TEST_F(SoundLayer, MasterVolumeSetBeforeStartUpHolds) {
    // The settings file is read after start-up, but a value set early must
    // not be lost either.
    FSOUND_SetSFXMasterVolume(0);
    init();
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 0);
    FSOUND_Stream_Play(2, FSOUND_Stream_Open(dir.file("tone.wav").c_str(), FSOUND_LOOP_NORMAL, 0, 0));
    EXPECT_LT(listen(250), 50.0);
    FSOUND_SetSFXMasterVolume(255);
}

TEST_F(SoundLayer, StopAllSilencesEveryChannel) {
    init();
    FSOUND_STREAM* a = FSOUND_Stream_Open(dir.file("tone.wav").c_str(), FSOUND_LOOP_NORMAL, 0, 0);
    FSOUND_STREAM* b = FSOUND_Stream_Open(dir.file("tone.wav").c_str(), FSOUND_LOOP_NORMAL, 0, 0);
    FSOUND_Stream_Play(0, a);
    FSOUND_Stream_Play(4, b);
    EXPECT_GT(listen(250), 6000.0);
    EXPECT_NE(FSOUND_StopSound(FSOUND_ALL), 0);
    EXPECT_LT(listen(250), 50.0);
    EXPECT_NE(FSOUND_StopSound(FSOUND_ALL), 0);  // nothing playing: harmless
}

TEST_F(SoundLayer, PlayOnceEndsAndCanStartAgain) {
    init();
    FSOUND_STREAM* tone = FSOUND_Stream_Open(dir.file("tone.wav").c_str(), FSOUND_LOOP_OFF, 0, 0);
    ASSERT_NE(tone, nullptr);
    const long ms = kRate * kFrameBytes / 1000;
    for (int start = 0; start < 2; ++start) {  // a second start plays it again
        long at = mark();
        FSOUND_Stream_Play(2, tone);
        sleepMs(500);  // the 150 ms tone has long run out
        // Heard in its middle, whatever the mixer's lead; silent afterwards.
        EXPECT_GT(loudness(at - 40 * ms, at + 160 * ms), 3000.0) << "start " << start;
        EXPECT_LT(loudness(at + 250 * ms, mark()), 50.0) << "start " << start;
    }
}

TEST_F(SoundLayer, MissingFilesAndNullStreamsAreHarmless) {
    // Before start-up nothing happens and nothing breaks.
    EXPECT_EQ(FSOUND_Stream_Open(dir.file("tone.wav").c_str(), FSOUND_LOOP_OFF, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
    EXPECT_EQ(FSOUND_Stream_Play(1, nullptr), -1);
    FSOUND_SetVolume(1, 100);
    FSOUND_StopSound(FSOUND_ALL);
    FSOUND_Close();

    init();
    EXPECT_EQ(FSOUND_Stream_Open(dir.file("sounds/none.mp3").c_str(), FSOUND_LOOP_OFF, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_NOTFOUND);
    dir.write("junk.mp3", "this is not a recording at all");
    EXPECT_EQ(FSOUND_Stream_Open(dir.file("junk.mp3").c_str(), FSOUND_LOOP_OFF, 0, 0), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_FORMAT);
    dir.write("empty.mp3", "");
    EXPECT_EQ(FSOUND_Stream_Open(dir.file("empty.mp3").c_str(), FSOUND_LOOP_OFF, 0, 0), nullptr);

    EXPECT_EQ(FSOUND_Stream_Play(1, nullptr), -1);
    EXPECT_EQ(FSOUND_Stream_Play(99, nullptr), -1);
    FSOUND_STREAM* tone = FSOUND_Stream_Open(dir.file("tone.wav").c_str(), FSOUND_LOOP_OFF, 0, 0);
    EXPECT_EQ(FSOUND_Stream_Play(16, tone), -1);  // only channels 0..15 exist
    EXPECT_EQ(FSOUND_SetVolume(16, 100), 0);
    EXPECT_LT(listen(300), 50.0);

    FSOUND_Close();
    // After closing, the old handle and every call are still harmless.
    EXPECT_EQ(FSOUND_Stream_Play(1, tone), -1);
    FSOUND_SetVolume(1, 100);
    FSOUND_StopSound(FSOUND_ALL);
    FSOUND_Close();
}

TEST_F(SoundLayer, DecodesTheShippedRecordings) {
    init();
    const char* names[] = {"bird1a", "chaffinch1a", "car9b", "willow1a", "dog1a"};
    for (const char* name : names) {
        std::string path = harness::dataDir() + "/sounds/" + name + ".mp3";
        EXPECT_NE(FSOUND_Stream_Open(path.c_str(), FSOUND_LOOP_OFF, 0, 0), nullptr) << path;
    }
    // And an MP3 is heard like any other recording.
    FSOUND_STREAM* bird = FSOUND_Stream_Open((harness::dataDir() + "/sounds/bird1a.mp3").c_str(),
                                             FSOUND_LOOP_NORMAL, 0, 0);
    FSOUND_Stream_Play(1, bird);
    EXPECT_GT(listen(400), 100.0);
}

TEST_F(SoundLayer, StartsAgainAfterClose) {
    init();
    EXPECT_EQ(FSOUND_Init(44100, 16, 0), 0);  // already started
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_BUSY);
    FSOUND_Close();
    init();
    FSOUND_Stream_Play(0, FSOUND_Stream_Open(dir.file("tone.wav").c_str(), FSOUND_LOOP_NORMAL, 0, 0));
    EXPECT_GT(listen(250), 6000.0);
}

TEST(SoundStartUp, AFailedOutputGivesATextFromTheTable) {
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    EXPECT_EQ(FSOUND_Init(44100, 16, FSOUND_INIT_GLOBALFOCUS), 0);
    int code = FSOUND_GetError();
    EXPECT_EQ(code, FMOD_ERR_INIT);
    EXPECT_STREQ(soundErrorText(code), "Error initializing output device.");
    // The failed start leaves the layer closed and harmless.
    EXPECT_EQ(FSOUND_Stream_Play(0, nullptr), -1);
    FSOUND_Close();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_NE(FSOUND_Init(44100, 16, FSOUND_INIT_GLOBALFOCUS), 0);
    FSOUND_Close();
}

TEST(SoundStartUp, MasterVolumeStartsFull) {
    // Each test runs in a process of its own (see tests/CMakeLists.txt).
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 255);
}

TEST(SoundStartUp, ErrorTexts) {
    EXPECT_STREQ(soundErrorText(0), "No errors");
    EXPECT_STREQ(soundErrorText(1), "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.");
    EXPECT_STREQ(soundErrorText(9), "File not found");
    EXPECT_STREQ(soundErrorText(12), "Not enough memory ");
    EXPECT_STREQ(soundErrorText(18), "Required Mediaplayer codec is not installed");
    EXPECT_STREQ(soundErrorText(19), "Unknown error");
    EXPECT_STREQ(soundErrorText(-1), "Unknown error");
    EXPECT_STREQ(soundErrorText(1 << 30), "Unknown error");
}

}  // namespace
