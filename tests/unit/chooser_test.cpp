// The level chooser (rows on screen and their progress, its keys from play and from the menu) and the menu's mouse.

#include "fixture.h"
#include "session/chooser_rows.h"
#include "session/fewest_cache.h"

namespace {

TEST(ChooserRows, TheMarkedRowStaysOnScreenAndShortListsNeverScroll) {
    for (int count = 1; count <= 99; ++count)
        for (int step = 0, first = 0, mark = 0; step < 4 * count; ++step) {  // down twice round, then up
            mark = step < 2 * count ? (mark + 1) % count : (mark + count - 1) % count;
            const int before = first;
            first = firstShownRow(first, mark, count, 44);
            ASSERT_TRUE(mark >= first && mark < first + 44 && first >= 0 && first <= std::max(0, count - 44)) << count;
            ASSERT_TRUE(first == before || mark < before || mark >= before + 44) << count;  // no needless jumps
        }
    EXPECT_EQ(firstShownRow(10, 120, 60, 44), 10);  // a mark beyond the list moves nothing
}

TEST(ChooserRows, EachRowTellsTheRecordAndTheFewestMovesWorkedOutInTheBackground) {
    const struct { bool marked; const char* title; int best, fewest; const char* row; } cases[] = {
        {true, "First", 14, 12, "---> Level: \"First\" - #3   solved in 14, fewest 12"},
        {false, "", -1, FewestWorking, "  Level: \"\" - #3   not solved, fewest ..."},
        {false, "x", 0, FewestCannotBeWon, "  Level: \"x\" - #3   solved in 0, cannot be won"},
        {false, "Twenty-eight characters long", -1, 0, "  Level: \"Twenty-eight characters long\" - #3   not solved, fewest 0"},
        {false, "A title that is far too long!", -1, FewestUnknown, "  Level: \"A title that is far too l...\" - #3   not solved, fewest ?"}};
    for (const auto& c : cases) EXPECT_EQ(chooserRow(c.marked, c.title, 3, c.best, c.fewest), c.row);
    RuleState unplaced;
    unplaced.dogColumn = -1;
    FewestMovesWork work({pocket(false), pocket(true), unplaced}, 2);
    work.finish();
    EXPECT_EQ(std::make_tuple(work.fewest(0), work.fewest(1), work.fewest(2)), std::make_tuple(1, int(FewestCannotBeWon), int(FewestUnknown)));
}

// A second visit takes the answers of the first; a changed level or a looser bound is worked out afresh.
TEST(ChooserRows, FewestMovesAreWorkedOutOncePerLevelAndBound) {
    fewestCache::clear();
    fewestCache::store(pocket(false), SolveLimits(), 77);  // not the truth: shows that the cache answered
    fewestCache::store(pocket(false), SolveLimits(), 55);  // the first answer stays
    RuleState changed = pocket(false);
    changed.board[14][19] = changed.board[14][18] == SkyTop ? 0 : SkyTop;
    SolveLimits looser;
    looser.maxBytes *= 2;
    FewestMovesWork work({pocket(false), changed, pocket(true)}, 0), loose({pocket(false)}, 0, looser);
    work.finish(), loose.finish();
    EXPECT_EQ(std::make_tuple(work.fewest(0), work.fewest(1), work.fewest(2), loose.fewest(0)),
              std::make_tuple(77, 1, int(FewestCannotBeWon), 1));
    int32_t known = 0;
    EXPECT_TRUE(fewestCache::lookup(pocket(true), SolveLimits(), known) && known == FewestCannotBeWon);
    fewestCache::clear();
}

// Runs the action once the chooser's headings show (after its fade).
void whenShown(std::function<void()> action) {
    harness::at(harness::nowMs + 5, [action] {
        const int c = makecol(50, 150, 200);
        lineShows(screen, 1, "Warning: Level Skip Mode (press ESC to exit and return to game)", c) &&
                lineShows(screen, 10, "Select which level you want to go to:", c) ? action() : whenShown(action);
    });
}

// Levels 1 to 3, a gap, level 5.
class Chooser : public LevelFixture {
protected:
    Chooser() {
        for (int n : {1, 2, 3, 5}) dir.write(levelFilePath(n), levelBytes("T" + std::to_string(n), "3 1 3 9"));
    }
};

TEST_F(Chooser, MarkerWrapsOneRowPerPressOverTheLevelsBeforeTheGapAndEscapeKeepsAll) {
    const int U = KEY_UP, D = KEY_DOWN;
    const struct { int inPlay; std::vector<int> keys; int exitKey, level, moves; } cases[] = {
        {2, {U, U, D, -U}, KEY_ENTER, 3, 0},  // -U: held a second, still one row
        {7, {D}, KEY_ENTER, 1, 0},            // beyond the list: no row until moved
        {7, {U, U, U, U}, KEY_ENTER, 3, 0}, {2, {D}, KEY_ESC, 2, 4}};
    for (const auto& c : cases) {
        game.setLevelNumber(c.inPlay), game.setLevelTitle("kept"), game.moveCount = 4, game.board[6][6] = 17;
        whenShown([&c] {
            unsigned long t = 0;
            for (int k : c.keys) harness::holdKey(std::abs(k), t, t + (k < 0 ? 1000 : 120)), t += 1200;
            harness::holdKey(c.exitKey, t, t + 300);
        });
        const bool chosen = game.chooseLevel();  // a level chosen is read again; the key is let go before return
        EXPECT_EQ(std::make_tuple(chosen, game.levelNumber, game.levelTitle, game.moveCount, int(game.board[6][6]), int(key[c.exitKey])),
                  std::make_tuple(!c.moves, c.level, c.moves ? "kept" : "T" + std::to_string(c.level), c.moves, c.moves ? 17 : 1, 0));
    }
}

TEST_F(Chooser, NinetyNineLevelsScrollToTheMarkedLastWithTheFirstRecordOfEachUpToDamage) {
    for (int n = 1; n <= 100; ++n) dir.write(levelFilePath(n), "L" + std::to_string(n) + "\r\nno places\r\n");
    dir.write("highscores.dat", "56 60\r\n99 12\r\n99 3\r\n57 -5\r\n58 5x\r\n59 1");  // read a number at a time, 60 would be a level
    game.setLevelNumber(99);
    whenShown([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the solver runs in real time
        harness::at(harness::nowMs + 100, [] {
            for (int n : {56, 57, 58, 59, 60, 99})  // rows 56 to 99 show, ten pixels apart
                EXPECT_TRUE(lineShows(screen, 10 * (n - 52), chooserRow(n == 99, "L" + std::to_string(n), n, n == 56 ? 60 : n == 99 ? 12 : -1, FewestUnknown), makecol(50, 150, 200))) << n;
            harness::holdKey(KEY_ESC, 0, 100);
        });
    });
    game.chooseLevel();
}

TEST_F(Chooser, TheMenuTakesAMovedPointerAndAClickAsEnterAndSOpensTheChooser) {
    for (int slot = 242; slot <= 251; ++slot)  // buttons of 100 by 40 from (540, 320): their pictures give their size
        game.tileImages[slot] = create_bitmap(slot == 244 || slot == 251 ? 640 : 100, slot == 244 || slot == 251 ? 480 : 40);
    game.screenMode = MainMenu, game.selection = 0;
    const struct { int x, y, button, down, selection, mode; } moves[] = {
        {600, 410, 0, 0, 2, MainMenu}, {10, 10, 1, 0, 2, MainMenu},    // over Help; a click beside the buttons
        {560, 330, 0, 0, 0, MainMenu}, {560, 330, 0, 1, 1, MainMenu},  // over Play; Down with the pointer still
        {560, 330, 0, 0, 1, MainMenu}, {560, 330, 1, 0, 0, Playing}};  // a resting pointer takes nothing; a click on Play
    for (const auto& m : moves) {
        click(m.x, m.y, m.button);
        if (m.down) hold(KEY_DOWN, 50);
        if (game.pollInput()) game.handleInput();
        EXPECT_EQ(std::make_pair(game.selection, game.screenMode), std::make_pair(m.selection, m.mode)) << m.x << "," << m.y;
    }
    tap(), tap();
    EXPECT_EQ(game.moveCount, 0) << "the Down that moved the highlight is no move";
    game.screenMode = MainMenu, game.levelNumber = 2;
    hold(KEY_S, 50);
    whenShown([] { harness::holdKey(KEY_UP, 0, 100), harness::holdKey(KEY_ENTER, 300, 400); });
    if (game.pollInput()) game.handleInput();
    EXPECT_EQ(std::make_pair(game.screenMode, game.levelTitle), std::make_pair(int(Playing), std::string("T1")));
}
}  // namespace
