// The second shipped pack: built from its sources, each level won in its fewest moves past losing moves along the way,
// little of the way on the grass, within the advisor's reach, and the curve rising from 20 moves to about 40.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "../../tools/level_traps_game.h"
#include "session/play.h"
#include "storage/board_text.h"
#include "storage/level.h"

namespace {
// A row a level: its title, fewest moves, positions on the way that offer a losing move, and moves of the way that
// walk the grass (sideways along the ground line). A change to the rules or a level that moves one must be deliberate.
struct Row {
    const char* title;
    int fewest, traps, grass;
};
const Row kDeep[] = {
    {"The Woodpile", 20, 3, 0},
    {"The Chimney Pots", 21, 3, 3},
    {"The Badger Sett", 21, 3, 3},
    {"The Rose Arch", 22, 3, 1},
    {"The Sundial", 23, 5, 1},
    {"The Hedgehog House", 24, 5, 3},
    {"The Cold Frame", 25, 3, 2},
    {"The Birdhouse", 27, 3, 1},
    {"The Rabbit Hutch", 28, 3, 3},
    {"The Garden Bench", 29, 4, 2},
    {"The Trellis", 30, 4, 7},
    {"The Vegetable Patch", 30, 3, 2},
    {"The Swing", 31, 3, 1},
    {"The Strawberry Bed", 32, 3, 2},
    {"The Root Cellar", 33, 3, 3},
    {"The Fruit Cage", 35, 4, 2},
    {"The Bonfire", 36, 3, 5},
    {"The Old Boot", 37, 3, 6},
    {"The Garden Gate", 38, 5, 10},
    {"The Dovecote", 40, 4, 5},
};
const int kLevels = sizeof kDeep / sizeof *kDeep;
const std::string kPack = std::string(TUNNELWICK_DATA_DIR) + "/packs/deep/";

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return in ? s.str() : std::string();
}

void checkLevels(int first, int last) {
    for (int n = first; n <= last; ++n) {
        SCOPED_TRACE("level " + std::to_string(n));
        const Row& row = kDeep[n - 1];
        char source[64];
        std::snprintf(source, sizeof source, "/../tools/levels/deep/%02d.txt", n);
        Level level;
        std::string error;
        ASSERT_TRUE(parseLevelText(contents(TUNNELWICK_DATA_DIR + std::string(source)), level, error)) << error;
        EXPECT_EQ(formatLevel(level), contents(kPack + std::to_string(n) + ".lvl")) << "stale: rebuild it";
        EXPECT_EQ(level.title, row.title);
        RuleState start;
        placeLevel(level, start);
        // The advisor gives up past kMostPositions; a wrong move counts as losing only when proved so within 100 000.
        const traps::Report report = traps::analyseFrom(start, Play::kMostPositions, 100000);
        ASSERT_EQ(report.start.outcome, traps::Answer::Won);
        RuleState at = start;
        int grass = 0, moves = 0;
        bool won = false;
        for (int d : report.way) {
            ASSERT_FALSE(won) << "won early, before move " << moves;
            const int32_t row0 = at.dogRow;
            won = playMove(at, d), ++moves;
            grass += !won && row0 == 1 && at.dogRow == 1 && (d == Left || d == Right);
        }
        EXPECT_TRUE(won);
        EXPECT_EQ(std::make_tuple(report.start.fewest, report.trapPositions, grass),
                  std::make_tuple(row.fewest, row.traps, row.grass));
        EXPECT_EQ(std::make_tuple(moves, report.trapPositions >= 3, grass * 3 <= moves),
                  std::make_tuple(row.fewest, true, true));
    }
}
}  // namespace

// Each level's traps take a few solves of up to 100 000 positions, so the pack runs in parts.
TEST(DeepPack, Levels1To4AreWonInTheirFewestMovesPastTheirTraps) { checkLevels(1, std::min(4, kLevels)); }
TEST(DeepPack, Levels5To8AreWonInTheirFewestMovesPastTheirTraps) { checkLevels(5, std::min(8, kLevels)); }
TEST(DeepPack, Levels9To12AreWonInTheirFewestMovesPastTheirTraps) { checkLevels(9, std::min(12, kLevels)); }
TEST(DeepPack, Levels13To16AreWonInTheirFewestMovesPastTheirTraps) { checkLevels(13, std::min(16, kLevels)); }
TEST(DeepPack, Levels17OnAreWonInTheirFewestMovesPastTheirTraps) { checkLevels(17, kLevels); }

TEST(DeepPack, HasATitleAndEachLevelOneOfItsOwnWithTheMovesRisingFrom20ToAbout40) {
    const std::string pack = contents(kPack + "pack.txt");
    EXPECT_FALSE(pack.substr(0, pack.find_first_of("\r\n")).empty());
    std::set<std::string> titles;
    for (int n = 1; n <= kLevels; ++n) {
        EXPECT_TRUE(titles.insert(kDeep[n - 1].title).second) << n;
        EXPECT_GE(kDeep[n - 1].fewest, n == 1 ? 20 : kDeep[n - 2].fewest) << n;
    }
    EXPECT_EQ(contents(kPack + std::to_string(kLevels + 1) + ".lvl"), "") << "a level file beyond the table";
    EXPECT_GE(kDeep[kLevels - 1].fewest, 37);
    EXPECT_LE(kDeep[kLevels - 1].fewest, 40);
}
