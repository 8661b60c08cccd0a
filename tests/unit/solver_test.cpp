// The solver on small boards: shortest answers, the reasons a level cannot
// be won, and the game left as it was.
#include "play/solver.h"
#include "rules_fixture.h"

using SolverTest = RulesTest;

namespace {
using Moves = std::vector<int32_t>;

// Sky everywhere but in the given cells: a pocket the dog cannot dig out of.
std::vector<std::string> walled(std::vector<std::string> rows) {
    rows.resize(15);
    for (std::string& row : rows) row.resize(20, '^');
    return rows;
}
}  // namespace

TEST_F(SolverTest, FindsTheShortestWayAndLeavesTheGameAndScoresAlone) {
    dir.write("highscores.dat", "");
    // Down stops above the rock; from there no stop leads to the bone's row,
    // but the bottom row does.
    setBoard(at(1, {"===D", "", "", "", "", "", "...#", "", "", "", "", "", "", "..........B"}));
    game.levelNumber = 4;
    std::vector<std::string> before = boardRows(game);
    SolveResult result = solveLevel(game);
    ASSERT_EQ(result.outcome, SolveResult::Solved);
    EXPECT_EQ(result.moves.size(), 3u);

    EXPECT_EQ(boardRows(game), before);
    expectDog(3, 1);
    EXPECT_EQ(game.screenMode, Playing);
    EXPECT_EQ(game.moveCount, 0);
    EXPECT_TRUE(game.recordWins);
    EXPECT_EQ(dir.read("highscores.dat"), "");
}

TEST_F(SolverTest, UsesFallenRocksAsStops) {
    // Straight down and back left overshoots the bone; the rock that drops
    // behind the dog on the way right gives the stop that is needed.
    setBoard(at(1, {"=====D", "", "", "", "", "", "........#", "................#", ".....#", "", "",
                    ".........B"}));
    SolveResult result = solveLevel(game);
    ASSERT_EQ(result.outcome, SolveResult::Solved);
    EXPECT_EQ(result.moves, Moves({Down, Right, Left, Down}));

    // The rock on the bone drops when the dog leaves the cell under it
    // sideways; the bone is then free.
    setBoard(walled({"", "^^^^D", "^^^^..", "^^^^..", "^^^^..", "^^^^..", "^^^^o.", "^^^^.."}));
    game.boneColumn = 4;
    game.boneRow = 6;
    result = solveLevel(game);
    ASSERT_EQ(result.outcome, SolveResult::Solved) << result.reason;
    EXPECT_EQ(result.moves, Moves({Down, Right, Down, Left, Right, Up, Left, Down}));
}

TEST_F(SolverTest, SaysWhyALevelCannotBeWon) {
    // A rock on the bone with solid rock under it can never be moved away.
    setBoard(at(10, {".....#", ".....#", ".....#", ".....#", ".....#"}));
    game.boneColumn = 5;
    game.boneRow = 10;
    SolveResult result = solveLevel(game);
    EXPECT_EQ(result.outcome, SolveResult::Unwinnable);
    EXPECT_EQ(result.reason, "the bone is buried under a rock");

    setBoard(at(9, {".....^", "....^B^", ".....#", ".....#", ".....#", ".....#"}));
    EXPECT_EQ(solveLevel(game).reason, "the bone is walled in");
    game.board[10][5] = SkyTop;  // the bone's own cell a wall
    EXPECT_EQ(solveLevel(game).reason, "the bone is walled in");

    // The dog's pocket and the bone's pocket do not meet.
    setBoard(walled({"", "^^^^D", "^^^^..", "^^^^..", "", "^^^^^^^^^  B"}));
    result = solveLevel(game);
    EXPECT_EQ(result.outcome, SolveResult::Unwinnable);
    EXPECT_EQ(result.reason, "no sequence of moves reaches the bone");
    EXPECT_GT(result.statesExplored, 3u);

    setBoard({"", "===D"});
    game.boneColumn = 20;
    EXPECT_EQ(solveLevel(game).reason, "the bone lies outside the board");
    game.boneColumn = 5;
    game.dogRow = -1;
    EXPECT_EQ(solveLevel(game).reason, "the dog starts outside the board");
}

TEST_F(SolverTest, GivesUpPastItsLimitAndCountsWhatItExplored) {
    setBoard({"", "D"});
    game.boneColumn = 10;  // open dirt all round: no slide stops there
    game.boneRow = 8;
    SolveResult result = solveLevel(game, 50);
    EXPECT_EQ(result.outcome, SolveResult::GaveUp);
    EXPECT_GT(result.statesSeen, 50u);
    EXPECT_GT(result.statesExplored, 0u);
}
