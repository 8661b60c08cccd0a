// The move rules: small boards played arrow by arrow, the ticks of a fall,
// the playing input step's keys and the win, the board's layouts, and the
// solver's cell steps held to the ticks on random boards.
#include <cstdlib>
#include <random>

#include "../differential.h"
#include "rules_fixture.h"

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
        {"rocks of a column drop one after the other", {"..#", ".. ", "..#", "..d", ".. ", ".. "}, 2, "R", 19, 5, 1,
         {"", "", ".. ", ".. ", ".. ", "..                 d", "..o", "..o"}},
        {"the next rock up a column is never one in the sky", {"..#", "..#", ".. ", "..#", "..d", ".. "}, 0, "R", 19, 4, 1,
         {"..#", "..#", ".. ", ".. ", "..                 d", "..o"}},
    };
    for (const Play& p : plays) {
        SCOPED_TRACE(p.what);
        RuleState s = textBoard(p.board, p.first);
        for (char a : p.arrows) EXPECT_FALSE(playMove(s, std::string(" RDLU").find(a)));
        EXPECT_EQ(std::make_tuple(s.dogColumn, s.dogRow, s.moveCount), std::make_tuple(p.dogColumn, p.dogRow, p.moves));
        EXPECT_TRUE(s.betweenMoves());
        expectRows(s, p.after);
    }
}

TEST(Rules, OddCodesRocksOnTheBoneAndDogsOffTheBoard) {
    // Codes with no tile of their own pass by the bit of value 16 and are never dug.
    RuleState s = textBoard({"d"}, 2);
    s.board[2][1] = 48, s.board[2][2] = 240, s.board[2][3] = 64, s.board[1][1] = 3;
    playMove(s, Right);
    EXPECT_EQ(std::make_tuple(s.dogColumn, s.board[2][1], s.board[2][2], s.board[1][1]), std::make_tuple(2, 48, 240, 3));

    // After a landing, a rock on the bone stays though the cell under it opens.
    s = textBoard({"", "D", "..#", "..#", "..#", ".. ", "..o"});
    s.boneColumn = 2, s.boneRow = 3;
    s.fallingRockX = 64, s.fallingRockY = 6 * 32;  // just landed in row 6
    EXPECT_TRUE(s.startNextFall());
    EXPECT_EQ(s.fallingRockY, 4 * 32 + 4);  // row 4's rock: a tunnel under it
    while (s.rockFalling) s.fallTick();
    expectRows(s, {"", "D", "..#", "..#", ".. ", "..o", "..o"});

    // A dog placed off the board never reads or writes outside it.
    s = textBoard({});
    s.dogColumn = 40, s.dogRow = 30;
    playMove(s, Right);
    EXPECT_EQ(std::make_pair(s.dogColumn, s.dogRow), std::make_pair(19, 14));
    s = textBoard({});
    s.dogColumn = -7, s.dogRow = -3;
    const std::vector<std::string> before = boardRows(s);
    for (int32_t d : {Left, Up, Down, Right}) playMove(s, d);
    EXPECT_EQ(boardRows(s), before);
}

// The validity check takes every state the ticks make, and nothing else.
TEST(Rules, TheValidityCheckRefusesWhatTheTicksNeverMake) {
    const RuleState good = textBoard({"d"}, 2);
    auto with = [&](int32_t selection, int32_t offsetX, int32_t offsetY, int32_t rockY, int32_t dogColumn, int32_t moves) {
        RuleState s = good;
        s.selection = selection, s.dogOffsetX = offsetX, s.dogOffsetY = offsetY, s.dogColumn = dogColumn;
        s.rockFalling = rockY != 0, s.fallingRockX = 64, s.fallingRockY = rockY, s.moveCount = moves;
        return s.valid();
    };
    EXPECT_TRUE(good.valid() && with(Right, 30, 0, 0, 0, 1) && with(Up, 0, -30, 0, 0, 1) && with(None, 0, 0, 480, 0, 0));
    for (bool bad : {with(Right, 32, 0, 0, 0, 1), with(Right, 3, 0, 0, 0, 1), with(Left, 2, 0, 0, 0, 1), with(None, 0, 2, 0, 0, 0),
                     with(Down, 2, 2, 0, 0, 1), with(7, 0, 0, 0, 0, 1), with(None, 0, 0, 484, 0, 0), with(None, 0, 0, 6, 0, 0),
                     with(Right, 2, 0, 68, 0, 1), with(None, 0, 0, 0, 20, 0), with(None, 0, 0, 0, 0, -1)})
        EXPECT_FALSE(bad);
}

// A rock loosened by an arrival drops 4 pixels a tick while the dog, 2 a tick,
// waits; no key is read meanwhile.
TEST_F(RulesTest, TheDogWaitsForAFallAndHeldKeysWaitForTheDog) {
    setBoard({"..#", "..d    #", ".. ", ".. "}, 2);
    tap({KEY_RIGHT});
    for (int i = 1; i < 16; ++i) tap();
    ASSERT_TRUE(game.rockFalling);
    EXPECT_EQ(std::make_tuple(game.dogColumn, game.fallingRockX, game.fallingRockY), std::make_tuple(3, 64, 68));
    for (int i = 0; i < 7; ++i) tap({KEY_LEFT});
    EXPECT_EQ(std::make_tuple(game.fallingRockY, game.moveCount, game.dogColumn), std::make_tuple(96, 1, 3));
    while (game.rockFalling) tap();
    EXPECT_EQ(game.selection, Right);  // the slide resumes after the landing

    // Down held through the slide starts the next move on the tick it ends.
    key[KEY_DOWN] = -1;
    for (int i = 0; game.selection == Right && i < 200; ++i) tap();
    EXPECT_EQ(std::make_tuple(game.dogColumn, game.moveCount), std::make_tuple(6, 1));
    tap();
    key[KEY_DOWN] = 0;
    EXPECT_EQ(std::make_tuple(game.selection, game.moveCount), std::make_tuple(int(Down), 2));
}

TEST_F(RulesTest, EveryArrowPressedOnAnIdleTickIsAMoveAndTheSidewaysOneLeads) {
    struct Held {
        std::vector<std::string> board;
        int first;
        std::vector<int> keys;
        int moves, selection, column;
    };
    const Held cases[] = {
        {{"d#"}, 2, {KEY_RIGHT}, 5, None, 0},  // against a rock: every press is a move
        {{"...................d"}, 2, {KEY_RIGHT}, 5, None, 19},
        {{"d"}, 14, {KEY_LEFT}, 5, None, 0},
        {{"d"}, 14, {KEY_DOWN}, 5, None, 0},
        {{"...d"}, 3, {KEY_UP, KEY_RIGHT}, 2, Right, 3},  // both count, the dog goes right
        {{"...d"}, 3, {KEY_DOWN, KEY_LEFT}, 2, Left, 3},
        {{"...d"}, 3, {KEY_UP, KEY_DOWN}, 1, Up, 3},
        {{"...d"}, 3, {KEY_LEFT, KEY_RIGHT}, 1, Right, 3},
    };
    for (const Held& h : cases) {
        setBoard(h.board, h.first);
        for (int i = 0; i < (h.moves == 5 ? 5 : 1); ++i) tap(h.keys);
        EXPECT_EQ(std::make_tuple(game.moveCount, game.selection, game.dogColumn), std::make_tuple(h.moves, h.selection, h.column));
    }
}

TEST_F(RulesTest, ArrivingOnTheBoneWinsInThatTickAndTheInputStepRecordsIt) {
    dir.write("highscores.dat", "");
    setBoard({"d....B"}, 2);
    game.levelNumber = 3;
    tap({KEY_RIGHT});
    int ticks = 1;
    for (; game.screenMode == Playing && ticks < 200; ++ticks) tap();
    EXPECT_EQ(std::make_tuple(ticks, game.screenMode, game.dogColumn, game.moveCount),
              std::make_tuple(5 * 16, int(LevelWon), 5, 1));  // two pixels a tick, 32 a cell
    EXPECT_EQ(dir.read("highscores.dat"), "3 1\r\n");

    // Also when the arrival loosens a rock; played by the rules alone, nothing is recorded.
    setBoard({"..#", "..dB", ".. "}, 2);
    EXPECT_TRUE(playMove(game.rules, Right));
    EXPECT_TRUE(game.rockFalling);
    EXPECT_EQ(dir.read("highscores.dat"), "3 1\r\n");

    // A dog that starts on the bone wins on the first tick, with no move.
    setBoard({"b"}, 2);
    game.dogColumn = 0, game.dogRow = 2;
    tap();
    EXPECT_EQ(std::make_pair(game.screenMode, game.moveCount), std::make_pair(int(LevelWon), 0));
}

// A seeded layout comes out the same every time: rand() is drawn for every
// cell row by row (random layout only), then the dog's column, the bone's
// column and row, which keeps clear of the first dirt row in the blank layout.
TEST_F(RulesTest, BothLayoutsDrawTheirCellsDogAndBoneInOrderAndEndPlay) {
    for (int mode : {0, 1}) {
        for (unsigned seed = 1; seed <= 50; ++seed) {
            std::srand(seed);
            RuleState want = textBoard({});
            for (int r = 0; r < 15; ++r)
                for (int c = 0; c < 20; ++c)
                    if (mode == 1 && std::rand() % 4 == 0 && r > 1) want.board[r][c] = Rock;
            want.dogColumn = std::rand() % 20, want.dogRow = 1, want.boneColumn = std::rand() % 20;
            want.boneRow = mode == 0 ? std::rand() % 12 + 3 : std::rand() % 13 + 2;
            std::srand(seed);
            game.levelNumber = 6, game.moveCount = 9, game.rockFalling = true;
            game.resetBoard(mode);
            EXPECT_EQ(boardRows(game.rules), boardRows(want)) << mode << " seed " << seed;
            EXPECT_EQ(std::make_tuple(game.boneColumn, game.boneRow, game.moveCount, game.rockFalling, game.levelNumber),
                      std::make_tuple(want.boneColumn, want.boneRow, 0, false, 6));
        }
    }
}

// Thousands of random boards (odd codes, rocks anywhere, the dog on anything)
// and arrows: the cell steps end where the ticks end; and on small pockets
// the solver's fewest moves are those of a plain search over the ticks.
TEST(Rules, TheSolversShortcutsAgreeWithTheTicks) {
    std::mt19937 rng(7);
    std::vector<uint8_t> bytes(340);
    for (int round = 0; round < 6000; ++round) {
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
        ASSERT_EQ(differential::checkMoves(bytes.data(), bytes.size()), "") << "round " << round;
        if (round % 10 == 0) ASSERT_EQ(differential::checkSolver(bytes.data(), 304), "") << "round " << round;
    }
}
