// Which held keys, buttons and motions wake each screen's input step.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "harness.h"
#include "shell/game.h"

TEST(Polling, EachScreenWakesOnItsOwnKeysAndMotionOnly) {
    harness::ScratchDir dir{false};
    std::atomic<bool> quit{false};
    Game game{&quit};
    auto pollWith = [&](int scancode) {
        key[scancode] = -1;  // held keys read -1 under X11
        const bool woken = game.pollInput();
        key[scancode] = 0;
        return woken;
    };
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
        game.selection = c.mode == LevelEditor ? 255 : 0;  // the editor's brush is no step
        EXPECT_FALSE(game.pollInput());
        for (int k : c.wake) EXPECT_TRUE(pollWith(k)) << "scancode " << k;
        for (int k : c.quiet) EXPECT_FALSE(pollWith(k)) << "scancode " << k;
    }
    // The editor wakes on the left button alone; the won screen with no key.
    game.screenMode = LevelEditor, game.selection = 255;
    for (int buttons : {1, 2, 3, 4}) {
        mouse_b = buttons;
        EXPECT_EQ(game.pollInput(), (buttons & 1) != 0) << "buttons " << buttons;
    }
    mouse_b = 0;
    game.screenMode = LevelWon;
    EXPECT_TRUE(game.pollInput());
}
