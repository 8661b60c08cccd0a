// The keys of the menu, help, level-won and play screens as the main loop meets them: what each does and highlights, one press one action.

#include "fixture.h"

namespace {

using Commands = LevelFixture;
using Polling = GameFixture;

TEST_F(Commands, EachKeyLeadsWhereItShouldAndIsLetGoFirst) {
    dir.write("levels/1.lvl", levelBytes("First Dig", "2 1 10 8"));  // the dog on the ground line
    dir.write("levels/2.lvl", levelBytes("Second Dig", "5 1 10 8"));
    dir.write("highscores.dat", "");
    const int K = -1;  // any
    struct Case {
        const char* what;
        int level, mode, selection;
        std::vector<Press> holds;
        int modeAfter, selectionAfter, levelAfter, movesAfter, dogAfter;
        bool quits;
        const char* message;
    };
    // Play starts with 3 moves made and the dog in column 9, as after some play.
    const Case cases[] = {
        {"Up wraps", 1, MainMenu, 0, {{KEY_UP, 0, 700}}, MainMenu, 3, 1, K, K, false, ""},
        {"Down wraps", 1, MainMenu, 3, {{KEY_DOWN, 0, 100}}, MainMenu, 0, 1, K, K, false, ""},
        {"Up wins", 1, MainMenu, 2, {{KEY_UP, 0, 100}, {KEY_DOWN, 0, 100}}, MainMenu, 1, 1, K, K, false, ""},
        {"Play goes on with the level as it stands", 1, MainMenu, 0, {{KEY_ENTER, 0, 100}, {KEY_SPACE, 50, 400}}, Playing,
         None, 1, 3, K, false, ""},
        {"Options and back", 1, MainMenu, 1, {{KEY_ENTER, 0, 100}, {KEY_ESC, 2000, 2200}}, MainMenu, 0, 1, K, K, false, ""},
        {"back from Help by Escape", 1, HelpScreen, 2, {{KEY_ESC, 0, 1500}}, MainMenu, 1, 1, K, K, false, ""},
        {"A shows the about box", 1, MainMenu, 1, {{KEY_A, 0, 300}}, MainMenu, 1, 1, K, K, false,
         "W00f! Thanks for playing Tunnelwick"},
        {"restart? No keeps the level", 1, Playing, None, {{KEY_R, 0, 100}, {KEY_N, 300, 500}}, Playing, None, 1, 3, 9, false, ""},
        {"restart? Yes reads it again", 1, Playing, None, {{KEY_R, 0, 100}, {KEY_Y, 150, 300}}, Playing, None, 1, 0, 2, false, ""},
        {"Escape in play restarts the level on the menu", 1, Playing, None, {{KEY_ESC, 0, 180}}, MainMenu, 0, 1, 0, 2, false, ""},
        {"won: Enter starts the next level", 1, LevelWon, Right, {{KEY_ENTER, 0, 120}}, Playing, None, 2, 0, 5, false, ""},
        {"won: Escape too", 1, LevelWon, Right, {{KEY_ESC, 0, 120}}, Playing, None, 2, 0, 5, false, ""},
        {"won the last level: the end, back on level 1", 2, LevelWon, Down, {{KEY_SPACE, 0, 120}}, MainMenu, 0, 1, 0, 2,
         false, "Congratulations! You beat all the levels available in Tunnelwick!\n\n"},
        {"Escape's quit does not stop L opening the editor, on the dog brush", 1, MainMenu, 2,
         {{KEY_ESC, 0, 60}, {KEY_L, 0, 200}}, LevelEditor, 255, 1, K, K, true, ""},
        {"Quit fades out", 1, MainMenu, 3, {{KEY_ENTER, 0, 150}}, MainMenu, 3, 1, K, K, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(game.loadLevel(c.level));
        harness::reset();
        quit = false;
        game.screenMode = c.mode, game.selection = c.selection, game.moveCount = 3;
        if (c.mode == Playing) game.dogColumn = 9, game.dogRow = 6, game.board[6][9] = 17;
        if (c.mode == LevelWon) harness::type("junk");
        for (const Press& h : c.holds) harness::holdKey(h.key, h.from, h.to);
        rest(0);
        ASSERT_TRUE(game.pollInput());
        game.handleInput();
        EXPECT_EQ(std::make_tuple(game.screenMode, game.levelNumber, quit.load()), std::make_tuple(c.modeAfter, c.levelAfter, c.quits));
        EXPECT_EQ(std::make_tuple(game.selection, game.moveCount, game.dogColumn),
                  std::make_tuple(c.selectionAfter, c.movesAfter == K ? game.moveCount : c.movesAfter, c.dogAfter == K ? game.dogColumn : c.dogAfter));
        EXPECT_EQ(game.board[6][9], c.mode == Playing && c.movesAfter == 0 ? 16 : c.mode == Playing ? 17 : game.board[6][9]);
        ASSERT_EQ(harness::messages.size(), *c.message ? 1u : 0u);
        EXPECT_TRUE(!*c.message || harness::messages[0].rfind(c.message, 0) == 0) << harness::messages[0];
        unsigned long released = 0;
        for (const Press& h : c.holds) released = std::max(released, h.to);
        EXPECT_TRUE(harness::nowMs >= released || c.holds[0].key == KEY_R) << harness::nowMs;
        // Nothing held: only the advisor's answer may wake the loop.
        EXPECT_FALSE(game.pollInput() && !game.adviceWaiting());
        EXPECT_TRUE(c.mode != LevelWon || c.level == 2 || !keypressed()) << "typing on the won screen reaches nothing";
    }
    EXPECT_EQ(getpixel(screen, 320, 240), makecol(0, 0, 0)) << "Quit, the last case, fades out";
}

TEST_F(Polling, EachScreenWakesOnItsOwnKeysAndMotionOnly) {
    auto pollWith = [&](int scancode) {
        key[scancode] = -1;  // held keys read -1 under X11
        const bool woken = game.pollInput();
        key[scancode] = 0;
        return woken;
    };
    struct Case {
        int mode;
        std::vector<int> wake, quiet;
    };
    const Case cases[] = {
        {MainMenu, {KEY_UP, KEY_DOWN, KEY_SPACE, KEY_ENTER, KEY_ESC, KEY_L, KEY_A}, {KEY_LEFT, KEY_R, KEY_O}},
        {Playing, {KEY_R, KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_ESC, KEY_S, KEY_O}, {KEY_ENTER, KEY_A}},
        {HelpScreen, {KEY_SPACE, KEY_ENTER, KEY_ESC}, {KEY_UP, KEY_LEFT, KEY_A, KEY_L}},
        {LevelEditor, {KEY_ESC, KEY_LEFT, KEY_RIGHT, KEY_L, KEY_S, KEY_N, KEY_T, KEY_E, KEY_V}, {KEY_UP, KEY_ENTER}},
        {7, {}, {KEY_ESC, KEY_ENTER}},  // no such screen
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode);
        game.screenMode = c.mode;
        game.selection = c.mode == LevelEditor ? 255 : 0;  // the editor's brush is no step
        EXPECT_FALSE(game.pollInput());
        for (int k : c.wake) EXPECT_TRUE(pollWith(k)) << "scancode " << k;
        for (int k : c.quiet) EXPECT_FALSE(pollWith(k)) << "scancode " << k;
    }
    // The editor wakes on the left button alone; the won screen with no key.
    game.screenMode = LevelEditor, game.selection = 255;
    for (int buttons : {1, 2, 3, 4}) {
        mouse_b = buttons;
        EXPECT_EQ(game.pollInput(), (buttons & 1) != 0) << "buttons " << buttons;
    }
    mouse_b = 0;
    game.screenMode = LevelWon;
    EXPECT_TRUE(game.pollInput());
}

}  // namespace
