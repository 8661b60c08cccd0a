// Building and destroying the Game: the picture table, the made tiles, the
// starting state, and start-up with files missing or the sound output gone.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>

#include "harness.h"
#include "shell/game.h"

namespace {

bool sameColour(int pixel, int r, int g, int b) { return getr(pixel) == r && getg(pixel) == g && getb(pixel) == b; }

bool isMadeSlot(int slot) { return slot >= 15 && slot <= 17; }

TEST(GameConstruction, InAnEmptyDirectoryStartsOnTheMenuWithOnlyTheMadeTiles) {
    harness::ScratchDir dir(false);
    std::atomic<bool> quit(false);
    {
        Game game(&quit);
        EXPECT_EQ(game.screenMode, MainMenu);
        EXPECT_EQ(game.selection, 0);
        EXPECT_TRUE(game.redrawNeeded);
        EXPECT_TRUE(game.ambientEnabled);
        EXPECT_EQ(game.levelNumber, 1);  // no level 1, yet a real level number
        for (int slot = 0; slot < 256; ++slot) EXPECT_EQ(game.tileImages[slot] != nullptr, isMadeSlot(slot)) << slot;
        for (const AmbientSound& sound : game.ambientSounds) EXPECT_EQ(sound.stream, nullptr);

        // Slot 16 is all mask colour, slot 17 black.
        BITMAP* under = create_bitmap(32, 32);
        clear_to_color(under, makecol(1, 2, 3));
        draw_sprite(under, game.tileImages[16], 0, 0);
        for (int y = 0; y < 32; y += 31)
            for (int x = 0; x < 32; x += 31) {
                EXPECT_TRUE(sameColour(getpixel(under, x, y), 1, 2, 3));
                EXPECT_TRUE(sameColour(getpixel(game.tileImages[17], x, y), 0, 0, 0));
            }
        EXPECT_TRUE(sameColour(getpixel(under, 16, 16), 1, 2, 3));
        destroy_bitmap(under);
    }
    // Destroyed with null pictures and streams: nothing crashed, nothing
    // written, and the sound library closed so that a second Game can start.
    EXPECT_FALSE(dir.exists("settings.ini"));
    EXPECT_FALSE(dir.exists("highscores.dat"));
    EXPECT_FALSE(quit.load());
    Game second(&quit);
    EXPECT_EQ(second.levelNumber, 1);
}

TEST(GameConstruction, EachPictureFileFillsItsOwnSlot) {
    harness::ScratchDir dir(false);
    mkdir("graphics", 0755);
    mkdir("graphics/menu", 0755);
    const std::pair<int, const char*> files[] = {
        {0, "black_rock"},     {1, "rock"},           {2, "skytop"},        {19, "skybottom"},
        {20, "dirt_bg3"},      {21, "skybottom_destroyed"}, {253, "zada_wins"}, {254, "bone"},
        {255, "zada"},         {242, "menu/options"}, {243, "menu/optionson"}, {244, "menu/help_bg"},
        {245, "menu/play"},    {246, "menu/playon"},  {247, "menu/help"},   {248, "menu/helpon"},
        {249, "menu/quit"},    {250, "menu/quiton"},  {251, "menu/menu_bg"},
    };
    // Each picture as wide as its slot number tells.
    int width[256] = {};
    for (auto [slot, name] : files) {
        BITMAP* b = create_bitmap(1 + slot, 8);
        clear_to_color(b, makecol(9, 9, 9));
        ASSERT_EQ(save_pcx(("graphics/" + std::string(name) + ".pcx").c_str(), b, nullptr), 0) << name;
        destroy_bitmap(b);
        width[slot] = 1 + slot;
    }
    // A damaged file, and one in the wrong place, are no pictures.
    dir.write("graphics/bone.pcx", "not a picture");
    std::rename("graphics/skytop.pcx", "graphics/skytop.pcx.bak");
    width[254] = width[2] = 0;

    std::atomic<bool> quit(false);
    Game game(&quit);
    for (int slot = 0; slot < 256; ++slot) {
        if (isMadeSlot(slot)) continue;
        SCOPED_TRACE(slot);
        BITMAP* b = game.tileImages[slot];
        EXPECT_EQ(b ? b->w : 0, width[slot]);
    }
}

// Settings read before the ambient switch was set to on would lose a saved
// "off"; level 1 is loaded onto the ready board.
TEST(GameConstruction, SettingsAreReadAfterTheAmbientSwitchAndLevelOneIsLoaded) {
    harness::ScratchDir dir(false);
    dir.write("settings.ini", "200\r\n0\r\n");
    mkdir("levels", 0755);
    std::string level = "Start Here\r\n3 4 15 11\r\n";
    for (int n = 0; n < 300; ++n)
        level += std::string{static_cast<char>(n < 40 ? 2 : n == 149 ? 1 : 16), ' '} + (n % 20 == 19 ? "\r\n" : "");
    dir.write("levels/1.lvl", level);
    std::atomic<bool> quit(false);
    Game game(&quit);
    EXPECT_FALSE(game.ambientEnabled);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 200);
    FSOUND_SetSFXMasterVolume(255);  // the layer outlives this Game
    EXPECT_EQ(game.levelTitle, "Start Here");
    EXPECT_EQ(std::make_tuple(game.dogColumn, game.dogRow, game.boneColumn, game.boneRow, game.board[7][9], game.screenMode),
              std::make_tuple(3, 4, 15, 11, uint8_t(1), int(MainMenu)));
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
