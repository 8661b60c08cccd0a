#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "presentation_fixture.h"

namespace {

class AmbientTest : public presentation_test::GameFixture {
protected:
    void SetUp() override {
        harness::baseSeconds = 1000000;
        game->openAmbientSounds();
        game->screenMode = Playing;
        game->ambientEnabled = true;
    }

    // time() reads this second from now on.
    void atSecond(int64_t second) {
        harness::baseSeconds = static_cast<std::time_t>(second) - static_cast<std::time_t>(harness::nowMs / 1000);
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

    void update() { game->updateAmbientSounds(); }
};

TEST_F(AmbientTest, OpensEachShippedRecordingFromItsOwnFile) {
    mkdir("sounds", 0755);
    const char* names[5] = {"bird1a", "chaffinch1a", "car9b", "willow1a", "dog1a"};
    for (int missing = 0; missing < 5; ++missing) {
        SCOPED_TRACE(names[missing]);
        for (int i = 0; i < 5; ++i) {
            std::string path = std::string("sounds/") + names[i] + ".mp3";
            std::remove(path.c_str());
            if (i != missing) std::ofstream(path, std::ios::binary) << std::ifstream(harness::dataDir() + "/" + path).rdbuf();
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
        update();
        for (const AmbientSound& s : game->ambientSounds) EXPECT_TRUE(s.playing);
    }
}

TEST_F(AmbientTest, WaitingEndsOnlyWhenMoreThanTheIntervalHasPassedOneChangeAtATime) {
    AmbientSound& s = onlyFirst(100, 3, false);
    atSecond(103);
    update();
    EXPECT_FALSE(s.playing);
    EXPECT_EQ(s.lastChange, 100);
    atSecond(104);
    update();
    EXPECT_TRUE(s.playing);
    EXPECT_EQ(s.lastChange, 104);

    // Long overdue: still one change per update.
    s.lastChange = 100;
    atSecond(50000);
    update();
    EXPECT_FALSE(s.playing);
    EXPECT_EQ(s.lastChange, 50000);
    update();
    EXPECT_FALSE(s.playing);
}

TEST_F(AmbientTest, PlayingPhaseIsWaitedOutBeforeTheNextStart) {
    AmbientSound& s = onlyFirst(104, 3, true);
    // Updates every 100 ms: the recording has long ended, the phase has not.
    atSecond(104);
    std::vector<std::pair<int64_t, bool>> changes;
    for (int i = 0; i < 130; ++i, rest(100)) {
        bool was = s.playing;
        update();
        if (s.playing != was) changes.push_back({std::time(nullptr), s.playing});
    }
    const std::vector<std::pair<int64_t, bool>> expected = {{108, false}, {112, true}, {116, false}};
    EXPECT_EQ(changes, expected);
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
        for (int i = 0; i < 20; ++i, rest(100)) update();
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(game->ambientSounds[i].lastChange, 1000000);
            EXPECT_EQ(game->ambientSounds[i].playing, i == 1);
        }
    }
}

TEST_F(AmbientTest, TenMinutesOnTheMenuThenPlayStartsAllFive) {
    game->screenMode = MainMenu;
    for (int i = 0; i < 6000; ++i, rest(100)) update();
    game->screenMode = Playing;
    update();
    for (const AmbientSound& s : game->ambientSounds) {
        EXPECT_TRUE(s.playing);
        EXPECT_EQ(s.lastChange, 1000000 + 600);
    }
}

}  // namespace
