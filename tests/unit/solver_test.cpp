// The solver on small boards: shortest answers, the reasons a level cannot
// be won, and the game left as it was.
#include "play/solver.h"
#include "rules_fixture.h"

using SolverTest = RulesTest;

namespace {
std::vector<int32_t> seq(std::initializer_list<int32_t> moves) { return moves; }
}  // namespace

TEST_F(SolverTest, FindsTheShortestWayAndPlaysItBack) {
    setBoard({"", "===D", "", "", "", "", "", "...#", "", "", "", "", "", "", "..........B"});
    SolveResult result = solveLevel(game);
    ASSERT_EQ(result.outcome, SolveResult::Solved);
    // Down stops above the rock; from there no stop leads to the bone's row,
    // but the bottom row does.
    EXPECT_EQ(result.moves.size(), 3u);
    for (int32_t move : result.moves) {
        tap({move == Right ? KEY_RIGHT : move == Left ? KEY_LEFT : move == Up ? KEY_UP : KEY_DOWN});
        settle();
    }
    EXPECT_EQ(game.screenMode, LevelWon);
}

TEST_F(SolverTest, UsesAFallenRockAsAStop) {
    // Straight down and back left overshoots the bone; the rock that drops
    // behind the dog on the way right gives the stop that is needed.
    std::vector<std::string> rows = blankRows();
    rows[1] = "=====D";
    rows[7] = "........#";
    rows[8] = "................#";
    rows[9] = ".....#";
    rows[12] = ".........B";
    setBoard(rows);
    SolveResult result = solveLevel(game);
    ASSERT_EQ(result.outcome, SolveResult::Solved);
    EXPECT_EQ(result.moves, seq({Down, Right, Left, Down}));
}

TEST_F(SolverTest, LeavesTheGameAsItFoundItAndTheScoresAlone) {
    dir.write("highscores.dat", "");
    setBoard({"", "===D", "", "", "...B"});
    game.levelNumber = 4;
    std::vector<std::string> before = boardRows(game);
    SolveResult result = solveLevel(game);
    ASSERT_EQ(result.outcome, SolveResult::Solved);
    EXPECT_EQ(result.moves, seq({Down}));
    EXPECT_EQ(boardRows(game), before);
    EXPECT_EQ(game.screenMode, Playing);
    EXPECT_EQ(game.moveCount, 0);
    EXPECT_TRUE(game.recordWins);
    EXPECT_EQ(dir.read("highscores.dat"), "");
    EXPECT_TRUE(harness::messages.empty());
}

TEST_F(SolverTest, SaysWhyALevelCannotBeWon) {
    setBoard({"", "===D", "", "", "", "", "", "", "", "", ".....#"});
    game.boneColumn = 5;
    game.boneRow = 10;
    // A rock on the bone with solid rock under it can never be moved away.
    for (int r = 11; r < 15; ++r) game.board[r][5] = Rock;
    SolveResult buried = solveLevel(game);
    EXPECT_EQ(buried.outcome, SolveResult::Unwinnable);
    EXPECT_EQ(buried.reason, "the bone is buried under a rock");

    setBoard({"", "===D", "", "", "", "", "", "", "", "", ".....B"});
    game.board[10][4] = SkyTop;
    game.board[10][6] = SkyTop;
    game.board[9][5] = SkyTop;
    game.board[11][5] = Rock;  // on a rock that stands on the bottom edge
    for (int r = 12; r < 15; ++r) game.board[r][5] = Rock;
    SolveResult walled = solveLevel(game);
    EXPECT_EQ(walled.outcome, SolveResult::Unwinnable);
    EXPECT_EQ(walled.reason, "the bone is walled in");

    // The bone's own cell a wall.
    game.board[10][5] = SkyTop;
    EXPECT_EQ(solveLevel(game).reason, "the bone is walled in");
}

TEST_F(SolverTest, ARockOnTheBoneCanStillBeShiftedByDiggingUnderIt) {
    // A pocket walled with sky cells. The rock on the bone drops when the dog
    // leaves the cell under it sideways; the bone is then free.
    setBoard({"^^^^^^^^^^^^^^^^^^^^",
              "^^^^D^^^^^^^^^^^^^^^",
              "^^^^..^^^^^^^^^^^^^^",
              "^^^^..^^^^^^^^^^^^^^",
              "^^^^..^^^^^^^^^^^^^^",
              "^^^^..^^^^^^^^^^^^^^",
              "^^^^o.^^^^^^^^^^^^^^",
              "^^^^..^^^^^^^^^^^^^^",
              "^^^^^^^^^^^^^^^^^^^^"});
    game.boneColumn = 4;
    game.boneRow = 6;
    SolveResult result = solveLevel(game);
    ASSERT_EQ(result.outcome, SolveResult::Solved) << result.reason;
    EXPECT_EQ(result.moves, seq({Down, Right, Down, Left, Right, Up, Left, Down}));
}

TEST_F(SolverTest, AnExhaustedSearchSaysNoMovesReachTheBone) {
    // The dog's pocket and the bone's pocket do not meet.
    setBoard({"^^^^^^^^^^^^^^^^^^^^",
              "^^^^D^^^^^^^^^^^^^^^",
              "^^^^..^^^^^^^^^^^^^^",
              "^^^^..^^^^^^^^^^^^^^",
              "^^^^^^^^^^^^^^^^^^^^",
              "^^^^^^^^^  B^^^^^^^^"});
    for (int r = 6; r < 15; ++r)
        for (int c = 0; c < 20; ++c) game.board[r][c] = SkyTop;
    SolveResult result = solveLevel(game);
    EXPECT_EQ(result.outcome, SolveResult::Unwinnable);
    EXPECT_EQ(result.reason, "no sequence of moves reaches the bone");
    EXPECT_GT(result.statesExplored, 3u);
}

TEST_F(SolverTest, GivesUpPastItsLimitAndCountsWhatItExplored) {
    std::vector<std::string> rows = blankRows();
    rows[1] = "D";
    setBoard(rows);
    game.boneColumn = 10;  // open dirt all round: no slide stops there
    game.boneRow = 8;
    SolveResult result = solveLevel(game, 50);
    EXPECT_EQ(result.outcome, SolveResult::GaveUp);
    EXPECT_GT(result.statesSeen, 50u);
    EXPECT_GT(result.statesExplored, 0u);
}

TEST_F(SolverTest, PositionsOutsideTheBoardAreReportedNotSearched) {
    setBoard({"", "===D"});
    game.boneColumn = 20;
    EXPECT_EQ(solveLevel(game).reason, "the bone lies outside the board");
    game.boneColumn = 5;
    game.dogRow = -1;
    EXPECT_EQ(solveLevel(game).reason, "the dog starts outside the board");
}
