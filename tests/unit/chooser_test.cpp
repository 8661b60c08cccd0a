// The level chooser (rows on screen and their progress, its keys from play and from the menu) and the menu's mouse.

#include "fixture.h"
#include "session/chooser_rows.h"
#include "session/fewest_cache.h"

namespace {

// The text drawn from its left edge at (x, y) in the colour, letter for letter.
bool textAt(BITMAP* bmp, int x, int y, const std::string& text, int colour) {
    const int w = text_length(font, text.c_str());
    BITMAP* want = create_bitmap(w, 8);
    clear_bitmap(want), textout_ex(want, font, text.c_str(), 0, 0, colour, -1);
    bool same = true;
    for (int i = 0; i < w * 8 && same; ++i)
        same = (getpixel(bmp, x + i % w, y + i / w) == colour) == (getpixel(want, i % w, i / w) == colour);
    destroy_bitmap(want);
    return same;
}

TEST(ChooserCards, EachCardTellsTheBestBesideTheFewestWorkedOutInTheBackground) {
    const struct { int best, fewest; const char* progress; bool mark; } cases[] = {
        {14, 12, "Your best: 14   Fewest: 12", false}, {-1, fewest::kNotKnown, "Not solved yet   Fewest: ...", false},
        {0, fewest::kNoWay, "Your best: 0   Cannot be won", false}, {-1, 0, "Not solved yet   Fewest: 0", false},
        {7, 7, "Your best: 7   Fewest: 7", true}, {8, 7, "Your best: 8   Fewest: 7", false}, {-1, fewest::kTooHard, "Not solved yet   Fewest: ?", false}};
    for (const auto& c : cases)
        EXPECT_EQ(std::make_pair(cardProgress(c.best, c.fewest), bestIsFewest(c.best, c.fewest)), std::make_pair(std::string(c.progress), c.mark));
    EXPECT_EQ(cardTitle("Thirty-four characters long, no more"), "Thirty-four characters long, no...");
    EXPECT_EQ(cardTitle("Thirty-four characters long, right"), "Thirty-four characters long, right");
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
    {  // Leaving the chooser stops the solve under way: it leaves no answer behind.
        FewestMovesWork leaving({pocket(false), sealedBone()}, 0);
        while (leaving.fewest(0) == fewest::kNotKnown) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_FALSE(fewestCache::lookup(sealedBone(), SolveLimits(), known)) << "solved to its end after leaving";
    fewestCache::clear();
}

// Levels 1 to 3, a gap, level 5: all four are listed.
class Chooser : public LevelFixture {
protected:
    Chooser() {
        for (int n : {1, 2, 3, 5}) dir.write(levelFilePath(n), levelBytes("T" + std::to_string(n), "3 1 3 9"));
    }
};

TEST_F(Chooser, MarkerWrapsOneRowPerPressOverEveryLevelGapsAndAllAndEscapeKeepsAll) {
    const int U = KEY_UP, D = KEY_DOWN;
    const struct { int inPlay; std::vector<int> keys; int exitKey, level, moves; } cases[] = {
        {2, {U, U, D, -U}, KEY_ENTER, 5, 0},  // -U: held a second, still one row
        {4, {D}, KEY_ENTER, 1, 0},            // in the gap: no row until moved
        {7, {U, U, U}, KEY_ENTER, 2, 0}, {2, {D}, KEY_ESC, 2, 4}};
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

TEST_F(Chooser, TabAClickOnTheTitleOrAShoulderButtonTurnsToTheNextPackAndEnterPlaysInIt) {
    mkdir("packs", 0755), mkdir("packs/a", 0755), mkdir("packs/b", 0755), mkdir("packs/c", 0755);
    dir.write("packs/a/1.lvl", levelBytes("A1", "3 1 3 9")), dir.write("packs/b/4.lvl", levelBytes("B4", "3 1 3 9"));
    dir.write("packs/b/pack.txt", "Bee\n"), dir.write("packs/c/pack.txt", "no levels: no pack\n");
    start();
    num_joysticks = 1;
    joy[0] = JOYSTICK_INFO();
    joy[0].num_buttons = 6;
    session().number = 3;
    press(KEY_S);
    const struct { std::function<void()> turn; const char* folder; const char* title; int mark; } steps[] = {
        {[&] { press(KEY_TAB); }, "a", "a", 0}, {[&] { clickAt(320, 30); }, "b", "Bee", 0},
        {[&] { joy[0].button[5].b = 1, run(100), joy[0].button[5].b = 0, run(100); }, "", "Tunnelwick", 2},  // round again
        {[&] { joy[0].button[4].b = 1, run(100), joy[0].button[4].b = 0, run(100); }, "a", "a", 0}};
    for (const auto& step : steps) {
        step.turn();
        ASSERT_NE(on<ChooserScreen>(), nullptr);
        EXPECT_EQ(std::make_tuple(on<ChooserScreen>()->pack().folder, on<ChooserScreen>()->pack().title, on<ChooserScreen>()->marked()),
                  std::make_tuple(std::string(step.folder), std::string(step.title), step.mark));
    }
    num_joysticks = 0;
    press(KEY_ENTER);
    EXPECT_EQ(std::make_tuple(session().pack, session().number, session().title), std::make_tuple(std::string("a"), 1, std::string("A1")));
}

TEST_F(Chooser, NinetyNineLevelsTurnPagesWithTheFirstRecordOfEachUnreadableOnesSaySoAndAClickPlays) {
    for (int n = 1; n <= 100; ++n) dir.write(levelFilePath(n), "L" + std::to_string(n) + "\r\n3 4 3 4\r\n");  // won as it starts
    std::remove(levelFilePath(54).c_str()), mkdir(levelFilePath(54).c_str(), 0755);
    dir.write("highscores.dat", "55 0\r\n56 60\r\n99 12\r\n99 3\r\n57 -5\r\n58 5x\r\n59 1");  // read a number at a time, 60 would be a level
    start();
    // A number beyond the list (set in the editor) shows the first page; moves start from its first card.
    for (int k : {KEY_PGDN, KEY_RIGHT, KEY_LEFT}) {
        session().number = 150;
        keys({KEY_S, k});
        EXPECT_EQ(on<ChooserScreen>()->marked(), k == KEY_PGDN ? 10 : k == KEY_RIGHT ? 5 : 0);
        press(KEY_ESC);
    }
    session().number = 99;
    press(KEY_S);
    // Cards fill two columns of five: level n's card on its page.
    auto x = [](int n) { return 14 + (n - 1) % 10 / 5 * 312; };
    auto y = [](int n) { return 62 + (n - 1) % 5 * 70; };
    const int solved = makecol(150, 230, 130), unsolved = makecol(200, 190, 170), lit = makecol(255, 214, 64);
    for (int i = 0; i < 400 && !textAt(drawn(), x(99) + 12, y(99) + 42, "Your best: 12   Fewest: 0", solved); ++i)
        run(20), std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(textAt(drawn(), x(99) + 12, y(99) + 10, "Level 99", lit) && textAt(picture, x(99) + 12, y(99) + 26, "L99", makecol(230, 220, 200)));
    EXPECT_TRUE(textAt(picture, x(99) + 12, y(99) + 42, "Your best: 12   Fewest: 0", solved)) << "the first of the level's entries";
    keys({KEY_PGUP, KEY_PGUP, KEY_PGUP, KEY_LEFT, KEY_PGUP});  // from 99 to 59, a page and a column at a time
    drawn();
    const struct { int n; const char* progress; int colour; } cards[] = {
        {56, "Your best: 60   Fewest: 0", solved}, {57, "Not solved yet   Fewest: 0", unsolved},
        {58, "Not solved yet   Fewest: 0", unsolved}, {59, "Not solved yet   Fewest: 0", unsolved},
        {60, "Not solved yet   Fewest: 0", unsolved}};
    for (const auto& c : cards) EXPECT_TRUE(textAt(picture, x(c.n) + 12, y(c.n) + 42, c.progress, c.colour)) << c.n;
    EXPECT_TRUE(textAt(picture, x(54) + 12, y(54) + 26, "levels/54.lvl could not be read", makecol(255, 150, 120)));
    int marks = 0;  // the fewest moves' mark (a star without the bone picture) on level 55 alone
    for (int n : {55, 56})
        for (int i = 0; i < 40 * 32; ++i) marks += (n == 55 ? 1 : 1000) * (getpixel(picture, x(n) + 256 + i % 40, y(n) + 6 + i / 40) == lit);
    EXPECT_TRUE(marks > 0 && marks < 1000) << marks;
    clickAt(x(57) + 50, y(57) + 30);
    EXPECT_EQ(on<ChooserScreen>()->marked(), 56);
    clickAt(x(57) + 50, y(57) + 30);
    EXPECT_EQ(std::make_pair(on<ChooserScreen>() == nullptr, session().number), std::make_pair(true, 57));  // played (and won at once)
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
        if (auto* menu = on<MenuScreen>()) { EXPECT_EQ(menu->selection(), m.selection) << m.x << "," << m.y; }
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
