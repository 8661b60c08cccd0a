// Building and destroying the Game: starting state, missing files, settings and level 1 read in order, sound closed.

#include "fixture.h"

namespace {

TEST(GameConstruction, InAnEmptyDirectoryStartsOnTheMenuWithOnlyTheMadeTiles) {
    harness::ScratchDir dir(false);
    std::atomic<bool> quit(false);
    {
        Game game(&quit);
        EXPECT_EQ(std::make_tuple(game.screenMode, game.selection, game.ambientEnabled, game.levelNumber, FSOUND_GetSFXMasterVolume()),
                  std::make_tuple(int(MainMenu), 0, true, 1, 255));
        for (int slot = 0; slot < 256; ++slot) EXPECT_EQ(game.tileImages[slot] != nullptr, slot >= 15 && slot <= 17) << slot;
    }
    // Destroyed with null pictures and streams: nothing written, and the sound library closed so that a second Game can start.
    EXPECT_EQ(std::system("test -z \"$(ls -A)\""), 0) << "a file was written";
    Game second(&quit);
    EXPECT_EQ(second.levelNumber, 1);
}

// Settings read before the ambient switch was set to on would lose a saved "off".
TEST(GameConstruction, SettingsAreReadAfterTheAmbientSwitchAndLevelOneIsLoaded) {
    harness::ScratchDir dir(false);
    dir.write("settings.ini", "200\r\n0\r\n");
    mkdir("levels", 0755);
    dir.write("levels/1.lvl", levelBytes("Start Here", "3 4 15 11"));
    std::atomic<bool> quit(false);
    Game game(&quit);
    EXPECT_EQ(std::make_pair(game.ambientEnabled, FSOUND_GetSFXMasterVolume()), std::make_pair(false, 200));
    FSOUND_SetSFXMasterVolume(255);  // the layer outlives this Game
    EXPECT_EQ(std::make_tuple(game.levelTitle, game.dogColumn, game.dogRow, game.boneColumn, game.boneRow, game.board[7][7]),
              std::make_tuple(std::string("Start Here"), 3, 4, 15, 11, uint8_t(Rock)));
}

TEST(GameConstructionDeathTest, SoundOutputFailureShowsItsTextAndEndsWithStatus1) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    harness::ScratchDir dir(false);
    std::atomic<bool> quit(false);
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "nonexistent", 1);
            Game game(&quit);
        },
        testing::ExitedWithCode(1), "Error initializing output device\\.");
}

}  // namespace
