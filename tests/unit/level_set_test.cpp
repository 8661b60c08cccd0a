// The shipped level set: built from sources, titled, each won in its golden moves through the session's frames, traps from 28 on, a rising curve.

#include "../../tools/level_traps_game.h"
#include "fixture.h"
#include "session/move_log.h"

namespace {
// Fewest moves of levels 1 to 40: a change to the rules or to a level that moves one must be deliberate.
const int kFewest[] = {2,  3,  5,  4,  4,  3,  7,  5,  5,  5,  6,  7,  8,  8,  8,  8,  9,  8,  10, 11,
                       11, 12, 12, 13, 13, 14, 14, 14, 15, 15, 15, 17, 18, 18, 18, 18, 18, 18, 18, 19};
const int kLevels = sizeof kFewest / sizeof *kFewest, kFirstTrapLevel = 28;

// From level 28 on, at least two positions on the way offer a move that loses the level (shuts the dog in).
void checkLevels(int first, int last) {
    harness::ScratchDir dir(true);
    Session game;
    const int arrowOf[] = {0, MoveKeys::Right, MoveKeys::Down, MoveKeys::Left, MoveKeys::Up};
    for (int n = first; n <= last; ++n) {
        SCOPED_TRACE("level " + std::to_string(n));
        char source[32];
        std::snprintf(source, sizeof source, "/../tools/levels/%02d.txt", n);
        Level level;
        std::string error;
        ASSERT_TRUE(game.loadLevel(n) && parseLevelText(dir.read(harness::dataDir() + source), level, error)) << error;
        EXPECT_EQ(formatLevel(level), dir.read(harness::dataDir() + "/levels/" + std::to_string(n) + ".lvl")) << "stale: rebuild it";
        const traps::Report report = traps::analyseFrom(game.rules, 2000000, 20000, n >= kFirstTrapLevel ? 2 : 0);
        const std::vector<int>& way = report.start.way;
        ASSERT_EQ(report.start.outcome, traps::Answer::Won);
        EXPECT_EQ(std::make_pair(report.start.fewest, report.trapPositions >= (n >= kFirstTrapLevel ? 2 : 0)), std::make_pair(kFewest[n - 1], true));
        // Each arrow tapped for one frame, as a player taps it; the log is the way so far, and the level's
        // start played through it is the position reached. Then undo takes the moves back one by one.
        const RuleState start = game.rules;
        std::vector<int32_t> log;
        bool won = false;
        unsigned long ms = 0;
        for (size_t i = 0; i < way.size(); ++i) {
            ASSERT_FALSE(won) << "won early, before move " << i;
            Play::Input tap;
            tap.nowMs = ms += 5;
            tap.arrows.press(static_cast<MoveKeys::Arrow>(arrowOf[way[i]]));
            won = game.play.frame(tap);
            for (int steps = 0; !won && steps < 100000 && game.play.busy(); ++steps) {
                Play::Input next;
                next.nowMs = ms += 5;
                won = game.play.frame(next);
            }
            log.push_back(way[i]);
            RuleState replayed = start;
            bool replayWon = false;
            ASSERT_TRUE(moveLog::play(replayed, log, nullptr, &replayWon)) << "move " << i;
            ASSERT_EQ(game.play.moves(), log);
            ASSERT_EQ(replayWon, won);
            if (!won) ASSERT_TRUE(replayed == game.rules) << "move " << i;
        }
        EXPECT_EQ(std::make_pair(won, game.rules.moveCount), std::make_pair(true, int32_t(way.size())));
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

// The big levels take most of the solving, so they run in tests of their own.
TEST(LevelSet, Levels1To30AreWonInTheirFewestMoves) { checkLevels(1, 30); }
TEST(LevelSet, Levels31To35AreWonPastTheirTraps) { checkLevels(31, 35); }
TEST(LevelSet, Levels36OnAreWonPastTheirTraps) { checkLevels(36, kLevels); }

TEST(LevelSet, EachLevelHasATitleOfItsOwnNoneLiesBeyondTheTableAndEachFiveNeedMoreMovesThanTheFiveBefore) {
    harness::ScratchDir dir(true);
    Session game;
    std::set<std::string> titles;
    for (int n = 1; n <= kLevels; ++n) EXPECT_TRUE(game.loadLevel(n) && !game.title.empty() && titles.insert(game.title).second) << n;
    EXPECT_FALSE(game.loadLevel(kLevels + 1)) << "a level file beyond the golden table";
    for (int n = 5, before = 0, now = 0; n <= kLevels; n += 5, before = now, now = 0) {
        for (int i = n - 5; i < n; ++i) now += kFewest[i];
        EXPECT_GT(now, before) << "levels " << n - 4 << " to " << n;
    }
    for (int n = kLevels - 7; n <= kLevels; ++n) EXPECT_GE(kFewest[n - 1], 18) << "level " << n;  // the last eight
}
