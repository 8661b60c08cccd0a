#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "presentation_fixture.h"

namespace {

// A short silent WAV; the sound layer decodes by content, whatever the name.
void writeSilentWav(const std::string& path) {
    const uint32_t rate = 22050, samples = 2205;
    const uint32_t dataBytes = samples * 2;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + dataBytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    out.write("data", 4);
    u32(dataBytes);
    for (uint32_t i = 0; i < samples; ++i) u16(0);
}

class AmbientTest : public presentation_test::GameFixture {
protected:
    void SetUp() override {
        harness::baseSeconds = 1000000;
        GameFixture::SetUp();
        game->openAmbientSounds();
        game->screenMode = Playing;
        game->ambientEnabled = true;
    }

    // time() reads this second from now on.
    void atSecond(int64_t second) {
        harness::baseSeconds = static_cast<std::time_t>(second) -
                               static_cast<std::time_t>(harness::nowMs / 1000);
    }

    // Only the first sound takes part, with a chosen state.
    AmbientSound& onlyFirst(int32_t lastChange, int32_t interval, bool playing) {
        for (AmbientSound& s : game->ambientSounds) s.enabled = false;
        AmbientSound& s = game->ambientSounds[0];
        s.enabled = true;
        s.lastChange = lastChange;
        s.interval = interval;
        s.playing = playing;
        return s;
    }
};

TEST_F(AmbientTest, OpensEachRecordingFromItsOwnFile) {
    mkdir("sounds", 0755);
    const char* names[5] = {"bird1a", "chaffinch1a", "car9b", "willow1a", "dog1a"};
    for (int missing = 0; missing < 5; ++missing) {
        SCOPED_TRACE(names[missing]);
        for (int i = 0; i < 5; ++i) {
            std::string path = std::string("sounds/") + names[i] + ".mp3";
            if (i == missing)
                std::remove(path.c_str());
            else
                writeSilentWav(path);
        }
        const int64_t opened = 1000000 + 1000 * missing;
        atSecond(opened);
        game->openAmbientSounds();
        for (int i = 0; i < 5; ++i) {
            const AmbientSound& s = game->ambientSounds[i];
            EXPECT_EQ(s.stream == nullptr, i == missing);
            // Opening starts every sound afresh, waiting from now.
            EXPECT_EQ(s.lastChange, opened);
            EXPECT_FALSE(s.playing);
            EXPECT_TRUE(s.enabled);
        }
        // A silent sound still keeps its rhythm with the others.
        atSecond(opened + 400);
        game->updateAmbientSounds();
        for (const AmbientSound& s : game->ambientSounds) EXPECT_TRUE(s.playing);
    }
}

TEST_F(AmbientTest, WaitingEndsOnlyWhenMoreThanTheIntervalHasPassed) {
    AmbientSound& s = onlyFirst(100, 3, false);
    atSecond(103);
    game->updateAmbientSounds();
    EXPECT_FALSE(s.playing);
    EXPECT_EQ(s.lastChange, 100);
    atSecond(104);
    game->updateAmbientSounds();
    EXPECT_TRUE(s.playing);
    EXPECT_EQ(s.lastChange, 104);
}

TEST_F(AmbientTest, PlayingPhaseIsWaitedOutBeforeTheNextStart) {
    AmbientSound& s = onlyFirst(104, 3, true);
    // Updates every 100 ms: the recording has long ended, the phase has not.
    atSecond(104);
    std::vector<std::pair<int64_t, bool>> changes;
    bool last = s.playing;
    for (int i = 0; i < 130; ++i) {
        game->updateAmbientSounds();
        if (s.playing != last) changes.push_back({std::time(nullptr), s.playing});
        last = s.playing;
        rest(100);
    }
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0], std::make_pair(int64_t(108), false));
    EXPECT_EQ(changes[1], std::make_pair(int64_t(112), true));
    EXPECT_EQ(changes[2], std::make_pair(int64_t(116), false));
}

TEST_F(AmbientTest, AtMostOneChangePerSoundPerUpdate) {
    atSecond(50000);
    AmbientSound& s = onlyFirst(100, 3, false);
    game->updateAmbientSounds();
    EXPECT_TRUE(s.playing);
    EXPECT_EQ(s.lastChange, 50000);
    game->updateAmbientSounds();
    EXPECT_TRUE(s.playing);
    EXPECT_EQ(s.lastChange, 50000);

    s.lastChange = 100;
    game->updateAmbientSounds();
    EXPECT_FALSE(s.playing);
    EXPECT_EQ(s.lastChange, 50000);
}

TEST_F(AmbientTest, OffThePlayingScreenOrSwitchedOffNothingChanges) {
    atSecond(2000000);
    const struct { int mode; bool enabled; } cases[] = {
        {MainMenu, true}, {LevelWon, true}, {HelpScreen, true}, {LevelEditor, true},
        {Playing, false}, {MainMenu, false},
    };
    game->ambientSounds[1].playing = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        game->screenMode = c.mode;
        game->ambientEnabled = c.enabled;
        for (int i = 0; i < 20; ++i) {
            game->updateAmbientSounds();
            rest(100);
        }
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(game->ambientSounds[i].lastChange, 1000000);
            EXPECT_EQ(game->ambientSounds[i].playing, i == 1);
        }
    }
}

TEST_F(AmbientTest, TenMinutesOnTheMenuThenPlayStartsAllFive) {
    game->screenMode = MainMenu;
    for (int i = 0; i < 6000; ++i) {
        game->updateAmbientSounds();
        rest(100);
    }
    for (const AmbientSound& s : game->ambientSounds) EXPECT_FALSE(s.playing);
    game->screenMode = Playing;
    game->updateAmbientSounds();
    for (const AmbientSound& s : game->ambientSounds) {
        EXPECT_TRUE(s.playing);
        EXPECT_EQ(s.lastChange, 1000000 + 600);
    }
}

TEST_F(AmbientTest, BirdStartsAboutFourSecondsAfterStartWhilePlaying) {
    std::time_t started = 0;
    for (int i = 0; i < 100 && !started; ++i) {
        game->updateAmbientSounds();
        if (game->ambientSounds[0].playing) started = std::time(nullptr);
        rest(100);
    }
    EXPECT_EQ(started, 1000000 + 4);
    for (int i = 1; i < 5; ++i) EXPECT_FALSE(game->ambientSounds[i].playing);
}

}  // namespace
