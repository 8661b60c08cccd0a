// The level chooser: the list on disk, the marker, and leaving by Enter or
// Escape.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "harness.h"
#include "shell/game.h"

namespace {

const int kLineHeight = 10;

int chooserColour() { return makecol(50, 150, 200); }

bool screenLineShows(int y, const std::string& text) {
    BITMAP* want = create_bitmap(640, 8);
    clear_bitmap(want);
    if (!text.empty()) textout_centre_ex(want, font, text.c_str(), 320, 0, chooserColour(), -1);
    bool same = true;
    for (int yy = 0; yy < 8 && same; ++yy)
        for (int x = 0; x < 640 && same; ++x) same = getpixel(screen, x, y + yy) == getpixel(want, x, yy);
    destroy_bitmap(want);
    return same;
}

bool chooserOnScreen() {
    return screenLineShows(1, "Warning: Level Skip Mode (press ESC to exit and return to game)") &&
           screenLineShows(kLineHeight, "Select which level you want to go to:");
}

// One letter per row from the top of the list: 'M' marked, '.' unmarked,
// '_' blank, '?' anything else. Rows past the titles given must be blank.
std::string rowsShown(const std::vector<std::string>& titles, int rows) {
    std::string shown;
    for (int j = 0; j < rows; ++j) {
        int y = kLineHeight * (j + 4);
        if (j < static_cast<int>(titles.size())) {
            std::string tail = " Level: \"" + titles[j] + "\" - #" + std::to_string(j + 1);
            shown += screenLineShows(y, "--->" + tail) ? 'M' : screenLineShows(y, " " + tail) ? '.' : '?';
        } else {
            shown += screenLineShows(y, "") ? '_' : '?';
        }
    }
    return shown;
}

// Runs the action at the first moment a whole picture of the chooser is on
// the screen (the fade before it may take any time).
void whenChooserShows(std::function<void()> action) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [poll, action] {
        if (chooserOnScreen()) {
            action();
            *poll = nullptr;  // break the cycle
        } else {
            harness::at(harness::nowMs + 5, *poll);
        }
    };
    harness::at(harness::nowMs + 5, *poll);
}

void after(unsigned long ms, std::function<void()> action) { harness::at(harness::nowMs + ms, action); }

class Chooser : public testing::Test {
protected:
    harness::ScratchDir dir{false};
    std::atomic<bool> quit{false};
    Game game{&quit};
    std::vector<std::string> titles{"First", "", "Third"};

    Chooser() { mkdir("levels", 0755); }

    void writeLevel(int number, const std::string& title, int marker) {
        std::string s = title + "\r\n3 1 " + std::to_string(marker) + " 9\r\n";
        for (int r = 0; r < 15; ++r) {
            for (int c = 0; c < 20; ++c) {
                s.push_back(static_cast<char>(r == 0 ? 2 : r == 1 ? 19 : (r == 5 && c == marker) ? 1 : 16));
                s.push_back(' ');
            }
            s += "\r\n";
        }
        dir.write("levels/" + std::to_string(number) + ".lvl", s);
    }

    // Levels 1 to 3, a gap, then level 5; level 2 played with some moves made.
    void writeLevelsWithGap() {
        for (int n = 1; n <= 3; ++n) writeLevel(n, titles[n - 1], n);
        writeLevel(5, "Hidden by the gap", 5);
        ASSERT_TRUE(game.loadLevel(2));
        game.screenMode = Playing;
        game.moveCount = 4;
        game.board[6][6] = 17;
    }

    // Press a key for a moment and look at the rows once the chooser has
    // drawn again.
    void pressThenLook(int scancode, std::string& rows, std::function<void()> next) {
        harness::holdKey(scancode, 0, 120);
        after(300, [this, &rows, next] {
            whenChooserShows([this, &rows, next] {
                rows = rowsShown(titles, 5);
                next();
            });
        });
    }

    void leaveWithEscape() { harness::holdKey(KEY_ESC, 0, 200); }
};

TEST_F(Chooser, ListStopsAtTheFirstGapAndMarksTheCurrentLevel) {
    writeLevelsWithGap();
    std::string rows;
    whenChooserShows([&] {
        rows = rowsShown(titles, 5);
        leaveWithEscape();
    });
    game.chooseLevel();
    EXPECT_EQ(rows, ".M.__");  // the empty title of level 2 shows as ""
}

TEST_F(Chooser, UpAndDownWrapAroundAndMoveOneRowPerPress) {
    writeLevelsWithGap();
    game.setLevelNumber(1);
    std::string afterUp, afterDown, afterLongUp;
    whenChooserShows([&] {
        pressThenLook(KEY_UP, afterUp, [&] {
            pressThenLook(KEY_DOWN, afterDown, [&] {
                // Held for a second: still one row.
                harness::holdKey(KEY_UP, 0, 1000);
                after(1200, [&] {
                    whenChooserShows([&] {
                        afterLongUp = rowsShown(titles, 5);
                        leaveWithEscape();
                    });
                });
            });
        });
    });
    game.chooseLevel();
    EXPECT_EQ(afterUp, "..M__");
    EXPECT_EQ(afterDown, "M..__");
    EXPECT_EQ(afterLongUp, "..M__");
}

TEST_F(Chooser, LevelAboveTheListMarksNoRowUntilMoved) {
    writeLevelsWithGap();
    game.setLevelNumber(7);
    std::string first, afterDown;
    whenChooserShows([&] {
        first = rowsShown(titles, 5);
        pressThenLook(KEY_DOWN, afterDown, [&] { leaveWithEscape(); });
    });
    game.chooseLevel();
    EXPECT_EQ(first, "...__");
    EXPECT_EQ(afterDown, "M..__");
    EXPECT_EQ(game.levelNumber, 7);
}

TEST_F(Chooser, EnterRestartsTheChosenLevelWithNoMoves) {
    writeLevelsWithGap();
    whenChooserShows([&] {
        harness::holdKey(KEY_DOWN, 0, 120);
        after(300, [] { harness::holdKey(KEY_ENTER, 0, 400); });
    });
    game.redrawNeeded = false;
    game.chooseLevel();
    EXPECT_EQ(game.levelNumber, 3);
    EXPECT_EQ(game.levelTitle, "Third");
    EXPECT_EQ(game.moveCount, 0);
    EXPECT_EQ(game.board[5][3], 1);
    EXPECT_EQ(game.board[6][6], 16);
    EXPECT_EQ(game.boneColumn, 3);
    EXPECT_EQ(game.screenMode, Playing);
    EXPECT_TRUE(game.redrawNeeded);
    EXPECT_EQ(key[KEY_ENTER], 0);  // returned only once Enter was let go
}

TEST_F(Chooser, EscapeChangesNothingButTheRedrawFlagAndAwaitsItsRelease) {
    writeLevelsWithGap();
    whenChooserShows([&] {
        harness::holdKey(KEY_DOWN, 0, 120);  // a moved marker is not a choice
        after(300, [] { harness::holdKey(KEY_ESC, 0, 500); });
    });
    game.redrawNeeded = false;
    std::string titleBefore = game.levelTitle;
    int dogBefore = game.dogColumn, boneBefore = game.boneRow;
    game.chooseLevel();
    EXPECT_EQ(game.levelNumber, 2);
    EXPECT_EQ(game.levelTitle, titleBefore);
    EXPECT_EQ(game.moveCount, 4);
    EXPECT_EQ(game.board[6][6], 17);
    EXPECT_EQ(game.dogColumn, dogBefore);
    EXPECT_EQ(game.boneRow, boneBefore);
    EXPECT_EQ(game.screenMode, Playing);
    EXPECT_TRUE(game.redrawNeeded);
    // The playing screen must not see the Escape that closed the chooser.
    EXPECT_EQ(key[KEY_ESC], 0);
}

}  // namespace
