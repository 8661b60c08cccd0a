// The move rules on small boards: taps and held keys, tick by tick.
#include "rules_fixture.h"

// --- sliding and stopping --------------------------------------------------

TEST_F(RulesTest, SlideGoesOnUntilARockAndStopsBeforeIt) {
    setBoard({"", "", "d     #"});
    tap({KEY_RIGHT});
    EXPECT_EQ(game.dogOffsetX, 2);
    for (int i = 1; i < 16; ++i) tick();
    expectDog(1, 2);  // a cell is 16 ticks of 2 pixels
    EXPECT_EQ(game.selection, Right);
    settle();
    expectDog(5, 2);
    EXPECT_EQ(game.moveCount, 1);
    EXPECT_EQ(game.selection, None);
}

TEST_F(RulesTest, SlidesStopAtEveryEdgeOfTheBoard) {
    setBoard({"", "", "...............d    "});
    move(KEY_RIGHT);
    expectDog(19, 2);

    move(KEY_LEFT);
    expectDog(0, 2);
    expectRows({"", "", "d                   "});

    move(KEY_DOWN);
    expectDog(0, 14);
    move(KEY_UP);
    expectDog(0, 1);
    EXPECT_EQ(game.moveCount, 4);
}

TEST_F(RulesTest, AStepOffTheBoardEndsAtOnceAndStillCounts) {
    std::vector<std::string> rows = blankRows();
    rows[14] = "d";
    setBoard(rows);
    tap({KEY_LEFT});
    EXPECT_FALSE(busy());
    expectDog(0, 14);
    tap({KEY_DOWN});
    EXPECT_FALSE(busy());
    expectDog(0, 14);
    EXPECT_EQ(game.moveCount, 2);

    rows[14] = "...................d";
    setBoard(rows);
    game.boneColumn = 0;
    tap({KEY_RIGHT});
    EXPECT_FALSE(busy());
    expectDog(19, 14);
    EXPECT_EQ(game.moveCount, 1);
}

TEST_F(RulesTest, AMoveIntoAWallIsRefusedButCounted) {
    setBoard({"", "", "..#d#", "...#"});
    move(KEY_RIGHT);
    move(KEY_LEFT);
    move(KEY_DOWN);
    expectDog(3, 2);
    EXPECT_EQ(game.moveCount, 3);
    EXPECT_EQ(game.redrawNeeded, true);
    expectRows({"", "", "..#d#", "...#"});
}

TEST_F(RulesTest, DiggingTurnsEveryDirtCellPassedIntoTunnel) {
    setBoard({"", "", "d......#"});
    move(KEY_RIGHT);
    expectDog(6, 2);
    expectRows({"", "", "      d#"});
    move(KEY_DOWN);
    expectDog(6, 14);
    for (int r = 3; r < 15; ++r) EXPECT_EQ(cell(6, r), Tunnel) << r;
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
    EXPECT_FALSE(game.rockFalling);
}

TEST_F(RulesTest, ADogPlacedOffTheBoardNeverReadsOrWritesOutsideIt) {
    setBoard({"", "", ""});
    game.boneColumn = 0;
    game.dogColumn = 40;
    game.dogRow = 30;
    tap({KEY_RIGHT});
    settle();
    expectDog(19, 14);  // the edges bring it back in

    setBoard({"", "", ""});
    game.dogColumn = -7;
    game.dogRow = -3;
    std::vector<std::string> before = boardRows(game);
    for (int k : {KEY_LEFT, KEY_UP, KEY_DOWN, KEY_RIGHT}) {
        tap({k});
        settle();
    }
    EXPECT_EQ(boardRows(game), before);
    EXPECT_FALSE(game.rockFalling);
}

// --- the ground line -------------------------------------------------------

TEST_F(RulesTest, WalkingTheGroundLineGoesOneCellPerMove) {
    setBoard({"", "=_=D"});
    tap({KEY_RIGHT});
    EXPECT_EQ(settle(), 15);
    expectDog(4, 1);
    move(KEY_RIGHT);
    move(KEY_LEFT);
    move(KEY_LEFT);
    move(KEY_LEFT);
    expectDog(2, 1);
    EXPECT_EQ(game.moveCount, 5);
    expectRows({"", "=_D"});  // the ground line is left whole
    move(KEY_LEFT);  // a broken cell stops the dog just the same
    expectDog(1, 1);
}

TEST_F(RulesTest, DownFromTheGroundLineBreaksItEvenWhenRefused) {
    setBoard({"", "===D", "   #"});
    tap({KEY_DOWN});
    EXPECT_FALSE(busy());
    expectDog(3, 1);
    EXPECT_EQ(cell(3, 1), SkyBottomDestroyed);
    EXPECT_EQ(game.moveCount, 1);
}

TEST_F(RulesTest, ClimbingUpStopsInTheGroundLineAndBreaksIt) {
    std::vector<std::string> rows = blankRows();
    rows[6] = "...d";
    setBoard(rows);
    move(KEY_UP);
    expectDog(3, 1);
    EXPECT_EQ(cell(3, 1), SkyBottomDestroyed);
    for (int r = 2; r <= 6; ++r) EXPECT_EQ(cell(3, r), Tunnel) << r;

    // Up again: the sky refuses it, the move counts.
    move(KEY_UP);
    expectDog(3, 1);
    EXPECT_EQ(game.moveCount, 2);
}

TEST_F(RulesTest, UpFromAWholeGroundLineIsRefusedAndLeavesItWhole) {
    setBoard({"", "===D"});
    tap({KEY_UP});
    EXPECT_FALSE(busy());
    expectDog(3, 1);
    EXPECT_EQ(cell(3, 1), SkyBottom);
    EXPECT_EQ(game.moveCount, 1);
}

// --- falling rocks ---------------------------------------------------------

TEST_F(RulesTest, ARockAboveTheCellLeftFallsAndTheDogWaits) {
    setBoard({"", "", "..#", "..d    #", "..", ".."});
    game.board[4][2] = Tunnel;
    game.board[5][2] = Tunnel;
    tap({KEY_RIGHT});
    for (int i = 1; i < 16; ++i) tick();
    // Arrived in the next cell: the rock it uncovered drops.
    expectDog(3, 3);
    ASSERT_TRUE(game.rockFalling);
    EXPECT_EQ(game.fallingRockX, 64);
    EXPECT_EQ(game.fallingRockY, 68);
    EXPECT_EQ(cell(2, 2), Tunnel);
    EXPECT_EQ(game.selection, Right);

    // Seven ticks bring it into the cell just left; keys are not read.
    key[KEY_LEFT] = -1;
    for (int i = 0; i < 7; ++i) tick();
    EXPECT_EQ(game.fallingRockY, 96);
    EXPECT_TRUE(game.rockFalling);
    expectDog(3, 3);
    EXPECT_EQ(game.moveCount, 1);
    key[KEY_LEFT] = 0;

    // It falls on through the tunnel, lands, and the slide resumes.
    while (game.rockFalling) tick();
    EXPECT_EQ(cell(2, 5), BlackRock);
    EXPECT_EQ(game.selection, Right);
    settle();
    expectDog(6, 3);
    EXPECT_EQ(game.moveCount, 1);
    expectRows({"", "", ".. ", "..    d#", ".. ", "..o"});
}

TEST_F(RulesTest, ALeftSlideDropsTheRockToItsRight) {
    setBoard({"", "", "", "....o", "    d"});
    move(KEY_LEFT);
    expectDog(0, 4);
    EXPECT_EQ(cell(4, 3), Tunnel);
    EXPECT_EQ(cell(4, 4), BlackRock);
}

TEST_F(RulesTest, DiggingDownUnderARockPullsItDownBehindTheDog) {
    setBoard({"", "", "...#", "...d"});
    tap({KEY_DOWN});
    for (int i = 1; i < 16; ++i) tick();
    expectDog(3, 4);
    ASSERT_TRUE(game.rockFalling);
    while (game.rockFalling) tick();
    // It stops right above the dog, never on it.
    EXPECT_EQ(cell(3, 3), BlackRock);
    EXPECT_EQ(game.selection, Down);
    settle();
    expectDog(3, 14);
    EXPECT_EQ(cell(3, 13), BlackRock);
    for (int r = 2; r <= 12; ++r) EXPECT_EQ(cell(3, r), Tunnel) << r;
}

TEST_F(RulesTest, ARockComesToRestInTheBonesCell) {
    setBoard({"", "", "..#", "..d", "..b", ".. "});
    move(KEY_RIGHT);
    EXPECT_EQ(cell(2, 4), BlackRock);
    EXPECT_EQ(cell(2, 5), Tunnel);
    EXPECT_EQ(game.screenMode, Playing);
    expectDog(19, 3);
}

TEST_F(RulesTest, ARockFallingPastTheBottomRowRestsInIt) {
    std::vector<std::string> rows = blankRows();
    rows[12] = "..#";
    rows[13] = "..d";
    rows[14] = ".. ";
    setBoard(rows);
    game.boneColumn = 0;
    move(KEY_RIGHT);
    EXPECT_EQ(cell(2, 14), BlackRock);
    EXPECT_EQ(cell(2, 13), Tunnel);
    EXPECT_EQ(cell(2, 12), Tunnel);
}

TEST_F(RulesTest, RocksOfAColumnFallOneAfterTheOther) {
    setBoard({"", "", "..#", "..", "..#", "..d", "..", ".."});
    for (int r : {3, 6, 7}) game.board[r][2] = Tunnel;
    tap({KEY_RIGHT});
    int guard = 0;
    while (cell(2, 7) != BlackRock && guard++ < 200) {
        tick();
        if (cell(2, 7) != BlackRock) {
            EXPECT_EQ(cell(2, 2), Rock);  // waits its turn
        }
    }
    ASSERT_EQ(cell(2, 7), BlackRock);
    // The landing starts the next rock up the column at once.
    EXPECT_TRUE(game.rockFalling);
    EXPECT_EQ(game.fallingRockY, 68);
    EXPECT_EQ(cell(2, 2), Tunnel);
    expectDog(3, 5);
    settle();
    EXPECT_EQ(cell(2, 6), BlackRock);
    for (int r = 2; r <= 5; ++r) EXPECT_EQ(cell(2, r), Tunnel) << r;
    expectDog(19, 5);
}

TEST_F(RulesTest, TheSearchForTheNextRockNeverReachesTheSkyRows) {
    setBoard({"", "", "..", "..#", "..d", "..", ".."});
    game.board[1][2] = Rock;
    game.board[0][2] = Rock;
    game.board[2][2] = Tunnel;
    game.board[5][2] = Tunnel;
    move(KEY_RIGHT);
    EXPECT_EQ(cell(2, 5), BlackRock);
    EXPECT_EQ(cell(2, 1), Rock);
    EXPECT_EQ(cell(2, 0), Rock);

    // Called straight after a landing in row 3: rows 1 and 0 are not looked at.
    game.fallingRockX = 64;
    game.fallingRockY = 96;
    game.startNextFall();
    EXPECT_FALSE(game.rockFalling);
}

TEST_F(RulesTest, TheSearchSkipsRocksOnTheBoneOrOverSolidGround) {
    setBoard({"", "", "..#", "..#", "..#", "..", "..o"});
    game.boneColumn = 2;
    game.boneRow = 3;
    game.board[5][2] = Tunnel;
    game.fallingRockX = 64;
    game.fallingRockY = 6 * 32;  // just landed in row 6
    game.startNextFall();
    // Row 4's rock has tunnel under it and goes.
    ASSERT_TRUE(game.rockFalling);
    EXPECT_EQ(game.fallingRockY, 4 * 32 + 4);
    while (game.rockFalling) game.fallTick();
    // The rock on the bone stays, though the cell under it is now open.
    EXPECT_EQ(cell(2, 5), BlackRock);
    EXPECT_EQ(cell(2, 4), Tunnel);
    EXPECT_EQ(cell(2, 3), Rock);
    EXPECT_EQ(cell(2, 2), Rock);
}

// --- counting moves --------------------------------------------------------

TEST_F(RulesTest, HoldingAnArrowAgainstARockCountsOnEveryTick) {
    setBoard({"", "", "d#"});
    key[KEY_RIGHT] = -1;
    for (int i = 0; i < 5; ++i) tick();
    key[KEY_RIGHT] = 0;
    EXPECT_EQ(game.moveCount, 5);
    expectDog(0, 2);
}

TEST_F(RulesTest, TwoArrowsInOneTickCountTwiceAndTheSidewaysOneWins) {
    setBoard({"", "", "", "...d"});
    tap({KEY_UP, KEY_RIGHT});
    EXPECT_EQ(game.moveCount, 2);
    EXPECT_EQ(game.selection, Right);
    settle();
    expectDog(19, 3);

    tap({KEY_DOWN, KEY_LEFT});
    EXPECT_EQ(game.moveCount, 4);
    EXPECT_EQ(game.selection, Left);
    settle();
    expectDog(0, 3);

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
    int ticks = 0;
    while (game.selection == Right && ticks++ < 100) tick();
    EXPECT_EQ(game.moveCount, 1);
    expectDog(3, 2);
    tick();  // the held Down is taken up now
    key[KEY_DOWN] = 0;
    EXPECT_EQ(game.moveCount, 2);
    EXPECT_EQ(game.selection, Down);
}

// --- the goal --------------------------------------------------------------

TEST_F(RulesTest, ArrivingOnTheBoneWinsInThatTick) {
    setBoard({"", "", "d....B"});
    tap({KEY_RIGHT});
    int ticks = 1;
    while (game.screenMode == Playing && ticks < 200) {
        tick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 5 * 16);
    EXPECT_EQ(game.screenMode, LevelWon);
    EXPECT_TRUE(game.redrawNeeded);
    EXPECT_EQ(game.dogColumn, 5);
    EXPECT_EQ(game.moveCount, 1);
}

TEST_F(RulesTest, TheWinCountsEvenWhenTheArrivalStartsAFall) {
    setBoard({"", "", "..#", "..dB", ".. "});
    tap({KEY_RIGHT});
    for (int i = 1; i < 16; ++i) tick();
    EXPECT_EQ(game.screenMode, LevelWon);
    EXPECT_TRUE(game.rockFalling);
    expectDog(3, 3);
}

TEST_F(RulesTest, ADogStartingOnTheBoneWinsOnTheFirstTick) {
    setBoard({"", "", "d"});
    game.boneColumn = 0;
    game.boneRow = 2;
    tick();
    EXPECT_EQ(game.screenMode, LevelWon);
    EXPECT_EQ(game.moveCount, 0);
}

TEST_F(RulesTest, AWinRecordsTheResultUnlessTheSolverIsPlaying) {
    dir.write("highscores.dat", "");
    setBoard({"", "===D", "", "", "...B"});
    game.levelNumber = 3;
    move(KEY_DOWN);
    ASSERT_EQ(game.screenMode, LevelWon);
    std::string table = dir.read("highscores.dat");
    EXPECT_EQ(table.substr(0, 3), "3 1");

    setBoard({"", "===D", "", "", "...B"});
    game.recordWins = false;
    move(KEY_DOWN);
    move(KEY_DOWN);
    ASSERT_EQ(game.screenMode, LevelWon);
    EXPECT_EQ(dir.read("highscores.dat"), table);
}

