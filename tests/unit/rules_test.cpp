// The move rules on small boards, fall and win ticks, both layouts; the solver: cell steps match the ticks, shortest answers, reasons, bound, cancel.

#include "../differential.h"
#include "fixture.h"
#include "rules/background_task.h"
#include "session/move_log.h"

TEST(Rules, EachArrowPlaysOutToTheRightBoard) {
    struct Play {
        const char* what;
        std::vector<std::string> board;
        int first;
        std::string arrows;  // R D L U
        int dogColumn, dogRow, moves;
        std::vector<std::string> after;
    };
    const Play plays[] = {
        {"slides stop at every edge", {"", "", "...............d    "}, 0, "RLDU", 0, 1, 4, {"", "_", "                    ", " "}},
        {"a wall refuses every way, each try counted", {"..#d#", "...#"}, 2, "RLD", 3, 2, 3, {"", "", "..#d#", "...#"}},
        {"digging stops before a rock", {"d......#"}, 2, "RD", 6, 14, 2, {"", "", "       #", "...... ", "...... "}},
        {"the ground line goes one cell per move and stays whole", {"", "=_=D"}, 0, "RRLLLL", 1, 1, 6, {"", "=_"}},
        {"Down from the ground line breaks it even when refused", {"", "===D", "   #"}, 0, "D", 3, 1, 1, {"", "===_", "   #"}},
        {"climbing stops in the ground line and breaks it; the sky refuses", {"...d"}, 6, "UU", 3, 1, 2,
         {"", "===_", "... ", "... ", "... ", "... ", "... "}},
        {"Up from a whole ground line is refused", {"", "===D"}, 0, "U", 3, 1, 1, {"", "===D"}},
        {"a left slide drops the rock to its right", {"....o", "    d"}, 3, "L", 0, 4, 1, {"", "", "", ".... ", "d   o", "...."}},
        {"a rock rests in the bone's cell", {"..#", "..d", "..b", ".. "}, 2, "R", 19, 3, 1,
         {"", "", ".. ", "..                 d", "..o", ".. "}},
        {"a rock dug under follows the dog down, never onto it", {"...#", "...d"}, 2, "D", 3, 14, 1,
         {"", "", "... ", "... ", "... ", "... ", "... ", "... ", "... ", "... ", "... ", "... ", "... ", "...o"}},
        {"a rock rests in the bottom row", {"..#", "..d", ".. "}, 12, "R", 19, 13, 1,
         {"", "", "", "", "", "", "", "", "", "", "", "", ".. ", "..                 d", "..o................B"}},
        {"a fall pauses the slide, which then goes on", {"..#", "..d    #", ".. ", ".. "}, 2, "R", 6, 3, 1,
         {"", "", ".. ", "..    d#", ".. ", "..o"}},
        {"loose rocks of a column drop one after the other, nearest first", {"..#", ".. ", "..#", ".. ", "..#", "..d"}, 2,
         "R", 19, 7, 1, {"", "", ".. ", ".. ", ".. ", "..o", "..o", "..o                d"}},
        {"the next rock up a column is never one in the sky", {"..#", "..#", ".. ", "..#", "..d", ".. "}, 0, "R", 19, 4, 1,
         {"..#", "..#", ".. ", ".. ", "..                 d", "..o"}},
    };
    for (const Play& p : plays) {
        SCOPED_TRACE(p.what);
        RuleState s = textBoard(p.board, p.first);
        for (char a : p.arrows) EXPECT_FALSE(playMove(s, std::string(" RDLU").find(a)));
        EXPECT_EQ(std::make_tuple(s.dogColumn, s.dogRow, s.moveCount), std::make_tuple(p.dogColumn, p.dogRow, p.moves));
        EXPECT_TRUE(s.betweenMoves());
        for (size_t r = 0; r < p.after.size(); ++r)  // a short row goes on with the row's usual cells
            EXPECT_EQ(boardRows(s)[r], p.after[r] + std::string(20 - std::min<size_t>(20, p.after[r].size()), "^=."[std::min<size_t>(r, 2)])) << r;
    }
    // A dog placed off the board by a hand-made level never writes outside it.
    RuleState s = textBoard({});
    s.dogColumn = -7, s.dogRow = -3;
    const std::vector<std::string> before = boardRows(s);
    for (int32_t d : {Left, Up, Down, Right}) playMove(s, d);
    EXPECT_EQ(boardRows(s), before);
}

// The session's frames, an arrow tapped (pressed and held) for one of them.
struct Frames : testing::Test {
    harness::ScratchDir dir;
    Session game;
    unsigned long frames = 0;
    // One tick a frame: the clock moves on by a tick's time.
    bool tap(int arrow = -1) {
        Play::Input in;
        in.nowMs = (frames++ * Motion::kTickUs + 999) / 1000;
        if (arrow >= 0) in.arrows.press(static_cast<MoveKeys::Arrow>(arrow)), in.arrows.down[arrow] = true;
        return game.play.frame(in);
    }
    void setBoard(const std::vector<std::string>& rows, int first) {
        game.rules = textBoard(rows, first), game.play.begin(-1), frames = 0;
    }
};

// A rock drops 4 pixels a tick while the dog, 2 a tick, waits; the dog wins on the tick she arrives, and one on the bone at once.
TEST_F(Frames, FallsPauseTheDogAndTheBoneWinsOnArrival) {
    RuleState& b = game.rules;
    setBoard({"..#", "..d    #", ".. ", ".. "}, 2);
    tap(MoveKeys::Right);
    for (int i = 1; i < 16; ++i) tap();
    ASSERT_TRUE(b.rockFalling);
    EXPECT_EQ(std::make_tuple(b.dogColumn, b.fallingRockY), std::make_tuple(3, 68));
    for (int i = 0; i < 7; ++i) tap();
    EXPECT_EQ(std::make_tuple(b.fallingRockY, b.moveCount, b.dogColumn), std::make_tuple(96, 1, 3));

    dir.write("highscores.dat", "");
    setBoard({"d....B"}, 2);
    game.number = 3;
    bool won = tap(MoveKeys::Right);
    int ticks = 1;
    for (; !won && ticks < 200; ++ticks) won = tap();
    EXPECT_EQ(std::make_tuple(ticks, won, b.dogColumn), std::make_tuple(5 * 16, true, 5));
    const RecordKeeper* keeper = game.recordWin();
    WinRecord r;
    while (!keeper->done(r)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(r.outcome, WinRecord::NewRecord);
    EXPECT_EQ(dir.read("highscores.dat"), "3 1\r\n");
    setBoard({"b"}, 2);
    b.dogColumn = 0, b.dogRow = 2;
    EXPECT_EQ(std::make_pair(tap(), b.moveCount), std::make_pair(true, 0));
}

// A slide by the clock: the same time at any frame rate, a quarter of it with Space held, every tick run once.
TEST_F(Frames, ASlideTakesTheSameTimeAtAnyFrameRateAndAQuarterOfItInAHurry) {
    const struct { unsigned long frameMs; bool hurry; } cases[] = {{33, false}, {17, false}, {7, false}, {1, false}, {16, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frameMs);
        setBoard({"d"}, 2);
        RuleState alone = game.rules;
        moveLog::play(alone, {Right});
        unsigned long ms = 0;
        Play::Input in;
        in.arrows.press(MoveKeys::Right);
        for (in.hurry = c.hurry; ms < 10000 && (ms == 0 || game.play.busy()); ms += c.frameMs, in = Play::Input(), in.hurry = c.hurry)
            in.nowMs = ms, game.play.frame(in);
        const double slideMs = 19 * 16 * Motion::kTickUs / 1000.0 / (c.hurry ? Motion::kHurry : 1);
        EXPECT_NEAR(double(ms - c.frameMs), slideMs, c.frameMs);
        EXPECT_TRUE(game.rules == alone);
    }
}

// A held arrow: the moves it makes, the bumps heard, and every move counted can be taken back.
TEST_F(Frames, AHeldArrowRepeatsOnlyIntoMovesThatChangeTheBoard) {
    struct Case {
        const char* what;
        std::vector<std::string> rows;
        int arrow, moves, bumps;
    };
    const Case cases[] = {
        {"into the sky: a bump, heard once", {"", "D"}, MoveKeys::Up, 0, 1},
        {"walking the grass", {"", "D"}, MoveKeys::Right, 4, 0},
        {"the grass up to the edge", {"", "=================D"}, MoveKeys::Right, 2, 0},
        {"down a slide that ends on a rock", {"", "", "d", "", "#"}, MoveKeys::Down, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setBoard(c.rows, 0);
        int bumps = 0;
        for (unsigned long ms = 0; ms < 900 || game.play.busy(); ms += 5) {
            Play::Input in;
            in.nowMs = ms;
            in.arrows.down[c.arrow] = ms < 900;
            if (ms == 0) in.arrows.press(static_cast<MoveKeys::Arrow>(c.arrow));
            game.play.frame(in);
            for (const CueEvent& e : game.play.takeCues()) bumps += e.cue == Cue::Bump;
        }
        EXPECT_EQ(std::make_tuple(game.rules.moveCount, bumps, int(game.play.movesToTakeBack())),
                  std::make_tuple(c.moves, c.bumps, c.moves));
    }
}

// Both layouts: sky and ground line on top, dog on the ground line, rocks (random: about one in four) and the bone below, nothing left over.
TEST_F(Frames, BothLayoutsGiveAFreshPlayableBoard) {
    RuleState& b = game.rules;
    for (int mode : {0, 1}) {
        int rocks = 0;
        for (unsigned seed = 1; seed <= 40; ++seed) {
            std::srand(seed);
            game.number = 6, b.moveCount = 9, b.rockFalling = true;
            game.resetBoard(mode);
            const std::vector<std::string> rows = boardRows(b);
            std::string below;
            for (int r = 2; r < 15; ++r) below += rows[r];
            const long seedRocks = std::count(below.begin(), below.end(), '#');
            EXPECT_EQ(std::count(below.begin(), below.end(), '.') + seedRocks, 260 - (below.find('B') != std::string::npos));
            EXPECT_EQ(rows[0] + rows[1], std::string(20, '^') + std::string(b.dogColumn, '=') + "D" +
                                             std::string(19 - b.dogColumn, '='));
            rocks += seedRocks;
            EXPECT_EQ(std::make_tuple(b.dogRow, b.moveCount, b.rockFalling, game.number), std::make_tuple(1, 0, false, 6));
            EXPECT_GE(b.boneRow, mode == 0 ? 3 : 2);
            EXPECT_TRUE(b.valid() && b.betweenMoves());
        }
        EXPECT_TRUE(mode == 0 ? rocks == 0 : rocks > 40 * 260 / 5 && rocks < 40 * 260 / 3) << rocks;
    }
}

// Random boards and arrows: cell steps end where ticks end; on pockets the solver's fewest moves equal a plain search over the ticks.
TEST(Rules, TheSolversShortcutsAgreeWithTheTicks) {
    std::mt19937 rng(7);
    std::vector<uint8_t> bytes(340);
    for (int round = 0; round < 6000; ++round) {
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
        ASSERT_EQ(differential::checkMoves(bytes.data(), bytes.size()), "") << "round " << round;
        ASSERT_EQ(round % 10 ? "" : differential::checkSolver(bytes.data(), 304), "") << "round " << round;
    }
}

TEST(Solver, FindsTheShortestWayUsingFallenRocksAsStops) {
    using Moves = std::vector<int32_t>;
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
    // So does one whose only way down is into the bottom row.
    s = textBoard({".....#", "....d."}, 13);
    s.boneColumn = 5, s.boneRow = 13;
    EXPECT_EQ(solve(s).fewestMoves(), 5);

    // Past its bound it stops, saying so; so it does when cancelled.
    r = solve(threeMoves, {4});  // fewer positions than the way of 3 moves needs
    EXPECT_EQ(std::make_tuple(r.outcome, r.reason, r.positions), std::make_tuple(SolveResult::NotProved, SolveResult::TooMuchWork, size_t(5)));
    std::atomic<bool> cancel{true};
    r = solve(threeMoves, {2000000, &cancel});
    EXPECT_EQ(std::make_pair(r.outcome, r.reason), std::make_pair(SolveResult::NotProved, SolveResult::Cancelled));
    // A cancel that comes while it runs (seconds of work) stops it too; one
    // that came before it began is tried again.
    const RuleState sealed = sealedBone();
    r = SolveResult();
    for (int wait = 5; wait < 5000 && r.positions <= 1; wait *= 2) {
        BackgroundTask task;
        task.start([&](const std::atomic<bool>& cancelled) { r = solve(sealed, {2000000, &cancelled}); });
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        task.cancel(), task.join();
        ASSERT_EQ(r.reason, SolveResult::Cancelled) << r.positions << " positions";
    }
    // The memory bound holds the positions' own bytes (152 each) below it, and
    // does not stop far short of it (the hash and links take under 100 more).
    for (size_t bytes : {size_t(1), size_t(2) << 20, size_t(8) << 20}) {
        r = solve(sealed, {2000000, nullptr, bytes});
        EXPECT_EQ(std::make_pair(r.outcome, r.reason), std::make_pair(SolveResult::NotProved, SolveResult::TooMuchWork));
        EXPECT_LE(r.positions * 152, bytes);
        EXPECT_GE(r.positions * 400 + 1, bytes);
    }
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
