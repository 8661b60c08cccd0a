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
        {false, "", -1, fewest::kNotKnown, "  Level: \"\" - #3   not solved, fewest ..."},
        {false, "x", 0, fewest::kNoWay, "  Level: \"x\" - #3   solved in 0, cannot be won"},
        {false, "Twenty-eight characters long", -1, 0, "  Level: \"Twenty-eight characters long\" - #3   not solved, fewest 0"},
        {false, "A title that is far too long!", -1, fewest::kTooHard, "  Level: \"A title that is far too l...\" - #3   not solved, fewest ?"}};
    for (const auto& c : cases) EXPECT_EQ(chooserRow(c.marked, c.title, 3, c.best, c.fewest), c.row);
    RuleState unplaced;
    unplaced.dogColumn = -1;
    FewestMovesWork work({pocket(false), pocket(true), unplaced}, 2);
    work.finish();
    EXPECT_EQ(std::make_tuple(work.fewest(0), work.fewest(1), work.fewest(2)), std::make_tuple(1, fewest::kNoWay, fewest::kTooHard));
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
              std::make_tuple(77, 1, fewest::kNoWay, 1));
    int32_t known = 0;
    EXPECT_TRUE(fewestCache::lookup(pocket(true), SolveLimits(), known) && known == fewest::kNoWay);
    fewestCache::clear();
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
    start();
    for (const auto& c : cases) {
        session().number = c.inPlay, session().title = "kept", session().rules.moveCount = 4, session().rules.board[6][6] = 17;
        press(KEY_ENTER);
        press(KEY_S);
        for (int k : c.keys) press(std::abs(k), k < 0 ? 1000 : 100);
        press(c.exitKey);
        // A level chosen is read afresh; Escape goes back to the level as it was.
        EXPECT_NE(on<PlayingScreen>(), nullptr);
        EXPECT_EQ(std::make_tuple(session().number, session().title, session().rules.moveCount, int(session().rules.board[6][6])),
                  std::make_tuple(c.level, c.moves ? "kept" : "T" + std::to_string(c.level), c.moves, c.moves ? 17 : 1));
        press(KEY_ESC);
    }
}

TEST_F(Chooser, NinetyNineLevelsScrollToTheMarkedLastWithTheFirstRecordOfEachAndUnreadableOnesSaySo) {
    for (int n = 1; n <= 100; ++n) dir.write(levelFilePath(n), "L" + std::to_string(n) + "\r\n3 4 3 4\r\n");  // won as it starts
    for (int n : {60, 61}) std::remove(levelFilePath(n).c_str()), mkdir(levelFilePath(n).c_str(), 0755);
    dir.write("highscores.dat", "56 60\r\n99 12\r\n99 3\r\n57 -5\r\n58 5x\r\n59 1");  // read a number at a time, 60 would be a level
    start();
    session().number = 99;
    press(KEY_S);
    auto row = [](int n) { return chooserRow(n == 99, "L" + std::to_string(n), n, n == 56 ? 60 : n == 99 ? 12 : -1, 0); };
    // Rows 56 to 99 show, ten pixels apart, once the solver (in real time) is through.
    for (int i = 0; i < 400 && !lineShows(drawn(), 10 * (99 - 52), row(99), makecol(50, 150, 200)); ++i)
        run(20), std::this_thread::sleep_for(std::chrono::milliseconds(10));
    for (int n : {56, 57, 58, 59, 99}) EXPECT_TRUE(lineShows(drawn(), 10 * (n - 52), row(n), makecol(50, 150, 200))) << n;
    for (int n : {60, 61})
        EXPECT_TRUE(lineShows(picture, 10 * (n - 52), "  levels/" + std::to_string(n) + ".lvl could not be read", makecol(50, 150, 200))) << n;
}

TEST_F(Chooser, TheMenuTakesAMovedPointerAndAClickAsEnterAndSOpensTheChooser) {
    start();
    for (int slot = 242; slot <= 251; ++slot)  // buttons of 100 by 40 from (540, 320): their pictures give their size
        app->pictures.set(slot, create_bitmap(slot == 244 || slot == 251 ? 640 : 100, slot == 244 || slot == 251 ? 480 : 40));
    const struct { int x, y, button, down, selection; const char* screen; } moves[] = {
        {600, 410, 0, 0, 2, "menu"}, {10, 10, 1, 0, 2, "menu"},    // over Help; a click beside the buttons
        {560, 330, 0, 0, 0, "menu"}, {560, 330, 0, 1, 1, "menu"},  // over Play; Down with the pointer still
        {560, 330, 0, 0, 1, "menu"}, {560, 330, 1, 0, 0, "playing"}};  // a resting pointer takes nothing; a click on Play
    for (const auto& m : moves) {
        mouse_x = m.x, mouse_y = m.y;
        if (m.button) clickAt(m.x, m.y);
        if (m.down) press(KEY_DOWN);
        run(20);
        if (auto* menu = on<MenuScreen>()) EXPECT_EQ(menu->selection(), m.selection) << m.x << "," << m.y;
        EXPECT_EQ(std::string(on<MenuScreen>() ? "menu" : on<PlayingScreen>() ? "playing" : "?"), m.screen) << m.x << "," << m.y;
    }
    run(100);
    EXPECT_EQ(session().rules.moveCount, 0) << "the Down that moved the highlight is no move";
    press(KEY_ESC);
    session().number = 2;
    keys({KEY_S, KEY_UP, KEY_ENTER});
    EXPECT_EQ(std::make_pair(on<PlayingScreen>() != nullptr, session().title), std::make_pair(true, std::string("T1")));
}
}  // namespace
