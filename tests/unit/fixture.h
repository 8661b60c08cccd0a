// Games in scratch directories for the unit tests: boards written as text, hand-made levels, pixel helpers, and a Game driven step by step.
#pragma once
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "harness.h"
#include "rules/board_text.h"
#include "rules/solver.h"
#include "rules/tiles.h"
#include "screens/draw.h"
#include "app/game.h"
#include "platform/input_latch.h"

inline BITMAP* solid(int w, int h, int r, int g, int b) {
    BITMAP* bmp = create_bitmap(w, h);
    clear_to_color(bmp, makecol(r, g, b));
    return bmp;
}

inline bool isColour(BITMAP* bmp, int x, int y, int r, int g, int b) { return getpixel(bmp, x, y) == makecol(r, g, b); }

// The 8 rows from y show the text centred on x = 320 in the colour, and no other pixel of those rows has that colour (the text may lie over a picture).
inline bool lineShows(BITMAP* bmp, int y, const std::string& text, int colour, int halfWidth = 320) {
    BITMAP* want = create_bitmap(640, 8);
    clear_bitmap(want), textout_centre_ex(want, font, text.c_str(), 320, 0, colour, -1);
    bool same = true;
    for (int i = 0; i < 640 * 8 && same; ++i)
        same = std::abs(i % 640 - 320) > halfWidth ||
               (getpixel(bmp, i % 640, y + i / 640) == colour) == (getpixel(want, i % 640, i / 640) == colour);
    destroy_bitmap(want);
    return same;
}

// Grid rows over the blank layout after `first` usual rows; a pocket walls in all else with sky. Without a bone mark the bone lies bottom right.
inline RuleState textBoard(std::vector<std::string> rows, int first = 0, bool pocket = false) {
    rows.insert(rows.begin(), first, "");
    if (pocket) {
        rows.resize(15);
        for (std::string& row : rows) row.resize(20, '^');
    }
    RuleState s;
    s.boneColumn = 19, s.boneRow = 14;
    EXPECT_TRUE(applyGrid(s, rows));
    s.beginTick();
    return s;
}

// A Game in a scratch directory, stepped by hand.
class GameFixture : public testing::Test {
protected:
    harness::ScratchDir dir;
    std::atomic<bool> quit{false};
    Game game{&quit};

    void setBoard(const std::vector<std::string>& rows, int first = 0) { game.rules = textBoard(rows, first), game.screenMode = Playing; }
    // One input step with the keys held for just that step, the keyboard's callback told of each press and release as Allegro tells it.
    void tap(const std::vector<int>& keys = {}) {
        for (int k : keys) key[k] = -1, inputLatch::onKey(k);
        game.handleInput();
        for (int k : keys) key[k] = 0, inputLatch::onKey(k | 0x80);
    }
    // The game owns its pictures; the board layer is forgotten, since a new picture may take a destroyed one's address.
    void setPicture(int slot, BITMAP* picture) {
        if (game.tileImages[slot]) destroy_bitmap(game.tileImages[slot]);
        game.tileImages[slot] = picture, forgetBoardLayer(game);
    }
    void drawMode(BITMAP* target, int mode) { game.screenMode = mode, game.redrawNeeded = true, game.drawScreen(target); }
};

// Sky, ground line, then dirt with a diagonal of rocks and a few codes with no tile (a NUL among them).
inline int patternCell(int r, int c) {
    return r < 2 ? (r == 0 ? 2 : 19) : r == 2 && c < 3 ? (c == 0 ? 3 : c == 1 ? 200 : 0) : c == r ? 1 : 16;
}

// A level file of the pattern, a space after each cell; packed puts all 300 cells on one line.
inline std::string levelBytes(const std::string& title, const std::string& positions, const std::string& eol = "\r\n",
                              bool packed = false) {
    std::string s = title + eol + positions + eol;
    for (int n = 0; n < 300; ++n)
        s += std::string(1, char(patternCell(n / 20, n % 20))) + (packed ? "" : n % 20 == 19 ? " " + eol : " ");
    return s;
}

// A pocket in the sky, the dog one Down from the bone; buried, the bone lies under rocks down to the bottom.
inline RuleState pocket(bool buried) {
    std::vector<std::string> rows = {"", "^^^^D", "^^^^."};
    rows.resize(buried ? 15 : 4, buried ? "^^^^#" : "^^^^B");
    RuleState s = textBoard(rows, 0, true);
    s.boneColumn = 4, s.boneRow = 3;
    return s;
}

// A key held from `from` to `to` ms from now; a repeated one tells the keyboard's callback again every 30 ms, as X's repeat does.
struct Press {
    int key;
    unsigned long from, to;
    bool repeated = false;
};

// Down now, so that the step about to run sees it, and let go after ms.
inline void hold(int scancode, unsigned long ms) { harness::holdKey(scancode, 0, ms), key[scancode] = -1, inputLatch::onKey(scancode); }
// The pointer at (x, y) with these buttons down, let go after 50 ms.
inline void click(int x, int y, int buttons = 1) {
    mouse_x = x, mouse_y = y, mouse_b = buttons, inputLatch::onMouse(buttons & 1 ? MOUSE_FLAG_LEFT_DOWN : 0);
    harness::at(harness::nowMs + 50, [] { mouse_b = 0; });
}

struct LevelFixture : GameFixture {
    LevelFixture() { mkdir("levels", 0755); }
};
