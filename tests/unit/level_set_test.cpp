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
    15, 17, 18, 18, 18,   // 31 to 35
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

// Each level: titled, made from its source, won in its fewest moves by the
// solver's answer tapped key by key through the game's own input step (each
// key held for one input step, as a player taps it), and from level 28 on
// at least two positions on that way offer a move that loses the level
// (they shut the dog in, which the solver proves within a few positions).
void checkLevels(int first, int last) {
    harness::ScratchDir dir(true);
    std::atomic<bool> quit{false};
    Game game(&quit);
    const int keyOf[] = {0, KEY_RIGHT, KEY_DOWN, KEY_LEFT, KEY_UP};
    for (int n = first; n <= last; ++n) {
        SCOPED_TRACE("level " + std::to_string(n));
        ASSERT_TRUE(game.loadLevel(n));
        char name[16];
        std::snprintf(name, sizeof name, "%02d.txt", n);
        std::string text = readAll(harness::dataDir() + "/../tools/levels/" + name), error;
        Level level;
        ASSERT_TRUE(parseLevelText(text, level, error)) << name << ": " << error;
        EXPECT_EQ(formatLevel(level), readAll(shippedLevel(n))) << "stale: rebuild it with the levels target";

        game.screenMode = Playing;
        game.stopStep();
        traps::Report report = traps::analyseFrom(game.rules, 2000000, 20000, n >= kFirstTrapLevel ? 2 : 0);
        ASSERT_EQ(report.start.outcome, traps::Answer::Won);
        EXPECT_EQ(report.start.fewest, kFewestMoves[n - 1]);
        if (n >= kFirstTrapLevel) {
            EXPECT_GE(report.trapPositions, 2);
        }

        const std::vector<int>& way = report.start.way;
        for (size_t i = 0; i < way.size(); ++i) {
            ASSERT_EQ(game.screenMode, Playing) << "won early, before move " << i;
            int k = keyOf[way[i]];
            key[k] = -1;
            ASSERT_TRUE(game.pollInput());
            game.handleInput();
            key[k] = 0;
            for (int steps = 0; game.screenMode == Playing && steps < 100000 && game.pollInput(); ++steps)
                game.handleInput();
        }
        EXPECT_EQ(game.screenMode, LevelWon);
        EXPECT_EQ(game.moveCount, static_cast<int>(way.size()));
    }
}

}  // namespace

// The big levels take most of the solving, so they run in tests of their own.
TEST(LevelSet, Levels1To30AreWonInTheirFewestMoves) { checkLevels(1, 30); }
TEST(LevelSet, Levels31To35AreWonPastTheirTraps) { checkLevels(31, 35); }
TEST(LevelSet, Levels36OnAreWonPastTheirTraps) { checkLevels(36, kLevels); }

TEST(LevelSet, EveryLevelHasATitleOfItsOwnAndNoneLiesBeyondTheTable) {
    harness::ScratchDir dir(true);
    std::atomic<bool> quit{false};
    Game game(&quit);
    std::set<std::string> titles;
    for (int n = 1; n <= kLevels; ++n) {
        ASSERT_TRUE(game.loadLevel(n)) << n;
        EXPECT_TRUE(!game.levelTitle.empty() && titles.insert(game.levelTitle).second) << "level " << n;
    }
    EXPECT_FALSE(std::ifstream(shippedLevel(kLevels + 1)).good()) << "a level file beyond the golden table";
}

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
