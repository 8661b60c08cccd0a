// The garden's five recordings: each waits, then plays, for its own interval,
// one change per update, only on the playing screen with the switch on.
#include <map>
#include <vector>

#include "presentation_fixture.h"

namespace {

class AmbientTest : public presentation_test::GameFixture {
protected:
    void SetUp() override { game->openAmbientSounds(), game->screenMode = Playing, game->ambientEnabled = true; }  // at second 1000000
};

TEST_F(AmbientTest, EachRecordingKeepsItsOwnRhythmChannelAndVolume) {
    // Seconds after start-up at which each channel starts, over half an hour,
    // updated about every 100 ms: a phase ends once more than its interval
    // has passed. Bird 3 s, chaffinch 63 s, car 300 s, willow 200 s, dog 348 s.
    const struct { int channel, interval, volume; } kinds[] = {{1, 3, 155}, {2, 63, 170}, {3, 300, 200}, {4, 200, 170}, {0, 348, 25}};
    std::map<int, std::vector<long>> starts;
    for (int tenth = 0; tenth < 17900; ++tenth, rest(100)) {
        bool was[5];
        for (int i = 0; i < 5; ++i) was[i] = game->ambientSounds[i].playing;
        game->updateAmbientSounds();
        for (const AmbientSound& s : game->ambientSounds)
            if (s.playing && !was[&s - game->ambientSounds]) starts[s.channel].push_back(std::time(nullptr) - 1000000);
    }
    for (int i = 0; i < 5; ++i) {
        const AmbientSound& s = game->ambientSounds[i];
        EXPECT_EQ(std::make_pair(s.channel, s.volume), std::make_pair(kinds[i].channel, kinds[i].volume)) << i;
        const std::vector<long>& at = starts[kinds[i].channel];
        ASSERT_GE(at.size(), 2u) << i;
        EXPECT_EQ(at[0], kinds[i].interval + 1) << i;
        for (size_t k = 1; k < at.size(); ++k) ASSERT_EQ(at[k] - at[k - 1], 2 * (kinds[i].interval + 1)) << i;
    }
}

TEST_F(AmbientTest, OffThePlayingScreenOrSwitchedOffNothingChangesAndSilentOnesKeepTime) {
    // No recordings here at all: every stream is null, and each keeps time.
    harness::baseSeconds = 2000000 - harness::nowMs / 1000;
    game->ambientSounds[1].playing = true;
    for (auto [mode, enabled] : {std::pair{MainMenu, true}, {LevelWon, true}, {HelpScreen, true}, {LevelEditor, true}, {Playing, false}}) {
        game->screenMode = mode;
        game->ambientEnabled = enabled;
        for (int i = 0; i < 20; ++i, rest(100)) game->updateAmbientSounds();
        for (int i = 0; i < 5; ++i)
            EXPECT_TRUE(game->ambientSounds[i].lastChange == 1000000 && game->ambientSounds[i].playing == (i == 1)) << mode;
    }
    // Back on the playing screen long after: one change each, all at once.
    game->screenMode = Playing, game->ambientEnabled = true;
    game->updateAmbientSounds(), game->updateAmbientSounds();
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(game->ambientSounds[i].playing == (i != 1) && game->ambientSounds[i].lastChange == std::time(nullptr)) << i;
}

}  // namespace
