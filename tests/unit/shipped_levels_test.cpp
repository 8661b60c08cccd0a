// Both shipped packs: each level built from its source, titled its own, won in its fewest moves through the
// session's frames (the move log and undo agreeing with the board at every step) past losing moves, little of
// the way on the grass, and the moves rising through the pack.

#include "../../tools/level_traps_game.h"
#include "fixture.h"
#include "session/move_log.h"

namespace {

// A row a level: fewest moves, positions on the way that offer a losing move, and moves of the way that walk
// the grass (sideways along the ground line). A change to the rules or a level that moves one must be deliberate.
struct Row {
    int fewest, traps, grass;
};
struct Pack {
    const char* folder;   // the pack ("" the first), its level files under data/
    const char* sources;  // under tools/levels/
    std::vector<Row> rows;
    size_t positions, trapPositions;  // the solves' bounds: a wrong move is a trap only when proved so within the second
    bool exact;                       // traps and grass as the row says; else traps at least
    int lastEight;                    // the fewest moves of each of the last eight levels, at least
};

std::vector<Row> firstRows() {
    const int fewest[] = {2,  3,  5,  4,  4,  3,  7,  5,  5,  5,  6,  7,  8,  8,  8,  8,  9,  8,  10, 11,
                          11, 12, 12, 13, 13, 14, 14, 14, 15, 15, 15, 17, 18, 18, 18, 18, 18, 18, 18, 19};
    std::vector<Row> rows;
    for (int f : fewest) rows.push_back({f, rows.size() + 1 >= 28 ? 2 : 0, 0});  // traps from level 28 on
    return rows;
}

const Pack kFirst = {"", "", firstRows(), 2000000, 20000, false, 18};
// The advisor gives up past its bound: every level of the harder pack is within its reach.
const Pack kDeep = {"deep", "deep/",
                    {{20, 3, 0}, {21, 3, 3}, {21, 3, 3}, {22, 3, 1}, {23, 5, 1}, {24, 5, 3}, {25, 3, 2},
                     {27, 3, 1}, {28, 3, 3}, {29, 4, 2}, {30, 4, 7}, {30, 3, 2}, {31, 3, 1}, {32, 3, 2},
                     {33, 3, 3}, {35, 4, 2}, {36, 3, 5}, {37, 3, 6}, {38, 5, 10}, {40, 4, 5}},
                    Play::kMostPositions, 100000, true, 31};

void checkLevels(const Pack& pack, int first, int last) {
    harness::ScratchDir dir(true);
    Session game;
    game.pack = pack.folder;
    const int arrowOf[] = {0, MoveKeys::Right, MoveKeys::Down, MoveKeys::Left, MoveKeys::Up};
    for (int n = first; n <= std::min<int>(last, pack.rows.size()); ++n) {
        SCOPED_TRACE(std::string(pack.folder) + " level " + std::to_string(n));
        const Row& row = pack.rows[n - 1];
        char source[64];
        std::snprintf(source, sizeof source, "/../tools/levels/%s%02d.txt", pack.sources, n);
        Level level;
        std::string error;
        ASSERT_TRUE(game.loadLevel(n) && parseLevelText(dir.read(harness::dataDir() + source), level, error)) << error;
        const std::string file = *pack.folder ? std::string("/packs/") + pack.folder + "/" : "/levels/";
        EXPECT_EQ(formatLevel(level), dir.read(harness::dataDir() + file + std::to_string(n) + ".lvl")) << "stale: rebuild it";
        const traps::Report report = traps::analyseFrom(game.rules, pack.positions, pack.trapPositions, pack.exact ? 1 << 30 : row.traps);
        const std::vector<int>& way = report.start.way;
        ASSERT_EQ(report.start.outcome, traps::Answer::Won);
        EXPECT_EQ(std::make_pair(report.start.fewest, report.trapPositions >= row.traps), std::make_pair(row.fewest, true));
        // Each arrow tapped for one frame, as a player taps it; the log is the way so far, and the level's
        // start played through it is the position reached. Then undo takes the moves back one by one.
        const RuleState start = game.rules;
        std::vector<int32_t> log;
        bool won = false;
        int grass = 0;
        unsigned long ms = 0;
        for (size_t i = 0; i < way.size(); ++i) {
            ASSERT_FALSE(won) << "won early, before move " << i;
            const RuleState before = game.rules;
            Play::Input tap;
            tap.nowMs = ms += 5;
            tap.arrows.press(static_cast<MoveKeys::Arrow>(arrowOf[way[i]]));
            won = game.play.frame(tap);
            for (int steps = 0; !won && steps < 100000 && game.play.busy(); ++steps) {
                Play::Input next;
                next.nowMs = ms += 5;
                won = game.play.frame(next);
            }
            grass += !won && before.dogRow == 1 && game.rules.dogRow == 1 && (way[i] == Left || way[i] == Right);
            log.push_back(way[i]);
            RuleState replayed = start;
            bool replayWon = false;
            ASSERT_TRUE(moveLog::play(replayed, log, nullptr, &replayWon)) << "move " << i;
            ASSERT_EQ(game.play.moves(), log);
            ASSERT_EQ(replayWon, won);
            if (!won) {
                ASSERT_TRUE(replayed == game.rules) << "move " << i;
            }
        }
        EXPECT_EQ(std::make_tuple(won, game.rules.moveCount), std::make_tuple(true, int32_t(way.size())));
        if (pack.exact) {  // the harder pack walks at most a third of its way on the grass
            EXPECT_EQ(std::make_pair(report.trapPositions, grass), std::make_pair(row.traps, row.grass));
            EXPECT_LE(grass * 3, int(way.size()));
        }
        while (!log.empty()) {
            log.pop_back();
            Play::Input undo;
            undo.undo = true;
            game.play.frame(undo);
            RuleState replayed = start;
            ASSERT_TRUE(moveLog::play(replayed, log));
            ASSERT_TRUE(replayed == game.rules && game.play.moves() == log) << "undone to " << log.size();
        }
    }
}

}  // namespace

// The big levels take most of the solving, so they run in parts.
TEST(ShippedLevels, Levels1To30AreWonInTheirFewestMoves) { checkLevels(kFirst, 1, 30); }
TEST(ShippedLevels, Levels31To35AreWonPastTheirTraps) { checkLevels(kFirst, 31, 35); }
TEST(ShippedLevels, Levels36OnAreWonPastTheirTraps) { checkLevels(kFirst, 36, 99); }
TEST(ShippedLevels, DeepLevels1To7AreWonInTheirFewestMovesPastTheirTraps) { checkLevels(kDeep, 1, 7); }
TEST(ShippedLevels, DeepLevels8To14AreWonInTheirFewestMovesPastTheirTraps) { checkLevels(kDeep, 8, 14); }
TEST(ShippedLevels, DeepLevels15OnAreWonInTheirFewestMovesPastTheirTraps) { checkLevels(kDeep, 15, 99); }

TEST(ShippedLevels, EachPackIsTitledEachLevelItsOwnNoneLiesBeyondTheTableAndTheMovesRise) {
    harness::ScratchDir dir(true);
    for (const Pack* pack : {&kFirst, &kDeep}) {
        Session game;
        game.pack = pack->folder;
        const int levels = pack->rows.size();
        std::set<std::string> titles;
        for (int n = 1; n <= levels; ++n) EXPECT_TRUE(game.loadLevel(n) && !game.title.empty() && titles.insert(game.title).second) << n;
        EXPECT_FALSE(game.loadLevel(levels + 1)) << "a level file beyond the table";
        // Each five need more moves than the five before, and the last eight are the hardest.
        for (int n = 5, before = 0, now = 0; n <= levels; n += 5, before = now, now = 0) {
            for (int i = n - 5; i < n; ++i) now += pack->rows[i].fewest;
            EXPECT_GT(now, before) << pack->folder << " levels " << n - 4 << " to " << n;
        }
        for (int n = levels - 7; n <= levels; ++n) EXPECT_GE(pack->rows[n - 1].fewest, pack->lastEight) << n;
    }
    const std::string title = dir.read("packs/deep/pack.txt");
    EXPECT_FALSE(title.substr(0, title.find_first_of("\r\n")).empty());
}
