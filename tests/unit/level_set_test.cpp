// The shipped level set: its files, their sources, their fewest moves, and
// the solver's answers played back through the game's own input step.
#include <fstream>
#include <set>
#include <sstream>

#include "play/solver.h"
#include "rules_fixture.h"

namespace {

// Fewest moves of every shipped level. A change to the rules or to a level
// that moves any of these must be deliberate.
const int kFewestMoves[] = {
    2, 3, 5, 4, 4,       // 1 to 5
    3, 7, 5, 5, 5,       // 6 to 10
    6, 7, 8, 8, 8,       // 11 to 15
    9, 10, 10, 11, 11,   // 16 to 20
    11, 12, 12, 13, 13,  // 21 to 25
    13, 14, 14, 15, 15,  // 26 to 30
    17, 18,              // 31 and 32
};
const int kLevels = sizeof kFewestMoves / sizeof kFewestMoves[0];

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
        EXPECT_FALSE(game.levelTitle.empty());
        EXPECT_TRUE(titles.insert(game.levelTitle).second) << "a repeated title";

        char name[16];
        std::snprintf(name, sizeof name, "%02d.txt", n);
        std::string text = readAll(harness::dataDir() + "/../tools/levels/" + name), error;
        Level level;
        ASSERT_TRUE(parseLevelText(text, level, error)) << name << ": " << error;
        EXPECT_EQ(formatLevel(level), readAll(shippedLevel(n))) << "stale: rebuild it with the levels target";

        game.screenMode = Playing;
        game.stopStep();
        SolveResult result = solve(game.rules);
        ASSERT_EQ(result.outcome, SolveResult::Solved) << reasonText(result.reason);
        EXPECT_EQ(static_cast<int>(result.moves.size()), kFewestMoves[n - 1]);

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
