// The sound layer against SDL's disk audio driver, which writes the mixed
// output as raw signed 16-bit stereo at real-time pace. Moments in a test are
// marked by the capture file's size, so a busy machine only shifts them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
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

// A stereo 440 Hz tone as a WAV file (the decoder takes WAV as well as MP3).
void writeTone(const std::string& path, double seconds, int amplitude) {
    const uint32_t frames = static_cast<uint32_t>(seconds * kRate);
    struct {
        char riff[4] = {'R', 'I', 'F', 'F'};
        uint32_t size;
        char wave[8] = {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
        uint32_t fmtSize = 16;
        uint16_t pcm = 1, channels = 2;
        uint32_t rate = kRate, byteRate = kRate * 4;
        uint16_t align = 4, bits = 16;
        char data[4] = {'d', 'a', 't', 'a'};
        uint32_t dataSize;
    } header;
    header.dataSize = frames * 4;
    header.size = 36 + header.dataSize;
    std::vector<int16_t> samples;
    for (uint32_t i = 0; i < frames; ++i)
        samples.insert(samples.end(), 2, static_cast<int16_t>(amplitude * std::sin(2 * M_PI * 440.0 * i / kRate)));
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
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
        if (to - from < 20 * kMs) {
            ADD_FAILURE() << "window too short to judge: " << from << ".." << to;
            return 0.0;
        }
        std::ifstream in(capture, std::ios::binary);
        in.seekg(from);
        std::vector<int16_t> data(static_cast<size_t>(to - from) / 2);
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

TEST_F(SoundLayer, LoopingStreamPlaysOnItsChannelAtItsVolumeScaledByTheMaster) {
    // A master volume set before start-up holds.
    FSOUND_SetSFXMasterVolume(0);
    init();
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 0);
    FSOUND_STREAM* stream = open(tone);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(FSOUND_Stream_Play(3, stream), 3);
    EXPECT_NE(FSOUND_SetVolume(3, 255), 0);
    EXPECT_LT(listen(250), 50.0);
    FSOUND_SetSFXMasterVolume(255);
    double full = listen(300);  // twice the tone's length: it loops
    EXPECT_GT(full, 6000.0);
    FSOUND_SetSFXMasterVolume(128);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 128);
    EXPECT_NEAR(listen(250) / full, 0.5, 0.08);
    FSOUND_SetSFXMasterVolume(255);
    FSOUND_SetVolume(3, 64);
    EXPECT_NEAR(listen(300) / full, 0.25, 0.06);
    // Out of range is clamped, not wrapped.
    FSOUND_SetVolume(3, 1000);
    EXPECT_NEAR(listen(250) / full, 1.0, 0.1);
    FSOUND_SetVolume(3, -7);
    EXPECT_LT(listen(250), 50.0);
    FSOUND_SetSFXMasterVolume(400);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 255);
    FSOUND_SetSFXMasterVolume(-1);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 0);
}

TEST_F(SoundLayer, StopAllSilencesEveryChannelAndCloseAllowsANewStart) {
    init();
    FSOUND_Stream_Play(0, open(tone));
    FSOUND_Stream_Play(4, open(tone));
    EXPECT_GT(listen(250), 6000.0);
    EXPECT_NE(FSOUND_StopSound(FSOUND_ALL), 0);
    EXPECT_LT(listen(250), 50.0);
    EXPECT_NE(FSOUND_StopSound(FSOUND_ALL), 0);  // nothing playing: harmless

    EXPECT_EQ(FSOUND_Init(44100, 16, 0), 0);  // already started
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_BUSY);
    FSOUND_Close();
    init();
    FSOUND_Stream_Play(0, open(tone));
    EXPECT_GT(listen(250), 6000.0);
}

TEST_F(SoundLayer, PlayOnceEndsAndCanStartAgain) {
    init();
    FSOUND_STREAM* stream = open(tone, FSOUND_LOOP_OFF);
    ASSERT_NE(stream, nullptr);
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        long at = mark();
        FSOUND_Stream_Play(2, stream);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the 150 ms tone has run out
        // Heard in its middle, whatever the mixer's lead; silent afterwards.
        EXPECT_GT(loudness(at - 40 * kMs, at + 160 * kMs), 3000.0);
        EXPECT_LT(loudness(at + 250 * kMs, mark()), 50.0);
    }
}

TEST_F(SoundLayer, MissingFilesAndNullStreamsAreHarmless) {
    // Before start-up nothing happens and nothing breaks.
    EXPECT_EQ(open(tone), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
    EXPECT_EQ(FSOUND_Stream_Play(1, nullptr), -1);
    FSOUND_SetVolume(1, 100);
    FSOUND_StopSound(FSOUND_ALL);
    FSOUND_Close();

    init();
    EXPECT_EQ(open(dir.file("sounds/none.mp3")), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_NOTFOUND);
    dir.write("junk.mp3", "this is not a recording at all");
    EXPECT_EQ(open(dir.file("junk.mp3")), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_FORMAT);
    dir.write("empty.mp3", "");
    EXPECT_EQ(open(dir.file("empty.mp3")), nullptr);

    EXPECT_EQ(FSOUND_Stream_Play(99, nullptr), -1);
    FSOUND_STREAM* stream = open(tone, FSOUND_LOOP_OFF);
    EXPECT_EQ(FSOUND_Stream_Play(16, stream), -1);  // only channels 0..15 exist
    EXPECT_EQ(FSOUND_SetVolume(16, 100), 0);
    EXPECT_LT(listen(300), 50.0);

    FSOUND_Close();
    // After closing, the old handle and every call are still harmless.
    EXPECT_EQ(FSOUND_Stream_Play(1, stream), -1);
    FSOUND_SetVolume(1, 100);
    FSOUND_StopSound(FSOUND_ALL);
    FSOUND_Close();
}

TEST_F(SoundLayer, AnMp3IsHeardLikeAnyOtherRecording) {
    init();
    FSOUND_Stream_Play(1, open(harness::dataDir() + "/sounds/bird1a.mp3"));
    EXPECT_GT(listen(400), 100.0);
}

TEST_F(SoundLayer, DecodingInTheBackgroundIsSafeToCloseUnderAndPlaysWhenAsked) {
    const char* const recordings[] = {"bird1a", "chaffinch1a", "car9b", "willow1a", "dog1a"};
    // Closed while the queue is still being decoded: nothing is freed under
    // the decoder, and the layer starts afresh.
    for (int round = 0; round < 3; ++round) {
        init();
        for (const char* name : recordings)
            ASSERT_NE(open(harness::dataDir() + "/sounds/" + name + ".mp3"), nullptr) << name;
        FSOUND_Close();
    }
    init();
    // Played at once, the last of the queue waits for those before it.
    FSOUND_STREAM* last = nullptr;
    for (const char* name : recordings) last = open(harness::dataDir() + "/sounds/" + name + ".mp3");
    FSOUND_STREAM* tone1 = open(tone);
    EXPECT_EQ(FSOUND_Stream_Play(1, tone1), 1);
    EXPECT_GT(listen(250), 6000.0);
    FSOUND_StopSound(FSOUND_ALL);
    EXPECT_EQ(FSOUND_Stream_Play(0, last), 0);
    // A file that looks like a recording but is not one opens, then stays silent.
    dir.write("broken.wav", "RIFF but nothing of a recording follows");
    FSOUND_STREAM* broken = open(dir.file("broken.wav"), FSOUND_LOOP_NORMAL);
    ASSERT_NE(broken, nullptr);
    FSOUND_StopSound(FSOUND_ALL);
    EXPECT_EQ(FSOUND_Stream_Play(2, broken), -1);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_FORMAT);
    EXPECT_LT(listen(250), 50.0);
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
