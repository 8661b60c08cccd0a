// Which held keys wake each screen's input step, and the common start of
// every input step.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "harness.h"
#include "shell/game.h"

namespace {

class Polling : public testing::Test {
protected:
    harness::ScratchDir dir{false};
    std::atomic<bool> quit{false};
    std::unique_ptr<Game> game;

    void SetUp() override {
        game = std::make_unique<Game>(&quit);
        game->selection = 0;
        game->rockFalling = false;
    }
    bool pollWith(int scancode) {
        key[scancode] = -1;  // held keys read -1 under X11
        bool result = game->pollInput();
        key[scancode] = 0;
        return result;
    }
};

}  // namespace

TEST_F(Polling, MainMenuWakesOnItsKeysOnly) {
    game->screenMode = MainMenu;
    EXPECT_FALSE(game->pollInput());
    for (int k : {KEY_UP, KEY_DOWN, KEY_SPACE, KEY_ENTER, KEY_ESC, KEY_L, KEY_A})
        EXPECT_TRUE(pollWith(k)) << "scancode " << k;
    for (int k : {KEY_LEFT, KEY_RIGHT, KEY_R, KEY_S, KEY_O, KEY_Y, KEY_N})
        EXPECT_FALSE(pollWith(k)) << "scancode " << k;
}

TEST_F(Polling, PlayingWakesOnItsKeysAndOnMotionWithNoKey) {
    game->screenMode = Playing;
    EXPECT_FALSE(game->pollInput());
    for (int k : {KEY_R, KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_ESC, KEY_S, KEY_O})
        EXPECT_TRUE(pollWith(k)) << "scancode " << k;
    for (int k : {KEY_ENTER, KEY_SPACE, KEY_A, KEY_L, KEY_Y, KEY_N})
        EXPECT_FALSE(pollWith(k)) << "scancode " << k;

    game->selection = Left;  // a step in progress
    EXPECT_TRUE(game->pollInput());
    game->selection = None;
    game->rockFalling = true;
    EXPECT_TRUE(game->pollInput());
}

TEST_F(Polling, LevelWonRunsEveryFrame) {
    game->screenMode = LevelWon;
    EXPECT_TRUE(game->pollInput());
}

TEST_F(Polling, HelpScreenEndsOnlyOnEnterSpaceOrEscape) {
    game->screenMode = HelpScreen;
    EXPECT_FALSE(game->pollInput());
    for (int k : {KEY_SPACE, KEY_ENTER, KEY_ESC}) EXPECT_TRUE(pollWith(k)) << "scancode " << k;
    for (int k : {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_A, KEY_L})
        EXPECT_FALSE(pollWith(k)) << "scancode " << k;
}

TEST_F(Polling, EditorWakesOnTheLeftButtonAndItsKeys) {
    game->screenMode = LevelEditor;
    game->selection = 255;  // the brush must not count as a step
    EXPECT_FALSE(game->pollInput());
    mouse_b = 2;
    EXPECT_FALSE(game->pollInput()) << "right button";
    mouse_b = 4;
    EXPECT_FALSE(game->pollInput()) << "middle button";
    mouse_b = 1;
    EXPECT_TRUE(game->pollInput());
    mouse_b = 3;
    EXPECT_TRUE(game->pollInput());
    mouse_b = 0;
    for (int k : {KEY_ESC, KEY_LEFT, KEY_RIGHT, KEY_L, KEY_S, KEY_N, KEY_T, KEY_E})
        EXPECT_TRUE(pollWith(k)) << "scancode " << k;
    for (int k : {KEY_UP, KEY_DOWN, KEY_ENTER, KEY_SPACE})
        EXPECT_FALSE(pollWith(k)) << "scancode " << k;
}

TEST_F(Polling, UnknownModeNeverWakes) {
    game->screenMode = 7;
    key[KEY_ESC] = -1;
    key[KEY_ENTER] = -1;
    EXPECT_FALSE(game->pollInput());
}

TEST_F(Polling, AmbientClockTicksEvenWhenNothingIsHeld) {
    game->screenMode = Playing;
    game->ambientEnabled = true;
    AmbientSound& bird = game->ambientSounds[0];
    bird.enabled = true;
    bird.playing = false;
    bird.interval = 3;
    bird.lastChange = static_cast<int32_t>(time(nullptr)) - 10;  // long overdue
    EXPECT_FALSE(game->pollInput());
    EXPECT_TRUE(bird.playing);

    // The input step itself ticks it too.
    AmbientSound& chaffinch = game->ambientSounds[1];
    chaffinch.enabled = true;
    chaffinch.playing = false;
    chaffinch.interval = 63;
    chaffinch.lastChange = static_cast<int32_t>(time(nullptr)) - 100;
    game->handleInput();
    EXPECT_TRUE(chaffinch.playing);
}

TEST_F(Polling, InputStepStartsFromAClearFrameAndTheDogsCell) {
    game->screenMode = HelpScreen;  // no key held: its handler does nothing
    game->dogColumn = 7;
    game->dogRow = 9;
    game->stepStartColumn = 0;
    game->stepStartRow = 0;
    game->redrawNeeded = true;
    game->handleInput();
    EXPECT_FALSE(game->redrawNeeded);
    EXPECT_EQ(game->stepStartColumn, 7);
    EXPECT_EQ(game->stepStartRow, 9);
    EXPECT_EQ(game->screenMode, HelpScreen);
}

TEST_F(Polling, InputStepInAnUnknownModeChangesNothingElse) {
    game->screenMode = 9;
    game->selection = 2;
    game->moveCount = 4;
    key[KEY_ESC] = -1;
    game->handleInput();
    EXPECT_EQ(game->screenMode, 9);
    EXPECT_EQ(game->selection, 2);
    EXPECT_EQ(game->moveCount, 4);
    EXPECT_FALSE(quit);
    EXPECT_TRUE(harness::rests.empty());
}
