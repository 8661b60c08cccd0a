// The level chooser (rows on screen, their progress, its keys from play and
// from the menu) and the main menu's mouse.
#include <chrono>
#include <thread>

#include "level_fixture.h"
#include "levels/chooser_rows.h"
#include "play/highscores.h"

namespace {
using level_test::levelBytes;
using level_test::screenLineShows;

TEST(ChooserRows, TheMarkedRowStaysOnScreenAndShortListsNeverScroll) {
    for (int count = 1; count <= 99; ++count)
        for (int step = 0, first = 0, mark = 0; step < 4 * count; ++step) {  // down twice round, then up
            mark = step < 2 * count ? (mark + 1) % count : (mark + count - 1) % count;
            const int before = first;
            first = firstShownRow(first, mark, count, 44);
            ASSERT_TRUE(mark >= first && mark < first + 44 && first >= 0 && first <= std::max(0, count - 44)) << count;
            if (mark >= before && mark < before + 44) ASSERT_EQ(first, before);  // no needless jumps
        }
    EXPECT_EQ(firstShownRow(10, 120, 60, 44), 10);  // a mark beyond the list moves nothing
}

TEST(ChooserRows, EachRowTellsTheRecordAndTheFewestMoves) {
    const struct { bool marked; const char* title; int best, fewest; const char* row; } cases[] = {
        {true, "First", 14, 12, "---> Level: \"First\" - #3   solved in 14, fewest 12"},
        {false, "", -1, FewestWorking, "  Level: \"\" - #3   not solved, fewest ..."},
        {false, "x", 0, FewestCannotBeWon, "  Level: \"x\" - #3   solved in 0, cannot be won"},
        {false, "Twenty-eight characters long", -1, 0, "  Level: \"Twenty-eight characters long\" - #3   not solved, fewest 0"},
        {false, "A title that is far too long!", -1, FewestUnknown, "  Level: \"A title that is far too l...\" - #3   not solved, fewest ?"}};
    for (const auto& c : cases) EXPECT_EQ(chooserRow(c.marked, c.title, 3, c.best, c.fewest), c.row);
}

TEST(ChooserRows, RecordsAreEachLevelsFirstEntryAndFewestMovesAreWorkedOut) {
    harness::ScratchDir dir;
    EXPECT_TRUE(readRecords().empty());  // no table
    const struct { const char* table; std::map<int32_t, int32_t> records; } cases[] = {
        {"1 5\r\n2 -3\r\n1 9\n2 4\n", {{1, 5}}}, {"3 7\n4 x\n5 1\n", {{3, 7}}}, {"6 2\n7", {{6, 2}}}};
    for (const auto& c : cases) {
        dir.write("highscores.dat", c.table);
        EXPECT_EQ(readRecords(), c.records) << c.table;
    }

    RuleState unplaced;
    unplaced.dogColumn = -1;
    FewestMovesWork work({level_test::pocket(false), level_test::pocket(true), unplaced}, 2);
    work.finish();
    EXPECT_EQ(std::vector<int32_t>({work.fewest(0), work.fewest(1), work.fewest(2)}),
              std::vector<int32_t>({1, FewestCannotBeWon, FewestUnknown}));
}

// Runs the action once the chooser's headings show (after its fade).
void whenShown(std::function<void()> action) {
    harness::at(harness::nowMs + 5, [action] {
        const int c = makecol(50, 150, 200);
        screenLineShows(1, "Warning: Level Skip Mode (press ESC to exit and return to game)", c) &&
                screenLineShows(10, "Select which level you want to go to:", c) ? action() : whenShown(action);
    });
}

// Levels 1 to 3 (bone in the column of their number), a gap, level 5; level 2 in play, moves made.
class Chooser : public level_test::LevelFixture {
protected:
    Chooser() {
        for (int n : {1, 2, 3, 5}) dir.write(levelFilePath(n), levelBytes("T" + std::to_string(n), "3 1 3 9"));
        game.loadLevel(2), game.screenMode = Playing, game.moveCount = 4, game.board[6][6] = 17;
    }
};

TEST_F(Chooser, MarkerWrapsOneRowPerPressOverTheLevelsBeforeTheGapAndEscapeKeepsAll) {
    const int U = KEY_UP, D = KEY_DOWN;
    const struct { int inPlay; std::vector<int> keys; int exitKey, level, moves; } cases[] = {
        {2, {U, U, D, -U}, KEY_ENTER, 3, 0},  // -U: held a second, still one row
        {7, {D}, KEY_ENTER, 1, 0},            // beyond the list: no row until moved
        {7, {U, U, U, U}, KEY_ENTER, 3, 0},
        {2, {D}, KEY_ESC, 2, 4}};
    for (const auto& c : cases) {
        game.setLevelNumber(c.inPlay), game.setLevelTitle("kept"), game.moveCount = 4, game.board[6][6] = 17;
        whenShown([&c] {
            unsigned long t = 0;
            for (int k : c.keys) harness::holdKey(std::abs(k), t, t + (k < 0 ? 1000 : 120)), t += 1200;
            harness::holdKey(c.exitKey, t, t + 300);
        });
        EXPECT_EQ(game.chooseLevel(), c.exitKey == KEY_ENTER);
        EXPECT_EQ(game.levelNumber, c.level);
        EXPECT_EQ(game.levelTitle, c.moves ? "kept" : "T" + std::to_string(c.level));
        EXPECT_EQ(game.moveCount, c.moves);
        EXPECT_EQ(game.board[6][6], c.moves ? 17 : 1);  // a level chosen is read again
        EXPECT_EQ(key[c.exitKey], 0);                   // returned once the key was let go
    }
}

TEST_F(Chooser, ALongListScrollsToTheMarkedRowWithItsProgress) {
    for (int n = 1; n <= 60; ++n) dir.write(levelFilePath(n), "L" + std::to_string(n) + "\r\nno places\r\n");
    dir.write("highscores.dat", "60 12\r\n");
    game.setLevelNumber(60);
    whenShown([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the solver runs in real time
        harness::at(harness::nowMs + 100, [] {
            const int c = makecol(50, 150, 200);
            EXPECT_TRUE(screenLineShows(470, "---> Level: \"L60\" - #60   solved in 12, fewest ?", c));
            EXPECT_TRUE(screenLineShows(40, "  Level: \"L17\" - #17   not solved, fewest ?", c));
            harness::holdKey(KEY_ESC, 0, 100);
        });
    });
    game.chooseLevel();
}

// Buttons of 100 by 40 at the bottom right, lit ones in full blue: Play from y 320, Options, Help, Quit.
TEST_F(Chooser, MenuButtonsLightUnderAMovedPointerAClickIsEnterAndSOpensTheChooser) {
    for (int slot = 242; slot <= 251; ++slot) {
        game.tileImages[slot] = create_bitmap(slot == 244 || slot == 251 ? 640 : 100, slot == 244 || slot == 251 ? 480 : 40);
        const bool lit = slot == 243 || slot == 246 || slot == 248 || slot == 250;
        clear_to_color(game.tileImages[slot], makecol(0, 0, lit ? 255 : 100));
    }
    game.screenMode = MainMenu, game.selection = 0;
    const struct { int x, y, button, selection, mode; } moves[] = {
        {600, 410, 0, 2, MainMenu}, {600, 410, 0, 2, MainMenu},  // over Help: lit, and resting changes nothing
        {10, 10, 1, 2, MainMenu},                                // off the buttons, and a click there
        {560, 330, 0, 0, MainMenu}, {600, 405, 1, 0, HelpScreen}};  // over Play; a click on Help
    for (const auto& m : moves) {
        mouse_x = m.x, mouse_y = m.y, mouse_b = m.button;
        harness::at(harness::nowMs + 50, [] { mouse_b = 0; });
        if (game.pollInput()) game.handleInput();
        EXPECT_EQ(game.selection, m.selection) << m.x << "," << m.y;
        EXPECT_EQ(game.screenMode, m.mode);
        if (m.mode != MainMenu) continue;
        game.drawScreen(screen);
        for (int item = 0; item < 4; ++item)
            EXPECT_EQ(getpixel(screen, 600, 330 + 40 * item), makecol(0, 0, item == m.selection ? 255 : 100));
    }
    game.screenMode = MainMenu;
    level_test::hold(KEY_S, 50);
    whenShown([] { harness::holdKey(KEY_UP, 0, 100), harness::holdKey(KEY_ENTER, 300, 400); });
    if (game.pollInput()) game.handleInput();
    EXPECT_EQ(game.screenMode, Playing);
    EXPECT_EQ(game.levelTitle, "T1");
}

}  // namespace
