// Which held keys wake each screen's input step, and the common start of
// every input step.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "harness.h"
#include "shell/game.h"

namespace {

class Polling : public testing::Test {
protected:
    harness::ScratchDir dir{false};
    std::atomic<bool> quit{false};
    Game game{&quit};

    bool pollWith(int scancode) {
        key[scancode] = -1;  // held keys read -1 under X11
        bool result = game.pollInput();
        key[scancode] = 0;
        return result;
    }
};

}  // namespace

TEST_F(Polling, EachScreenWakesOnItsOwnKeysOnly) {
    struct Case {
        int mode;
        std::vector<int> wake, quiet;
    };
    const Case cases[] = {
        {MainMenu, {KEY_UP, KEY_DOWN, KEY_SPACE, KEY_ENTER, KEY_ESC, KEY_L, KEY_A}, {KEY_LEFT, KEY_R, KEY_O}},
        {Playing, {KEY_R, KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_ESC, KEY_S, KEY_O}, {KEY_ENTER, KEY_A}},
        {HelpScreen, {KEY_SPACE, KEY_ENTER, KEY_ESC}, {KEY_UP, KEY_LEFT, KEY_A, KEY_L}},
        {LevelEditor, {KEY_ESC, KEY_LEFT, KEY_RIGHT, KEY_L, KEY_S, KEY_N, KEY_T, KEY_E}, {KEY_UP, KEY_ENTER}},
        {7, {}, {KEY_ESC, KEY_ENTER}},  // no such screen
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode);
        game.screenMode = c.mode;
        // The editor's brush sits in selection; it must not count as a step.
        game.selection = c.mode == LevelEditor ? 255 : 0;
        game.rockFalling = false;
        EXPECT_FALSE(game.pollInput());
        for (int k : c.wake) EXPECT_TRUE(pollWith(k)) << "scancode " << k;
        for (int k : c.quiet) EXPECT_FALSE(pollWith(k)) << "scancode " << k;
    }
}

// Motion, the won screen and the editor's left button wake with no key; the
// ambient clock ticks in every poll and input step; an input step starts
// from a clear frame and the dog's cell.
TEST_F(Polling, MotionAndTheClockWakeWithNoKeyAndEveryStepStartsClear) {
    game.screenMode = Playing;
    game.rockFalling = false;
    game.selection = Left;  // a step in progress
    EXPECT_TRUE(game.pollInput());
    game.selection = None, game.rockFalling = true;
    EXPECT_TRUE(game.pollInput());
    game.screenMode = LevelWon;
    EXPECT_TRUE(game.pollInput());
    game.screenMode = LevelEditor, game.selection = 255;
    for (int buttons : {1, 2, 3, 4}) {
        mouse_b = buttons;
        EXPECT_EQ(game.pollInput(), (buttons & 1) != 0) << "buttons " << buttons;
    }
    mouse_b = 0;

    game.screenMode = Playing;  // the sounds play only here
    game.rockFalling = false, game.selection = None;
    game.ambientEnabled = true;
    AmbientSound& bird = game.ambientSounds[0];
    bird.enabled = true, bird.interval = 3;
    for (bool poll : {true, false}) {
        bird.playing = false;
        bird.lastChange = static_cast<int32_t>(time(nullptr)) - 10;  // overdue
        EXPECT_FALSE(poll && game.pollInput());
        if (!poll) game.handleInput();
        EXPECT_TRUE(bird.playing) << (poll ? "poll" : "input step");
    }

    game.dogColumn = 7, game.dogRow = 9;
    game.screenMode = HelpScreen;  // no key held: its handler does nothing
    game.redrawNeeded = true;
    game.handleInput();
    EXPECT_EQ(std::make_tuple(game.redrawNeeded, game.stepStartColumn, game.stepStartRow, game.screenMode),
              std::make_tuple(false, 7, 9, int(HelpScreen)));
}
