// A game in a scratch directory with a levels folder; hand-made levels and a look at a line of text on screen.
#pragma once
#include <sys/stat.h>

#include <vector>

#include "play/board_text.h"
#include "presentation_fixture.h"

namespace level_test {
// Sky, ground line, then dirt with a diagonal of rocks and a few codes with no tile (a NUL among them).
inline int patternCell(int r, int c) {
    return r < 2 ? (r == 0 ? 2 : 19) : r == 2 && c < 3 ? (c == 0 ? 3 : c == 1 ? 200 : 0) : c == r ? 1 : 16;
}
inline int blankCell(int r) { return r == 0 ? 2 : r == 1 ? 19 : 16; }

// A level file of the pattern, a space after each cell; packed puts all 300 cells on one line.
inline std::string levelBytes(const std::string& title, const std::string& positions, const std::string& eol = "\r\n",
                              bool packed = false) {
    std::string s = title + eol + positions + eol;
    for (int n = 0; n < 300; ++n)
        s += std::string(1, char(patternCell(n / 20, n % 20))) + (packed ? "" : n % 20 == 19 ? " " + eol : " ");
    return s;
}

inline bool screenLineShows(int y, const std::string& text, int colour) { return presentation_test::lineShows(screen, y, text, colour); }

// A pocket in the sky, the dog one Down from the bone; buried, the bone lies under rocks down to the bottom.
inline RuleState pocket(bool buried) {
    std::vector<std::string> rows(15, std::string(20, '^'));
    rows[1][4] = 'D', rows[2][4] = '.', rows[3][4] = 'B';
    for (int r = 3; r < 15 && buried; ++r) rows[r][4] = '#';
    RuleState s;
    EXPECT_TRUE(applyGrid(s, rows));
    s.boneColumn = 4, s.boneRow = 3;
    return s;
}

// Down now, so that the step about to run sees it, and let go after ms.
inline void hold(int scancode, unsigned long ms) { harness::holdKey(scancode, 0, ms), key[scancode] = -1; }
// The pointer at (x, y) with these buttons down, let go after 50 ms.
inline void click(int x, int y, int buttons = 1) { mouse_x = x, mouse_y = y, mouse_b = buttons, harness::at(harness::nowMs + 50, [] { mouse_b = 0; }); }

class LevelFixture : public testing::Test {
protected:
    harness::ScratchDir dir{false};
    std::atomic<bool> quit{false};
    Game game{&quit};
    LevelFixture() { mkdir("levels", 0755); }
};
}  // namespace level_test
