// The level chooser (the rows on screen, their progress, its keys from play
// and from the menu) and the main menu's mouse.
#include <chrono>
#include <map>
#include <thread>

#include "level_fixture.h"
#include "levels/chooser_rows.h"
#include "play/highscores.h"

namespace {
using level_test::levelBytes;

TEST(ChooserRows, TheMarkedRowStaysOnScreenAndShortListsNeverScroll) {
    const int rows = 44;
    for (int count = 1; count <= 99; ++count) {
        int first = 0, mark = 0;
        for (int step = 0; step < 4 * count; ++step) {  // down twice round, then up twice round
            mark = step < 2 * count ? (mark + 1) % count : (mark + count - 1) % count;
            const int before = first;
            first = firstShownRow(first, mark, count, rows);
            ASSERT_TRUE(mark >= first && mark < first + rows) << count << " levels, mark " << mark;
            ASSERT_TRUE(first >= 0 && first <= std::max(0, count - rows)) << count;
            if (mark >= before && mark < before + rows) ASSERT_EQ(first, before);  // no needless jumps
        }
    }
    EXPECT_EQ(firstShownRow(10, 120, 60, rows), 10);  // a mark beyond the list moves nothing
}

TEST(ChooserRows, EachRowTellsTheRecordAndTheFewestMoves) {
    const struct { bool marked; const char* title; int best, fewest; const char* row; } cases[] = {
        {true, "First", 14, 12, "---> Level: \"First\" - #3   solved in 14, fewest 12"},
        {false, "", -1, FewestWorking, "  Level: \"\" - #3   not solved, fewest ..."},
        {false, "x", 0, FewestCannotBeWon, "  Level: \"x\" - #3   solved in 0, cannot be won"},
        {false, "x", -1, FewestUnknown, "  Level: \"x\" - #3   not solved, fewest ?"},
        {false, "Twenty-eight characters long", -1, 0, "  Level: \"Twenty-eight characters long\" - #3   not solved, fewest 0"},
        {false, "A title that is far too long!", -1, 7, "  Level: \"A title that is far too l...\" - #3   not solved, fewest 7"},
    };
    for (const auto& c : cases) EXPECT_EQ(chooserRow(c.marked, c.title, 3, c.best, c.fewest), c.row);
}

TEST(ChooserRows, RecordsAreEachLevelsFirstEntryAsFarAsTheTableReads) {
    harness::ScratchDir dir;
    EXPECT_TRUE(readRecords().empty());  // no table
    const struct { const char* table; std::map<int32_t, int32_t> records; } cases[] = {
        {"1 5\r\n2 -3\r\n1 9\n2 4\n", {{1, 5}}}, {"3 7\n4 x\n5 1\n", {{3, 7}}}, {"6 2\n7", {{6, 2}}}};
    for (const auto& c : cases) {
        dir.write("highscores.dat", c.table);
        EXPECT_EQ(readRecords(), c.records) << c.table;
    }
}

TEST(ChooserRows, FewestMovesAreWorkedOutForEveryLevel) {
    RuleState unplaced;
    unplaced.dogColumn = -1;
    FewestMovesWork work({level_test::pocket(false), level_test::pocket(true), unplaced}, 2);
    work.finish();
    EXPECT_EQ(work.fewest(0), 1);
    EXPECT_EQ(work.fewest(1), FewestCannotBeWon);
    EXPECT_EQ(work.fewest(2), FewestUnknown);
}

// Runs the action once the chooser's headings show (after its fade).
void whenShown(std::function<void()> action) {
    harness::at(harness::nowMs + 5, [action] {
        const int c = makecol(50, 150, 200);
        level_test::screenLineShows(1, "Warning: Level Skip Mode (press ESC to exit and return to game)", c) &&
                level_test::screenLineShows(10, "Select which level you want to go to:", c)
            ? action()
            : whenShown(action);
    });
}

class Chooser : public level_test::LevelFixture {
protected:
    // Levels 1 to 3 (bone in the column of their number), a gap, then level
    // 5; level 2 in play with some moves made.
    Chooser() {
        for (int n : {1, 2, 3, 5}) dir.write(levelFilePath(n), levelBytes("T" + std::to_string(n), "3 1 " + std::to_string(n) + " 9"));
        EXPECT_TRUE(game.loadLevel(2));
        game.screenMode = Playing;
        game.moveCount = 4;
        game.board[6][6] = 17;
    }

    // Presses the keys (scancode, ms held) one after another once the chooser shows.
    bool choose(std::vector<std::pair<int, unsigned long>> presses) {
        whenShown([presses] {
            unsigned long t = 0;
            for (const auto& p : presses) harness::holdKey(p.first, t, t + p.second), t += p.second + 200;
        });
        return game.chooseLevel();
    }
};

TEST_F(Chooser, MarkerWrapsOneRowPerPressOverTheLevelsBeforeTheGap) {
    const struct { int levelInPlay; std::vector<std::pair<int, unsigned long>> presses; int chosen; } cases[] = {
        {2, {{KEY_UP, 120}, {KEY_UP, 120}, {KEY_DOWN, 120}, {KEY_UP, 1000}, {KEY_ENTER, 100}}, 3},
        {7, {{KEY_DOWN, 120}, {KEY_ENTER, 100}}, 1},  // beyond the list: no row until moved
        {7, {{KEY_UP, 120}, {KEY_UP, 120}, {KEY_UP, 120}, {KEY_UP, 120}, {KEY_ENTER, 100}}, 3},
    };
    for (const auto& c : cases) {
        game.setLevelNumber(c.levelInPlay);
        EXPECT_TRUE(choose(c.presses));
        EXPECT_EQ(game.levelNumber, c.chosen);
        EXPECT_EQ(game.levelTitle, "T" + std::to_string(c.chosen));
        EXPECT_EQ(game.moveCount, 0);
        EXPECT_EQ(game.board[6][6], 1);  // read again from the file
        EXPECT_EQ(key[KEY_ENTER], 0);    // returned once Enter was let go
    }
}

TEST_F(Chooser, EscapeChangesNothingAndAwaitsItsRelease) {
    EXPECT_FALSE(choose({{KEY_DOWN, 120}, {KEY_ESC, 400}}));
    EXPECT_EQ(game.levelNumber, 2);
    EXPECT_EQ(game.moveCount, 4);
    EXPECT_EQ(game.board[6][6], 17);
    EXPECT_TRUE(game.redrawNeeded);
    EXPECT_EQ(key[KEY_ESC], 0);  // the playing screen must not see it
}

TEST_F(Chooser, ALongListScrollsToTheMarkedRowWithItsProgress) {
    for (int n = 1; n <= 60; ++n) dir.write(levelFilePath(n), "L" + std::to_string(n) + "\r\nno places\r\n");
    dir.write("highscores.dat", "60 12\r\n");
    game.setLevelNumber(60);
    whenShown([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the solver, on real time
        harness::at(harness::nowMs + 100, [] {
            const int c = makecol(50, 150, 200);
            EXPECT_TRUE(level_test::screenLineShows(470, "---> Level: \"L60\" - #60   solved in 12, fewest ?", c));
            EXPECT_TRUE(level_test::screenLineShows(40, "  Level: \"L17\" - #17   not solved, fewest ?", c));
            harness::holdKey(KEY_ESC, 0, 100);
        });
    });
    game.chooseLevel();
}

class Menu : public level_test::LevelFixture {
protected:
    // Buttons of 100 by 40 at the bottom right: Play from y 320, then Options, Help, Quit.
    Menu() {
        for (int slot = 242; slot <= 251; ++slot) {
            game.tileImages[slot] = create_bitmap(slot == 244 || slot == 251 ? 640 : 100, slot == 244 || slot == 251 ? 480 : 40);
            clear_to_color(game.tileImages[slot], makecol(0, 0, slot % 2 ? 255 : 100));  // lit ones odd
        }
        game.screenMode = MainMenu;
        game.selection = 0;
    }
    void step() {
        if (game.pollInput()) game.handleInput();
    }
};

TEST_F(Menu, APointerMovedOverAButtonLightsItAndAClickIsEnterOnIt) {
    const struct { int x, y, held; int selection; int mode; } moves[] = {
        {600, 410, 0, 2, MainMenu},  // over Help: lit
        {600, 410, 0, 2, MainMenu},  // resting: nothing to do
        {10, 10, 0, 2, MainMenu},    // off the buttons: the highlight stays
        {10, 10, 1, 2, MainMenu},    // a click beside them does nothing
        {560, 330, 0, 0, MainMenu},  // over Play
        {600, 405, 1, 0, HelpScreen},  // clicked: Help shows
    };
    for (const auto& m : moves) {
        mouse_x = m.x, mouse_y = m.y, mouse_b = m.held;
        harness::at(harness::nowMs + 50, [] { mouse_b = 0; });
        step();
        EXPECT_EQ(game.selection, m.selection) << m.x << "," << m.y;
        EXPECT_EQ(game.screenMode, m.mode);
    }
    EXPECT_EQ(mouse_b, 0);
    game.screenMode = MainMenu;
    game.redrawNeeded = true;
    game.drawScreen(screen);
    EXPECT_EQ(getpixel(screen, 600, 410), makecol(0, 0, 255));  // Help lit
    EXPECT_EQ(getpixel(screen, 600, 370), makecol(0, 0, 100));  // Options not
}

TEST_F(Menu, SOpensTheChooserWhoseEnterPlaysTheLevel) {
    dir.write(levelFilePath(1), levelBytes("One", "3 1 4 9"));
    level_test::hold(KEY_S, 50);
    whenShown([] { harness::holdKey(KEY_ENTER, 0, 100); });
    step();
    EXPECT_EQ(game.screenMode, Playing);
    EXPECT_EQ(game.selection, None);
    EXPECT_EQ(game.levelTitle, "One");
}

}  // namespace
