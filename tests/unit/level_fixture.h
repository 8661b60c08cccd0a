// A game in an empty scratch directory with a levels folder, level files made
// by hand, and a look at a line of text on the screen; shared by the level
// file, editor, prompt and chooser tests.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <string>

#include "harness.h"
#include "shell/game.h"

namespace level_test {

// The cells of a hand-made level: sky, then dirt with a diagonal of rocks and
// a few codes the game has no tile for (a NUL among them).
inline int patternCell(int r, int c) {
    if (r == 0) return 2;
    if (r == 1) return 19;
    if (r == 2 && c < 3) return c == 0 ? 3 : c == 1 ? 200 : 0;
    return c == r ? 1 : 16;
}
inline int blankCell(int r) { return r == 0 ? 2 : r == 1 ? 19 : 16; }

// A level file's bytes: title, positions, then the pattern's 15 rows, each
// cell followed by a space; packed puts all 300 cells on one line instead.
inline std::string levelBytes(const std::string& title, const std::string& positions,
                              const std::string& eol = "\r\n", bool packed = false) {
    std::string s = title + eol + positions + eol;
    for (int r = 0; r < 15; ++r) {
        for (int c = 0; c < 20; ++c) {
            s.push_back(static_cast<char>(patternCell(r, c)));
            if (!packed) s.push_back(' ');
        }
        if (!packed) s += eol;
    }
    return s;
}

// True when the 8 screen rows from y show exactly the text centred on x = 320
// in the colour (an empty text: no text in it): the screens draw their text
// over a picture, so the letters' pixels are what is compared.
inline bool screenLineShows(int y, const std::string& text, int colour) {
    BITMAP* want = create_bitmap(640, 8);
    clear_bitmap(want);
    textout_centre_ex(want, font, text.c_str(), 320, 0, colour, -1);
    bool same = true;
    for (int yy = 0; yy < 8 && same; ++yy)
        for (int x = 0; x < 640 && same; ++x)
            same = (getpixel(screen, x, y + yy) == colour) == (getpixel(want, x, yy) == colour);
    destroy_bitmap(want);
    return same;
}

class LevelFixture : public testing::Test {
protected:
    harness::ScratchDir dir{false};
    std::atomic<bool> quit{false};
    Game game{&quit};

    LevelFixture() { mkdir("levels", 0755); }
};

}  // namespace level_test
