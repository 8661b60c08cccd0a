// The fewest-moves table: lookups, appends, rewrites in place, and damaged or
// unwritable tables that must never lose what is already stored.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <atomic>

#include "harness.h"
#include "shell/game.h"

namespace {

class HighScores : public testing::Test {
protected:
    harness::ScratchDir dir{false};
    std::atomic<bool> quit{false};
    Game game{&quit};

    void solve(int level, int moves) {
        game.levelNumber = level;
        game.moveCount = moves;
        game.screenMode = LevelWon;
        game.updateHighScores();
    }
    std::string table() const { return dir.read("highscores.dat"); }
    // The won screen shows a record line only for -1 or at most the moves made.
    bool showsNoRecordLine() const {
        return game.recordMoves != -1 && game.recordMoves > game.moveCount;
    }
};

// Writes beyond `bytes` into any file fail while it lives, as on a full disk.
struct FileSizeLimit {
    struct rlimit old;
    explicit FileSizeLimit(rlim_t bytes) {
        signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old);
        struct rlimit limit = {bytes, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old); }
};

}  // namespace

TEST_F(HighScores, LookupAppendAndRewriteInPlace) {
    struct Case {
        const char* before;
        int level, moves, record;  // record -1: a new record
        const char* after;
    };
    const Case cases[] = {
        {"", 3, 17, -1, "3 17\r\n"},
        {"3 17\r\n", 4, 9, -1, "3 17\r\n4 9\r\n"},
        // Better: only the level's line changes, byte for byte.
        {"1 5\n3 17\n4 9\n", 3, 12, -1, "1 5\n3 12\n4 9\n"},
        {"1 5\r\n3 17\r\n", 3, 17, 17, "1 5\r\n3 17\r\n"},  // tie
        {"1 5\r\n3 17\r\n", 3, 20, 17, "1 5\r\n3 17\r\n"},  // worse
        // Duplicates: the first counts, and a record replaces them all.
        {"3 17\n2 4\n3 30\n", 3, 25, 17, "3 17\n2 4\n3 30\n"},
        {"3 17\n2 4\n3 30\n", 3, 12, -1, "3 12\n2 4\n3 12\n"},
        // A last line without a line break is read, rewritten, not run into.
        {"2 4\n3 17", 3, 17, 17, "2 4\n3 17"},
        {"2 4\n3 17", 3, 11, -1, "2 4\n3 11"},
        {"2 4\n3 11", 5, 8, -1, "2 4\n3 11\n5 8\n"},
        {"  7\t21 \r\n\n 3   17 ", 3, 16, -1, "  7\t21 \r\n\n 3   16 "},
        {"  7\t21 \r\n\n 3   17 ", 7, 21, 21, "  7\t21 \r\n\n 3   17 "},
        // A damaged line ends the lookup; a rewrite would drop what follows
        // it, so the old table stays.
        {"3 17\n1 x\n4 9\n", 4, 20, -1, "3 17\n1 x\n4 9\n4 20\n"},
        {"3 17\n1 x\n4 9\n", 3, 12, -1, "3 17\n1 x\n4 9\n"},
        {"3 17\n5\n", 3, 12, -1, "3 17\n5\n"},
        {"3 17\n6 99999999999\n", 3, 12, -1, "3 17\n6 99999999999\n"},
        {"3 17\n6 99999999999\n", 6, 4, -1, "3 17\n6 99999999999\n6 4\n"},
        // A negative count is beaten, not added again on every win.
        {"3 -1\n", 3, 40, -1, "3 40\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.before << "\" level " << c.level << " in "
                                        << c.moves);
        dir.write("highscores.dat", c.before);
        solve(c.level, c.moves);
        EXPECT_EQ(game.recordMoves, c.record);
        EXPECT_EQ(table(), c.after);
        EXPECT_FALSE(dir.exists("highscores2.dat"));
    }
    EXPECT_TRUE(harness::messages.empty());
}

TEST_F(HighScores, MissingOrUnreadableTableIsReportedOnEveryWinAndShowsNoRecordLine) {
    game.recordMoves = 5;  // left over from an earlier level
    solve(3, 10);
    ASSERT_EQ(harness::messages.size(), 1u);
    EXPECT_EQ(harness::messages[0], "Error loading high scores table (\"highscores.dat\")");
    EXPECT_TRUE(showsNoRecordLine());
    EXPECT_FALSE(dir.exists("highscores.dat"));  // never created
    EXPECT_FALSE(dir.exists("highscores2.dat"));

    ASSERT_EQ(mkdir("highscores.dat", 0755), 0);
    solve(3, 0);
    EXPECT_EQ(harness::messages.size(), 2u);
    EXPECT_TRUE(showsNoRecordLine());
}

TEST_F(HighScores, FailedWritesKeepTheOldTableWhole) {
    // The temporary file cannot be made.
    dir.write("highscores.dat", "3 17\n");
    ASSERT_EQ(mkdir("highscores2.dat", 0755), 0);
    solve(3, 12);
    EXPECT_EQ(table(), "3 17\n");
    rmdir("highscores2.dat");

    // The rewrite runs out of room half way.
    const std::string before = "1 5\n2 6\n3 1234567\n";
    dir.write("highscores.dat", before);
    {
        FileSizeLimit limit(6);  // room for "1 5\n2 " only
        solve(3, 12);
    }
    EXPECT_EQ(table(), before);
    EXPECT_FALSE(dir.exists("highscores2.dat"));

    // The append runs out of room half way: no partial line is left.
    dir.write("highscores.dat", "1 5\r\n");
    {
        FileSizeLimit limit(5 + 3);  // "3 1" of "3 17\r\n" would fit
        solve(3, 17);
    }
    EXPECT_EQ(table(), "1 5\r\n");
    solve(3, 17);  // and with room again the entry is added whole
    EXPECT_EQ(table(), "1 5\r\n3 17\r\n");
}
