// The move rules on small boards: taps and held keys, tick by tick.
#include "rules_fixture.h"

// Each key is tapped and played out until all is still; then the dog, the
// move count and the top rows of the board are checked.
TEST_F(RulesTest, EachTapPlaysOutToTheRightBoard) {
    struct Play {
        const char* what;
        std::vector<std::string> board;
        std::vector<int> keys;
        int dogColumn, dogRow, moves;
        std::vector<std::string> after;
    };
    const Play plays[] = {
        {"slides stop at every edge", {"", "", "...............d    "}, {KEY_RIGHT, KEY_LEFT, KEY_DOWN, KEY_UP},
         0, 1, 4, {"", "_", "                    ", " "}},
        {"a wall refuses every way, each try counted", {"", "", "..#d#", "...#"},
         {KEY_RIGHT, KEY_LEFT, KEY_DOWN}, 3, 2, 3, {"", "", "..#d#", "...#"}},
        {"digging stops before a rock", {"", "", "d......#"}, {KEY_RIGHT, KEY_DOWN}, 6, 14, 2,
         {"", "", "       #", "...... ", "...... "}},
        {"the ground line goes one cell per move and stays whole", {"", "=_=D"},
         {KEY_RIGHT, KEY_RIGHT, KEY_LEFT, KEY_LEFT, KEY_LEFT, KEY_LEFT}, 1, 1, 6, {"", "=_"}},
        {"Down from the ground line breaks it even when refused", {"", "===D", "   #"}, {KEY_DOWN}, 3, 1,
         1, {"", "===_", "   #"}},
        {"climbing stops in the ground line and breaks it; the sky refuses",
         at(6, {"...d"}), {KEY_UP, KEY_UP}, 3, 1, 2, at(1, {"===_", "... ", "... ", "... ", "... ", "... "})},
        {"Up from a whole ground line is refused", {"", "===D"}, {KEY_UP}, 3, 1, 1, {"", "===D"}},
        {"a left slide drops the rock to its right", {"", "", "", "....o", "    d"}, {KEY_LEFT}, 0, 4, 1,
         {"", "", "", ".... ", "d   o", "...."}},
        {"a rock rests in the bone's cell", {"", "", "..#", "..d", "..b", ".. "}, {KEY_RIGHT}, 19, 3, 1,
         {"", "", ".. ", "..                 d", "..o", ".. "}},
        {"a rock dug under falls behind the dog, never onto it", {"", "", "...#", "...d"}, {KEY_DOWN}, 3, 14, 1,
         {"", "", "... ", "... ", "... ", "... ", "... ", "... ", "... ", "... ", "... ", "... ", "... ", "...o"}},
        {"a rock rests in the bottom row", at(12, {"..#", "..d", ".. "}), {KEY_RIGHT}, 19, 13, 1,
         at(12, {".. ", "..                 d", "..o................B"})},
    };
    for (const Play& p : plays) {
        SCOPED_TRACE(p.what);
        setBoard(p.board);
        for (int k : p.keys) move(k);
        expectDog(p.dogColumn, p.dogRow);
        EXPECT_EQ(game.moveCount, p.moves);
        EXPECT_EQ(game.screenMode, Playing);
        expectRows(p.after);
    }
}

TEST_F(RulesTest, CodesWithoutATableEntryFollowTheSixteenBit) {
    setBoard({"", "", "d"});
    game.board[2][1] = 48;   // passable, never dug
    game.board[2][2] = 240;  // passable
    game.board[2][3] = 64;   // blocks
    game.board[1][1] = 3;    // neither passable nor a rock: never falls
    move(KEY_RIGHT);
    expectDog(2, 2);
    EXPECT_EQ(cell(1, 2), 48);
    EXPECT_EQ(cell(2, 2), 240);
    EXPECT_EQ(cell(1, 1), 3);
}

TEST_F(RulesTest, ADogPlacedOffTheBoardNeverReadsOrWritesOutsideIt) {
    setBoard({});
    game.boneColumn = 0;
    game.dogColumn = 40;
    game.dogRow = 30;
    move(KEY_RIGHT);
    expectDog(19, 14);  // the edges bring it back in

    setBoard({});
    game.dogColumn = -7;
    game.dogRow = -3;
    std::vector<std::string> before = boardRows(game.rules);
    for (int k : {KEY_LEFT, KEY_UP, KEY_DOWN, KEY_RIGHT}) move(k);
    EXPECT_EQ(boardRows(game.rules), before);
    EXPECT_FALSE(game.rockFalling);
}

TEST_F(RulesTest, ARockAboveTheCellLeftFallsWhileTheDogWaits) {
    setBoard({"", "", "..#", "..d    #", ".. ", ".. "});
    tap({KEY_RIGHT});
    for (int i = 1; i < 16; ++i) tick();
    expectDog(3, 3);  // arrived in the next cell: the rock it uncovered drops
    ASSERT_TRUE(game.rockFalling);
    EXPECT_EQ(game.fallingRockX, 64);
    EXPECT_EQ(game.fallingRockY, 68);

    // Seven ticks bring it into the cell just left; keys are not read.
    key[KEY_LEFT] = -1;
    for (int i = 0; i < 7; ++i) tick();
    key[KEY_LEFT] = 0;
    EXPECT_EQ(game.fallingRockY, 96);
    expectDog(3, 3);
    EXPECT_EQ(game.moveCount, 1);

    while (game.rockFalling) tick();
    EXPECT_EQ(game.selection, Right);  // the slide resumes after the landing
    settle();
    expectDog(6, 3);
    EXPECT_EQ(game.moveCount, 1);
    expectRows({"", "", ".. ", "..    d#", ".. ", "..o"});
}

TEST_F(RulesTest, RocksOfAColumnFallOneAfterTheOther) {
    setBoard({"", "", "..#", ".. ", "..#", "..d", ".. ", ".. "});
    tap({KEY_RIGHT});
    for (int i = 0; i < 200 && cell(2, 7) != BlackRock; ++i) {
        EXPECT_EQ(cell(2, 2), Rock);  // waits its turn
        tick();
    }
    ASSERT_EQ(cell(2, 7), BlackRock);
    // The landing starts the next rock up the column at once.
    EXPECT_TRUE(game.rockFalling);
    EXPECT_EQ(game.fallingRockY, 68);
    expectDog(3, 5);
    settle();
    expectDog(19, 5);
    EXPECT_EQ(cell(2, 6), BlackRock);
    for (int r = 2; r <= 5; ++r) EXPECT_EQ(cell(2, r), Tunnel) << r;
}

TEST_F(RulesTest, TheNextRockUpAColumnSkipsTheSkyRowsTheBoneAndSolidGround) {
    setBoard({"..#", "..#", ".. ", "..#", "..d", ".. "});
    move(KEY_RIGHT);
    EXPECT_EQ(cell(2, 5), BlackRock);
    EXPECT_EQ(cell(2, 1), Rock);  // over a tunnel, but in the sky
    EXPECT_FALSE(game.rockFalling);

    setBoard({"", "D", "..#", "..#", "..#", ".. ", "..o"});
    game.boneColumn = 2;
    game.boneRow = 3;
    game.fallingRockX = 64;
    game.fallingRockY = 6 * 32;  // just landed in row 6
    game.startNextFall();
    ASSERT_TRUE(game.rockFalling);  // row 4's rock: tunnel under it
    EXPECT_EQ(game.fallingRockY, 4 * 32 + 4);
    while (game.rockFalling) game.fallTick();
    // The rock on the bone stays, though the cell under it is now open.
    expectRows({"", "D", "..#", "..#", ".. ", "..o", "..o"});
}

TEST_F(RulesTest, TwoArrowsInOneTickCountTwiceAndTheSidewaysOneWins) {
    setBoard({"", "", "", "...d"});
    tap({KEY_UP, KEY_RIGHT});
    EXPECT_EQ(game.moveCount, 2);
    EXPECT_EQ(game.selection, Right);
    settle();
    expectDog(19, 3);

    tap({KEY_DOWN, KEY_LEFT});
    EXPECT_EQ(game.selection, Left);
    settle();
    // Opposite arrows: one move, Up over Down and Right over Left.
    tap({KEY_UP, KEY_DOWN});
    EXPECT_EQ(game.selection, Up);
    settle();
    tap({KEY_LEFT, KEY_RIGHT});
    EXPECT_EQ(game.selection, Right);
    EXPECT_EQ(game.moveCount, 6);
}

TEST_F(RulesTest, KeysHeldDuringASlideStartTheNextMoveWhenItEnds) {
    setBoard({"", "", "d   #"});
    tap({KEY_RIGHT});
    key[KEY_DOWN] = -1;
    for (int i = 0; game.selection == Right && i < 100; ++i) tick();
    EXPECT_EQ(game.moveCount, 1);
    expectDog(3, 2);
    tick();  // the held Down is taken up now
    key[KEY_DOWN] = 0;
    EXPECT_EQ(game.moveCount, 2);
    EXPECT_EQ(game.selection, Down);
}

TEST_F(RulesTest, ArrivingOnTheBoneWinsInThatTickAndRecordsTheResult) {
    dir.write("highscores.dat", "");
    setBoard({"", "", "d....B"});
    game.levelNumber = 3;
    tap({KEY_RIGHT});
    int ticks = 1;
    for (; game.screenMode == Playing && ticks < 200; ++ticks) tick();
    EXPECT_EQ(ticks, 5 * 16);  // two pixels a tick, 32 a cell
    EXPECT_EQ(game.screenMode, LevelWon);
    EXPECT_EQ(game.dogColumn, 5);
    EXPECT_EQ(game.moveCount, 1);
    std::string table = dir.read("highscores.dat");
    EXPECT_EQ(table.substr(0, 3), "3 1");

    // Even when the arrival starts a fall; with the solver playing nothing
    // is recorded.
    setBoard({"", "", "..#", "..dB", ".. "});
    EXPECT_TRUE(playMove(game.rules, Right));
    EXPECT_TRUE(game.rockFalling);
    EXPECT_EQ(dir.read("highscores.dat"), table);

    // A dog that starts on the bone wins on the first tick, with no move.
    setBoard({"", "", "d"});
    game.boneColumn = 0;
    game.boneRow = 2;
    tick();
    EXPECT_EQ(game.screenMode, LevelWon);
    EXPECT_EQ(game.moveCount, 0);
}
