// The shipped level set: its files, their sources, their fewest moves, the
// traps of the last third, and the solver's answers played back through the
// game's own input step.
#include <fstream>
#include <set>
#include <sstream>

#include "../../tools/level_traps_game.h"
#include "rules_fixture.h"

namespace {

// Fewest moves of every shipped level. A change to the rules or to a level
// that moves any of these must be deliberate.
const int kFewestMoves[] = {
    2, 3, 5, 4, 4,        // 1 to 5
    3, 7, 5, 5, 5,        // 6 to 10
    6, 7, 8, 8, 8,        // 11 to 15
    8, 9, 8, 10, 11,      // 16 to 20
    11, 12, 12, 13, 13,   // 21 to 25
    14, 14, 14, 15, 15,   // 26 to 30
    15, 17, 17, 18, 18,   // 31 to 35
    18, 18, 18, 18, 19,   // 36 to 40
};
const int kLevels = sizeof kFewestMoves / sizeof kFewestMoves[0];
const int kFirstTrapLevel = 28;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string shippedLevel(int number) {
    return harness::dataDir() + "/levels/" + std::to_string(number) + ".lvl";
}

}  // namespace

// The set grows harder: each five levels need more moves on average than the
// five before, and the last eight need 18 or more.
TEST(LevelSet, FewestMovesRiseThroughTheSet) {
    ASSERT_GE(kLevels, 40);
    for (int first = 5; first + 5 <= kLevels; first += 5) {
        int before = 0, now = 0;
        for (int i = 0; i < 5; ++i) before += kFewestMoves[first - 5 + i], now += kFewestMoves[first + i];
        EXPECT_GT(now, before) << "levels " << first + 1 << " to " << first + 5;
    }
    for (int n = kLevels - 7; n <= kLevels; ++n) EXPECT_GE(kFewestMoves[n - 1], 18) << "level " << n;
}

// Each key of the solution is held for one input step and released, as a
// player taps it; the main loop's poll decides when the next step runs.
TEST(LevelSet, EveryLevelIsTitledMadeFromItsSourceAndWonInItsFewestMoves) {
    harness::ScratchDir dir(true);
    std::atomic<bool> quit{false};
    Game game(&quit);
    const int keyOf[] = {0, KEY_RIGHT, KEY_DOWN, KEY_LEFT, KEY_UP};
    std::set<std::string> titles;
    for (int n = 1; n <= kLevels; ++n) {
        SCOPED_TRACE("level " + std::to_string(n));
        ASSERT_TRUE(game.loadLevel(n));
        EXPECT_TRUE(titles.insert(game.levelTitle).second && !game.levelTitle.empty()) << "a repeated title";

        char name[16];
        std::snprintf(name, sizeof name, "%02d.txt", n);
        std::string text = readAll(harness::dataDir() + "/../tools/levels/" + name), error;
        LevelText level;
        ASSERT_TRUE(parseLevelText(text, level, error)) << name << ": " << error;
        EXPECT_EQ(levelFileBytes(level), readAll(shippedLevel(n))) << "stale: rebuild it with the levels target";

        SolveResult result = solveLevel(game);
        ASSERT_EQ(result.outcome, SolveResult::Solved) << result.reason;
        EXPECT_EQ(static_cast<int>(result.moves.size()), kFewestMoves[n - 1]);

        game.screenMode = Playing;
        game.stopStep();
        for (size_t i = 0; i < result.moves.size(); ++i) {
            ASSERT_EQ(game.screenMode, Playing) << "won early, before move " << i;
            int k = keyOf[result.moves[i]];
            key[k] = -1;
            ASSERT_TRUE(game.pollInput());
            game.handleInput();
            key[k] = 0;
            for (int steps = 0; game.screenMode == Playing && steps < 100000 && game.pollInput(); ++steps)
                game.handleInput();
        }
        EXPECT_EQ(game.screenMode, LevelWon);
        EXPECT_EQ(game.moveCount, static_cast<int>(result.moves.size()));
    }
    EXPECT_FALSE(std::ifstream(shippedLevel(kLevels + 1)).good()) << "a level file beyond the golden table";
}

// From level 28 on, at least two positions on a shortest way offer a move
// that loses the level. The losing moves shut the dog in or bury the bone,
// which the solver proves within a few thousand positions.
TEST(LevelSet, TheLastThirdHasTrapsWorthAnUndo) {
    harness::ScratchDir dir(true);
    std::atomic<bool> quit{false};
    Game game(&quit);
    for (int n = kFirstTrapLevel; n <= kLevels; ++n) {
        ASSERT_TRUE(game.loadLevel(n));
        traps::Report report = traps::analyseLoaded(game, 2000000, 20000, 2);
        EXPECT_EQ(report.start.fewest, kFewestMoves[n - 1]) << "level " << n;
        EXPECT_GE(report.trapPositions, 2) << "level " << n;
    }
}
