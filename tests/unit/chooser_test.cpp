// The level chooser: the list on disk, the marker, and leaving by Enter or
// Escape.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "level_fixture.h"

namespace {

using level_test::levelBytes;

const int kLineHeight = 10;

bool lineShows(int y, const std::string& text) {
    return level_test::screenLineShows(y, text, makecol(50, 150, 200));
}

// Runs the action at the first moment a whole picture of the chooser is on
// the screen (the fade before it may take any time).
void whenChooserShows(std::function<void()> action) {
    harness::at(harness::nowMs + 5, [action] {
        if (lineShows(1, "Warning: Level Skip Mode (press ESC to exit and return to game)") &&
            lineShows(kLineHeight, "Select which level you want to go to:"))
            action();
        else
            whenChooserShows(action);
    });
}

class Chooser : public level_test::LevelFixture {
protected:
    std::vector<std::string> titles{"First", "", "Third"};
    std::vector<std::string> looks;
    std::function<void(size_t)> lookThenPress;

    // Levels 1 to 3 (bone in the column of their number), a gap, then level
    // 5; level 2 in play with some moves made.
    Chooser() {
        for (int n : {1, 2, 3, 5})
            dir.write(levelFilePath(n), levelBytes(n > 3 ? "Hidden" : titles[n - 1], "3 1 " + std::to_string(n) + " 9"));
        EXPECT_TRUE(game.loadLevel(2));
        game.screenMode = Playing;
        game.moveCount = 4;
        game.board[6][6] = 17;
        game.redrawNeeded = false;
    }

    // One letter per row from the top of the list: 'M' marked, '.' unmarked,
    // '_' blank, '?' anything else.
    std::string rowsShown() {
        std::string shown;
        for (int j = 0; j < 5; ++j) {
            int y = kLineHeight * (j + 4);
            if (j < 3) {
                std::string tail = " Level: \"" + titles[j] + "\" - #" + std::to_string(j + 1);
                shown += lineShows(y, "--->" + tail) ? 'M' : lineShows(y, " " + tail) ? '.' : '?';
            } else {
                shown += lineShows(y, "") ? '_' : '?';
            }
        }
        return shown;
    }

    // Looks at the rows once the chooser shows and again after each key press
    // (scancode, ms held); then holds the exit key long enough to see that
    // its release is awaited.
    void runChooser(std::vector<std::pair<int, unsigned long>> presses, int exitKey) {
        lookThenPress = [this, presses, exitKey](size_t i) {
            looks.push_back(rowsShown());
            if (i == presses.size()) {
                harness::holdKey(exitKey, 0, 400);
                return;
            }
            harness::holdKey(presses[i].first, 0, presses[i].second);
            harness::at(harness::nowMs + presses[i].second + 200,
                        [this, i] { whenChooserShows([this, i] { lookThenPress(i + 1); }); });
        };
        whenChooserShows([this] { lookThenPress(0); });
        game.chooseLevel();
    }
};

TEST_F(Chooser, ListStopsAtTheFirstGapAndTheMarkWrapsOneRowPerPress) {
    // The last Up is held for a second: still one row.
    runChooser({{KEY_UP, 120}, {KEY_UP, 120}, {KEY_DOWN, 120}, {KEY_UP, 1000}}, KEY_ESC);
    EXPECT_EQ(looks, (std::vector<std::string>{".M.__", "M..__", "..M__", "M..__", "..M__"}));
}

TEST_F(Chooser, LevelAboveTheListMarksNoRowUntilMoved) {
    game.setLevelNumber(7);
    runChooser({{KEY_DOWN, 120}}, KEY_ESC);
    EXPECT_EQ(looks, (std::vector<std::string>{"...__", "M..__"}));
    EXPECT_EQ(game.levelNumber, 7);
}

TEST_F(Chooser, EnterRestartsTheChosenLevelWithNoMoves) {
    runChooser({{KEY_DOWN, 120}}, KEY_ENTER);
    EXPECT_EQ(game.levelNumber, 3);
    EXPECT_EQ(game.levelTitle, "Third");
    EXPECT_EQ(game.boneColumn, 3);
    EXPECT_EQ(game.moveCount, 0);
    EXPECT_EQ(game.board[6][6], 1);
    EXPECT_EQ(game.screenMode, Playing);
    EXPECT_TRUE(game.redrawNeeded);
    EXPECT_EQ(key[KEY_ENTER], 0);  // returned only once Enter was let go
}

TEST_F(Chooser, EscapeChangesNothingButTheRedrawFlagAndAwaitsItsRelease) {
    runChooser({{KEY_DOWN, 120}}, KEY_ESC);  // a moved marker is not a choice
    EXPECT_EQ(game.levelNumber, 2);
    EXPECT_EQ(game.levelTitle, "");
    EXPECT_EQ(game.boneColumn, 2);
    EXPECT_EQ(game.moveCount, 4);
    EXPECT_EQ(game.board[6][6], 17);
    EXPECT_EQ(game.screenMode, Playing);
    EXPECT_TRUE(game.redrawNeeded);
    // The playing screen must not see the Escape that closed the chooser.
    EXPECT_EQ(key[KEY_ESC], 0);
}

}  // namespace
