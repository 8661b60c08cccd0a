// The fewest-moves table: lookups, appends, rewrites in place, and damaged or
// unwritable tables that must never lose what is already stored.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <memory>

#include "harness.h"
#include "shell/game.h"

namespace {

class HighScores : public testing::Test {
protected:
    harness::ScratchDir dir{false};
    std::atomic<bool> quit{false};
    std::unique_ptr<Game> game;

    void SetUp() override { game = std::make_unique<Game>(&quit); }

    // Solves `level` in `moves` against a table holding `table`.
    void solve(int level, int moves) {
        game->levelNumber = level;
        game->moveCount = moves;
        game->screenMode = LevelWon;
        game->updateHighScores();
    }
    std::string table() const { return dir.read("highscores.dat"); }
};

// The level-won screen shows a record line only for -1 or a value at most the
// moves made.
bool showsNoRecordLine(const Game& g) {
    return g.recordMoves != -1 && g.recordMoves > g.moveCount;
}

// Writes beyond `bytes` into any file fail from here on, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        struct rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

private:
    struct rlimit old_;
};

}  // namespace

TEST_F(HighScores, EmptyTableGetsTheLevelAppendedAsANewRecord) {
    dir.write("highscores.dat", "");
    solve(3, 17);
    EXPECT_EQ(game->recordMoves, -1);
    EXPECT_EQ(table(), "3 17\r\n");
    solve(4, 9);
    EXPECT_EQ(table(), "3 17\r\n4 9\r\n");
    EXPECT_TRUE(harness::messages.empty());
}

TEST_F(HighScores, BetterResultIsRewrittenInPlaceAndTheRestKeptByteForByte) {
    dir.write("highscores.dat", "1 5\n3 17\n4 9\n");
    solve(3, 12);
    EXPECT_EQ(game->recordMoves, -1);
    EXPECT_EQ(table(), "1 5\n3 12\n4 9\n");
    EXPECT_FALSE(dir.exists("highscores2.dat"));
}

TEST_F(HighScores, TieAndWorseLeaveTheTableAndReportTheRecord) {
    const std::string before = "1 5\r\n3 17\r\n";
    dir.write("highscores.dat", before);
    solve(3, 17);
    EXPECT_EQ(game->recordMoves, 17);  // the tie line
    EXPECT_EQ(table(), before);
    solve(3, 20);
    EXPECT_EQ(game->recordMoves, 17);  // the high-score line with 17
    EXPECT_EQ(table(), before);
    EXPECT_FALSE(dir.exists("highscores2.dat"));
}

TEST_F(HighScores, TheFirstOfDuplicateEntriesCountsAndARecordReplacesThemAll) {
    dir.write("highscores.dat", "3 17\n2 4\n3 30\n");
    solve(3, 25);  // worse than the first entry, better than the second
    EXPECT_EQ(game->recordMoves, 17);
    EXPECT_EQ(table(), "3 17\n2 4\n3 30\n");
    solve(3, 12);
    EXPECT_EQ(game->recordMoves, -1);
    EXPECT_EQ(table(), "3 12\n2 4\n3 12\n");
}

TEST_F(HighScores, LastLineWithoutALineBreakIsReadRewrittenAndNotRunInto) {
    dir.write("highscores.dat", "2 4\n3 17");
    solve(3, 17);
    EXPECT_EQ(game->recordMoves, 17);
    solve(3, 11);
    EXPECT_EQ(table(), "2 4\n3 11");
    // A new level must not be glued onto the unfinished line ("3 115 8").
    solve(5, 8);
    EXPECT_EQ(table(), "2 4\n3 11\n5 8\n");
    solve(5, 8);
    EXPECT_EQ(game->recordMoves, 8);
}

TEST_F(HighScores, AnyWhiteSpaceSeparatesTheNumbers) {
    dir.write("highscores.dat", "  7\t21 \r\n\n 3   17 ");
    solve(3, 16);
    EXPECT_EQ(table(), "  7\t21 \r\n\n 3   16 ");
    solve(7, 21);
    EXPECT_EQ(game->recordMoves, 21);
}

TEST_F(HighScores, DamagedLineEndsTheLookupAndARewriteThenKeepsTheOldTable) {
    // Level 4 lies past the damage: not found, so it is added as new.
    dir.write("highscores.dat", "3 17\n1 x\n4 9\n");
    solve(4, 20);
    EXPECT_EQ(game->recordMoves, -1);
    EXPECT_EQ(table(), "3 17\n1 x\n4 9\n4 20\n");

    // A rewrite would drop everything past the damage: the table stays.
    solve(3, 12);
    EXPECT_EQ(game->recordMoves, -1);
    EXPECT_EQ(table(), "3 17\n1 x\n4 9\n4 20\n");
    EXPECT_FALSE(dir.exists("highscores2.dat"));
}

TEST_F(HighScores, LoneNumberOrHugeNumberCountsAsDamage) {
    dir.write("highscores.dat", "3 17\n5\n");
    solve(3, 12);
    EXPECT_EQ(table(), "3 17\n5\n");

    dir.write("highscores.dat", "3 17\n6 99999999999\n");
    solve(3, 12);
    EXPECT_EQ(table(), "3 17\n6 99999999999\n");
    solve(6, 4);  // past the damage: appended
    EXPECT_EQ(game->recordMoves, -1);
    EXPECT_EQ(table(), "3 17\n6 99999999999\n6 4\n");
}

TEST_F(HighScores, NegativeStoredCountIsBeatenRatherThanAddedAgainAndAgain) {
    dir.write("highscores.dat", "3 -1\n");
    solve(3, 40);
    EXPECT_EQ(game->recordMoves, -1);
    EXPECT_EQ(table(), "3 40\n");
}

TEST_F(HighScores, MissingTableIsReportedAndShowsNoRecordLine) {
    game->recordMoves = 5;  // left over from an earlier level
    solve(3, 10);
    ASSERT_EQ(harness::messages.size(), 1u);
    EXPECT_EQ(harness::messages[0], "Error loading high scores table (\"highscores.dat\")");
    EXPECT_TRUE(showsNoRecordLine(*game));
    EXPECT_FALSE(dir.exists("highscores.dat"));  // never created
    EXPECT_FALSE(dir.exists("highscores2.dat"));

    // Every win says it again.
    solve(3, 0);
    EXPECT_EQ(harness::messages.size(), 2u);
    EXPECT_TRUE(showsNoRecordLine(*game));
}

TEST_F(HighScores, TableThatCannotBeReadIsReportedLikeAMissingOne) {
    ASSERT_EQ(mkdir("highscores.dat", 0755), 0);
    solve(3, 10);
    ASSERT_EQ(harness::messages.size(), 1u);
    EXPECT_TRUE(showsNoRecordLine(*game));
}

TEST_F(HighScores, RewriteThatCannotCreateItsTemporaryFileKeepsTheOldTable) {
    dir.write("highscores.dat", "3 17\n");
    ASSERT_EQ(mkdir("highscores2.dat", 0755), 0);
    solve(3, 12);
    EXPECT_EQ(table(), "3 17\n");
}

TEST_F(HighScores, RewriteThatFailsHalfWayKeepsTheOldTableAndRemovesTheTemporary) {
    const std::string before = "1 5\n2 6\n3 1234567\n";
    dir.write("highscores.dat", before);
    {
        FileSizeLimit limit(6);  // room for "1 5\n2 " only
        solve(3, 12);
    }
    EXPECT_EQ(table(), before);
    EXPECT_FALSE(dir.exists("highscores2.dat"));
}

TEST_F(HighScores, AppendThatFailsHalfWayLeavesNoPartialLine) {
    const std::string before = "1 5\r\n";
    dir.write("highscores.dat", before);
    {
        FileSizeLimit limit(before.size() + 3);  // "3 1" of "3 17\r\n" would fit
        solve(3, 17);
    }
    EXPECT_EQ(table(), before);
    solve(3, 17);  // and with room again the entry is added whole
    EXPECT_EQ(table(), before + "3 17\r\n");
}
