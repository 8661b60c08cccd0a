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
    void atSecond(int64_t second) { harness::baseSeconds = static_cast<std::time_t>(second - harness::nowMs / 1000); }
    void update() { game->updateAmbientSounds(); }
};

TEST_F(AmbientTest, OpensEachShippedRecordingFromItsOwnFileAndASilentOneKeepsTime) {
    mkdir("sounds", 0755);
    const char* names[5] = {"bird1a", "chaffinch1a", "car9b", "willow1a", "dog1a"};
    for (int missing = 0; missing < 5; ++missing) {
        for (int i = 0; i < 5; ++i) {
            std::string path = std::string("sounds/") + names[i] + ".mp3";
            std::remove(path.c_str());
            if (i != missing) std::ofstream(path) << std::ifstream(harness::dataDir() + "/" + path).rdbuf();
        }
        atSecond(1000000 + 1000 * missing);
        game->openAmbientSounds();
        for (int i = 0; i < 5; ++i) {
            const AmbientSound& s = game->ambientSounds[i];
            EXPECT_EQ(s.stream == nullptr, i == missing) << names[missing];
            EXPECT_TRUE(s.lastChange == 1000000 + 1000 * missing && !s.playing && s.enabled);
        }
        atSecond(1000000 + 1000 * missing + 400);
        update();
        for (const AmbientSound& s : game->ambientSounds) EXPECT_TRUE(s.playing);
    }
}

TEST_F(AmbientTest, EachPhaseEndsWhenMoreThanItsIntervalHasPassedOneChangeAtATime) {
    for (AmbientSound& s : game->ambientSounds) s.enabled = false;
    AmbientSound& s = game->ambientSounds[0];
    s = {s.stream, 100, 3, true, false, s.channel, s.volume};
    // Updates every 100 ms from second 103: the recording has long ended
    // when the playing phase does.
    atSecond(103);
    std::vector<std::pair<int64_t, bool>> changes;
    for (int i = 0; i < 140; ++i, rest(100)) {
        bool was = s.playing;
        update();
        if (s.playing != was) changes.push_back({std::time(nullptr), s.playing});
    }
    EXPECT_EQ(changes, (std::vector<std::pair<int64_t, bool>>{{104, true}, {108, false}, {112, true}, {116, false}}));
    // Long overdue: still one change per update.
    s.lastChange = 100;
    atSecond(50000);
    update();
    update();
    EXPECT_TRUE(s.playing && s.lastChange == 50000);
}

TEST_F(AmbientTest, OffThePlayingScreenOrSwitchedOffNothingChanges) {
    atSecond(2000000);
    game->ambientSounds[1].playing = true;
    for (auto [mode, enabled] : {std::pair{MainMenu, true}, {LevelWon, true}, {HelpScreen, true},
                                 {LevelEditor, true}, {Playing, false}, {MainMenu, false}}) {
        game->screenMode = mode;
        game->ambientEnabled = enabled;
        for (int i = 0; i < 20; ++i, rest(100)) update();
        for (int i = 0; i < 5; ++i)
            EXPECT_TRUE(game->ambientSounds[i].lastChange == 1000000 && game->ambientSounds[i].playing == (i == 1)) << mode;
    }
    // Back on the playing screen after ten minutes: all five start at once.
    game->screenMode = Playing;
    game->ambientEnabled = true;
    game->ambientSounds[1].playing = false;
    update();
    for (const AmbientSound& s : game->ambientSounds) EXPECT_TRUE(s.playing && s.lastChange == std::time(nullptr));
}

}  // namespace
