// The solver on small boards: shortest answers, the reasons a level cannot
// be won, the bound on work and the cancel flag.
#include <gtest/gtest.h>

#include "play/board_text.h"
#include "play/solver.h"
#include "play/tiles.h"

namespace {
using Moves = std::vector<int32_t>;

// Rows from the top over the blank layout; `first` blank rows come before them.
// Without a bone mark the bone lies in the bottom right corner.
RuleState board(std::vector<std::string> rows, int first = 0, bool walled = false) {
    rows.insert(rows.begin(), first, "");
    if (walled) {  // sky everywhere but in the given cells: pockets
        rows.resize(15);
        for (std::string& row : rows) row.resize(20, '^');
    }
    RuleState s;
    s.boneColumn = 19, s.boneRow = 14;
    EXPECT_TRUE(applyGrid(s, rows));
    return s;
}

TEST(Solver, FindsTheShortestWayUsingFallenRocksAsStops) {
    // Down stops above the rock; from there no stop leads to the bone's row,
    // but the bottom row does.
    SolveResult r = solve(board({"===D", "", "", "", "", "", "...#", "", "", "", "", "", "", "..........B"}, 1));
    ASSERT_EQ(r.outcome, SolveResult::Solved);
    EXPECT_EQ(r.fewestMoves(), 3);
    EXPECT_EQ(r.firstMove(), r.moves[0]);

    // Straight down and back left overshoots the bone; the rock that drops
    // behind the dog on the way right gives the stop that is needed.
    r = solve(board({"=====D", "", "", "", "", "", "........#", "................#", ".....#", "", "",
                     ".........B"}, 1));
    EXPECT_EQ(r.moves, Moves({Down, Right, Left, Down}));

    // The rock on the bone drops when the dog leaves the cell under it
    // sideways; the bone is then free.
    RuleState s = board({"", "^^^^D", "^^^^..", "^^^^..", "^^^^..", "^^^^..", "^^^^o.", "^^^^.."}, 0, true);
    s.boneColumn = 4, s.boneRow = 6;
    r = solve(s);
    EXPECT_EQ(r.moves, Moves({Down, Right, Down, Left, Right, Up, Left, Down})) << reasonText(r.reason);

    // Standing on the bone: won in no moves.
    s.dogColumn = 4, s.dogRow = 6;
    r = solve(s);
    EXPECT_EQ(r.outcome, SolveResult::Solved);
    EXPECT_EQ(r.fewestMoves(), 0);
    EXPECT_EQ(r.firstMove(), None);
}

TEST(Solver, SaysWhyALevelCannotBeWon) {
    RuleState buried = board({".....#", ".....#", ".....#", ".....#", ".....#"}, 10);
    buried.boneColumn = 5, buried.boneRow = 10;  // under a rock on rocks down to the bottom
    RuleState walled = board({".....^", "....^B^", ".....#", ".....#", ".....#", ".....#"}, 9);
    RuleState wallOnBone = walled;
    wallOnBone.board[10][5] = SkyTop;
    RuleState apart = board({"", "^^^^D", "^^^^..", "^^^^..", "", "^^^^^^^^^  B"}, 0, true);
    RuleState moving = apart;
    moving.selection = Right;
    RuleState offBoard = apart;
    offBoard.dogRow = -1;
    const std::pair<RuleState, SolveResult::Reason> cases[] = {
        {buried, SolveResult::BoneBuried},   {walled, SolveResult::BoneWalledIn},
        {wallOnBone, SolveResult::BoneWalledIn}, {apart, SolveResult::NoWay},
        {moving, SolveResult::NotPlayable},  {offBoard, SolveResult::NotPlayable},
    };
    for (const auto& c : cases) {
        SolveResult r = solve(c.first);
        EXPECT_EQ(r.reason, c.second) << reasonText(r.reason);
        EXPECT_EQ(r.outcome, c.second == SolveResult::NotPlayable ? SolveResult::NotProved : SolveResult::Unwinnable);
    }
    EXPECT_GT(solve(apart).positions, 3u);
    EXPECT_STREQ(reasonText(SolveResult::BoneBuried), "the bone is buried under a rock");
}

TEST(Solver, StopsPastItsBoundOrWhenCancelled) {
    RuleState open = board({"===D", "", "", "", "", "", "...#", "", "", "", "", "", "", "..........B"}, 1);
    SolveLimits limits;
    limits.maxPositions = 4;  // fewer than its way of 3 moves needs
    SolveResult r = solve(open, limits);
    EXPECT_EQ(r.outcome, SolveResult::NotProved);
    EXPECT_EQ(r.reason, SolveResult::TooMuchWork);
    EXPECT_EQ(r.positions, 5u);

    std::atomic<bool> cancel{true};
    limits = SolveLimits();
    limits.cancel = &cancel;
    r = solve(open, limits);
    EXPECT_EQ(r.reason, SolveResult::Cancelled);
    EXPECT_EQ(r.outcome, SolveResult::NotProved);
}

}  // namespace
