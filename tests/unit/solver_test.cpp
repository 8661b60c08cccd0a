// The solver on small boards: shortest answers, the reasons a level cannot be
// won, the bound on work and the cancel flag. (Its agreement with the ticks
// on random boards is in rules_test.cpp.)
#include "play/solver.h"
#include "rules_fixture.h"

namespace {
using Moves = std::vector<int32_t>;

TEST(Solver, FindsTheShortestWayUsingFallenRocksAsStops) {
    // Down stops above the rock; from there no stop leads to the bone's row, but the bottom row does.
    const RuleState threeMoves = textBoard({"===D", "", "", "", "", "", "...#", "", "", "", "", "", "", "..........B"}, 1);
    SolveResult r = solve(threeMoves);
    EXPECT_EQ(std::make_pair(r.outcome, r.fewestMoves()), std::make_pair(SolveResult::Solved, 3));
    // The rock that drops behind the dog on the way right gives the stop that is needed.
    r = solve(textBoard({"=====D", "", "", "", "", "", "........#", "................#", ".....#", "", "", ".........B"}, 1));
    EXPECT_EQ(r.moves, Moves({Down, Right, Left, Down}));
    // The rock on the bone drops when the dog leaves the cell under it sideways.
    RuleState s = textBoard({"", "^^^^D", "^^^^..", "^^^^..", "^^^^..", "^^^^..", "^^^^o.", "^^^^.."}, 0, true);
    s.boneColumn = 4, s.boneRow = 6;
    EXPECT_EQ(solve(s).moves, Moves({Down, Right, Down, Left, Right, Up, Left, Down}));
    s.dogColumn = 4, s.dogRow = 6;  // on the bone: won in no moves
    r = solve(s);
    EXPECT_EQ(std::make_tuple(r.outcome, r.fewestMoves(), r.firstMove()), std::make_tuple(SolveResult::Solved, 0, int32_t(None)));

    // Past its bound it stops, saying so; so it does when cancelled.
    SolveLimits limits;
    limits.maxPositions = 4;  // fewer than the way of 3 moves needs
    r = solve(threeMoves, limits);
    EXPECT_EQ(std::make_tuple(r.outcome, r.reason, r.positions), std::make_tuple(SolveResult::NotProved, SolveResult::TooMuchWork, size_t(5)));
    std::atomic<bool> cancel{true};
    limits = SolveLimits();
    limits.cancel = &cancel;
    r = solve(threeMoves, limits);
    EXPECT_EQ(std::make_pair(r.outcome, r.reason), std::make_pair(SolveResult::NotProved, SolveResult::Cancelled));
}

TEST(Solver, SaysWhyALevelCannotBeWon) {
    RuleState buried = textBoard({".....#", ".....#", ".....#", ".....#", ".....#"}, 10);
    buried.boneColumn = 5, buried.boneRow = 10;  // under a rock on rocks down to the bottom
    RuleState walled = textBoard({".....^", "....^B^", ".....#", ".....#", ".....#", ".....#"}, 9);
    RuleState wallOnBone = walled;
    wallOnBone.board[10][5] = SkyTop;
    RuleState apart = textBoard({"", "^^^^D", "^^^^..", "^^^^..", "", "^^^^^^^^^  B"}, 0, true);
    // The rock on the bone drops into the cell the dog leaves, but that cell was the only way in.
    RuleState uncovered = textBoard({"", "", "", "", "^^^^^^", "^^^^#^", "^^d   ^", "^^^^^^"}, 0, true);
    uncovered.boneColumn = 4, uncovered.boneRow = 5;
    RuleState moving = apart, offBoard = apart;
    moving.selection = Right;
    offBoard.dogRow = -1;
    const std::pair<RuleState, SolveResult::Reason> cases[] = {
        {buried, SolveResult::BoneBuried}, {walled, SolveResult::BoneWalledIn}, {wallOnBone, SolveResult::BoneWalledIn},
        {apart, SolveResult::NoWay},       {moving, SolveResult::NotPlayable},  {offBoard, SolveResult::NotPlayable},
        {uncovered, SolveResult::NoWay},
    };
    for (const auto& c : cases) {
        SolveResult r = solve(c.first);
        EXPECT_EQ(r.reason, c.second) << reasonText(r.reason);
        EXPECT_EQ(r.outcome, c.second == SolveResult::NotPlayable ? SolveResult::NotProved : SolveResult::Unwinnable);
    }
    EXPECT_STREQ(reasonText(SolveResult::BoneBuried), "the bone is buried under a rock");
}

}  // namespace
