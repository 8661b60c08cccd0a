// Building and destroying the Game: the picture table, the made tiles, the
// starting state, and start-up with files missing or the sound output gone.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <set>

#include "harness.h"
#include "shell/game.h"

namespace {

bool sameColour(int pixel, int r, int g, int b) {
    return getr(pixel) == r && getg(pixel) == g && getb(pixel) == b;
}

// Writes a w x h picture of one colour as a PCX file.
void writePicture(const std::string& path, int w, int h, int colour) {
    BITMAP* b = create_bitmap(w, h);
    clear_to_color(b, colour);
    ASSERT_EQ(save_pcx(path.c_str(), b, nullptr), 0) << path;
    destroy_bitmap(b);
}

const std::set<int> kFileSlots = {0, 1, 2, 19, 20, 21, 242, 243, 244, 245, 246, 247, 248, 249, 250, 251, 253, 254, 255};
const std::set<int> kMadeSlots = {15, 16, 17};

TEST(GameConstruction, StartsOnTheMainMenuWithPlayHighlighted) {
    harness::ScratchDir dir(false);
    std::atomic<bool> quit(false);
    Game game(&quit);
    EXPECT_EQ(game.screenMode, MainMenu);
    EXPECT_EQ(game.selection, 0);
    EXPECT_TRUE(game.redrawNeeded);
    EXPECT_EQ(game.quitFlag, &quit);
    EXPECT_EQ(game.dogOffsetX, 0);
    EXPECT_EQ(game.dogOffsetY, 0);
    EXPECT_TRUE(game.ambientEnabled);  // no settings file
    // No level 1 to read: the level number is still a real one.
    EXPECT_EQ(game.levelNumber, 1);
    EXPECT_FALSE(quit.load());
}

TEST(GameConstruction, EmptyDirectoryLeavesEveryFileSlotAndStreamNull) {
    harness::ScratchDir dir(false);
    std::atomic<bool> quit(false);
    {
        Game game(&quit);
        for (int slot = 0; slot < 256; ++slot) {
            if (kMadeSlots.count(slot)) {
                EXPECT_NE(game.tileImages[slot], nullptr) << slot;
            } else {
                EXPECT_EQ(game.tileImages[slot], nullptr) << slot;
            }
        }
        for (const AmbientSound& sound : game.ambientSounds) EXPECT_EQ(sound.stream, nullptr);
    }
    // Destroyed with null pictures and streams: nothing crashed, nothing written.
    struct stat st;
    EXPECT_NE(stat("settings.ini", &st), 0);
    EXPECT_NE(stat("highscores.dat", &st), 0);
}

TEST(GameConstruction, MadeTilesDirtMaskAndBlack) {
    harness::ScratchDir dir(false);
    std::atomic<bool> quit(false);
    Game game(&quit);
    for (int slot : kMadeSlots) {
        ASSERT_NE(game.tileImages[slot], nullptr);
        EXPECT_EQ(game.tileImages[slot]->w, 32);
        EXPECT_EQ(game.tileImages[slot]->h, 32);
    }
    BITMAP* mask = game.tileImages[16];
    BITMAP* black = game.tileImages[17];
    for (int y = 0; y < 32; y += 31)
        for (int x = 0; x < 32; x += 31) {
            EXPECT_TRUE(sameColour(getpixel(mask, x, y), 255, 0, 255));
            EXPECT_TRUE(sameColour(getpixel(black, x, y), 0, 0, 0));
        }

    // Slot 16 drawn as a sprite leaves what lies beneath.
    BITMAP* under = create_bitmap(32, 32);
    clear_to_color(under, makecol(1, 2, 3));
    draw_sprite(under, mask, 0, 0);
    EXPECT_TRUE(sameColour(getpixel(under, 16, 16), 1, 2, 3));
    destroy_bitmap(under);

    // Slot 15: dark red with "DIRT" in green one text line down, its letters
    // on a transparent background.
    BITMAP* dirt = game.tileImages[15];
    int green = 0, red = 0, other = 0, greenAbove = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            int p = getpixel(dirt, x, y);
            if (sameColour(p, 0, 255, 0)) {
                ++green;
                if (y < text_height(font)) ++greenAbove;
            } else if (sameColour(p, 77, 8, 12)) {
                ++red;
            } else {
                ++other;
            }
        }
    EXPECT_GT(green, 20);
    EXPECT_GT(red, 600);
    EXPECT_EQ(other, 0);
    EXPECT_EQ(greenAbove, 0);
}

TEST(GameConstruction, PicturesComeFromTheirFilesAndMissingOnesStayNull) {
    harness::ScratchDir dir(false);
    mkdir("graphics", 0755);
    mkdir("graphics/menu", 0755);
    writePicture("graphics/rock.pcx", 32, 32, makecol(100, 100, 100));
    writePicture("graphics/zada.pcx", 32, 32, makecol(200, 150, 50));
    writePicture("graphics/menu/menu_bg.pcx", 640, 480, makecol(0, 0, 90));
    writePicture("graphics/menu/quiton.pcx", 120, 40, makecol(250, 250, 0));
    // A file in the wrong place or a damaged one is not a picture.
    writePicture("graphics/bone.pcx.bak", 32, 32, makecol(1, 1, 1));
    dir.write("graphics/skytop.pcx", "not a picture");

    std::atomic<bool> quit(false);
    Game game(&quit);
    ASSERT_NE(game.tileImages[1], nullptr);
    EXPECT_TRUE(sameColour(getpixel(game.tileImages[1], 5, 5), 100, 100, 100));
    ASSERT_NE(game.tileImages[255], nullptr);
    EXPECT_TRUE(sameColour(getpixel(game.tileImages[255], 5, 5), 200, 150, 50));
    ASSERT_NE(game.tileImages[251], nullptr);
    EXPECT_EQ(game.tileImages[251]->w, 640);
    ASSERT_NE(game.tileImages[250], nullptr);
    EXPECT_EQ(game.tileImages[250]->w, 120);
    EXPECT_EQ(game.tileImages[0], nullptr);
    EXPECT_EQ(game.tileImages[2], nullptr);
    EXPECT_EQ(game.tileImages[254], nullptr);
    EXPECT_EQ(game.tileImages[252], nullptr);
}

TEST(GameConstruction, EveryFileSlotLoadsWhenAllPicturesArePresent) {
    harness::ScratchDir dir(false);
    mkdir("graphics", 0755);
    mkdir("graphics/menu", 0755);
    const char* names[] = {"black_rock", "rock", "skytop", "skybottom", "dirt_bg3", "skybottom_destroyed",
                           "zada_wins", "bone", "zada"};
    const char* menuNames[] = {"options", "optionson", "help_bg", "play", "playon", "help", "helpon",
                               "quit", "quiton", "menu_bg"};
    for (const char* n : names) writePicture(std::string("graphics/") + n + ".pcx", 8, 8, makecol(9, 9, 9));
    for (const char* n : menuNames)
        writePicture(std::string("graphics/menu/") + n + ".pcx", 8, 8, makecol(9, 9, 9));
    std::atomic<bool> quit(false);
    Game game(&quit);
    for (int slot = 0; slot < 256; ++slot) {
        bool filled = kFileSlots.count(slot) || kMadeSlots.count(slot);
        EXPECT_EQ(game.tileImages[slot] != nullptr, filled) << slot;
    }
}

TEST(GameConstruction, SettingsAreReadAfterTheAmbientSwitchIsSet) {
    // Read before the switch was set to on, a saved "off" would be lost.
    harness::ScratchDir dir(false);
    dir.write("settings.ini", "200\r\n0\r\n");
    std::atomic<bool> quit(false);
    Game game(&quit);
    EXPECT_FALSE(game.ambientEnabled);
    EXPECT_EQ(FSOUND_GetSFXMasterVolume(), 200);
    FSOUND_SetSFXMasterVolume(255);  // the layer outlives this Game
}

TEST(GameConstruction, BoardIsReadyAndLevelOneLoaded) {
    harness::ScratchDir dir(false);
    mkdir("levels", 0755);
    std::string level = "Start Here\r\n3 4 15 11\r\n";
    for (int row = 0; row < 15; ++row) {
        for (int column = 0; column < 20; ++column) {
            level += static_cast<char>(row < 2 ? 2 : (row == 7 && column == 9 ? 1 : 16));
            level += ' ';
        }
        level += "\r\n";
    }
    dir.write("levels/1.lvl", level);
    std::atomic<bool> quit(false);
    Game game(&quit);
    ASSERT_NE(game.board, nullptr);
    EXPECT_EQ(game.boardWidth, 20);
    EXPECT_EQ(game.boardHeight, 15);
    EXPECT_EQ(game.levelNumber, 1);
    EXPECT_EQ(game.levelTitle, "Start Here");
    EXPECT_EQ(game.dogColumn, 3);
    EXPECT_EQ(game.dogRow, 4);
    EXPECT_EQ(game.boneColumn, 15);
    EXPECT_EQ(game.boneRow, 11);
    EXPECT_EQ(game.board[7][9], 1);
    EXPECT_EQ(game.moveCount, 0);
    EXPECT_FALSE(game.rockFalling);
    EXPECT_EQ(game.screenMode, MainMenu);
}

TEST(GameConstruction, ShippedDataOpensEveryPictureAndRecording) {
    harness::ScratchDir dir(true);
    std::atomic<bool> quit(false);
    Game game(&quit);
    for (int slot : kFileSlots) EXPECT_NE(game.tileImages[slot], nullptr) << slot;
    for (const AmbientSound& sound : game.ambientSounds) EXPECT_NE(sound.stream, nullptr);
    EXPECT_EQ(game.levelNumber, 1);
    EXPECT_FALSE(game.levelTitle.empty());
}

TEST(GameConstruction, SecondGameAfterTheFirstIsDestroyed) {
    // The sound library is closed by the destructor and can start again.
    harness::ScratchDir dir(false);
    std::atomic<bool> quit(false);
    { Game first(&quit); }
    Game second(&quit);
    EXPECT_EQ(second.screenMode, MainMenu);
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
