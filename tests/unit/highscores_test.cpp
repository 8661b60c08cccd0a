// The fewest-moves table: lookups, appends and rewrites in place. A table
// that is damaged, missing or cannot be written is never trusted or lost, and
// the won screen never claims a record that was not stored.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "harness.h"
#include "shell/game.h"

namespace {

const char* const kMissingTable = "Error loading high scores table (\"highscores.dat\")";

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
    // The won screen shows a record line only for -1 or at most the moves
    // made, and shows the note instead when there is one.
    bool showsNoRecord() const {
        return !game.recordNote.empty() || (game.recordMoves != -1 && game.recordMoves > game.moveCount);
    }
};

TEST_F(HighScores, LookupAppendAndRewriteInPlace) {
    struct Case {
        const char* before;
        int level, moves, record;  // record -1: a new record
        const char* after;
    };
    const Case cases[] = {
        {"", 3, 17, -1, "3 17\r\n"}, {"3 17\r\n", 4, 9, -1, "3 17\r\n4 9\r\n"},
        // Better: only the level's line changes, byte for byte; tie; worse.
        {"1 5\n3 17\n4 9\n", 3, 12, -1, "1 5\n3 12\n4 9\n"},
        {"1 5\r\n3 17\r\n", 3, 17, 17, "1 5\r\n3 17\r\n"}, {"1 5\r\n3 17\r\n", 3, 20, 17, "1 5\r\n3 17\r\n"},
        // Duplicates: the first counts, and a record replaces them all.
        {"3 17\n2 4\n3 30\n", 3, 25, 17, "3 17\n2 4\n3 30\n"}, {"3 17\n2 4\n3 30\n", 3, 12, -1, "3 12\n2 4\n3 12\n"},
        // A last line without a line break is read, rewritten, not run into.
        {"2 4\n3 17", 3, 11, -1, "2 4\n3 11"}, {"2 4\n3 11", 5, 8, -1, "2 4\n3 11\n5 8\n"},
        {"  7\t21 \r\n\n 3   17 ", 3, 16, -1, "  7\t21 \r\n\n 3   16 "},
        {"3 -1\n", 3, 40, -1, "3 40\n"},  // a negative count is beaten, not added again
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.before << "\" level " << c.level << " in " << c.moves);
        dir.write("highscores.dat", c.before);
        solve(c.level, c.moves);
        EXPECT_EQ(game.recordMoves, c.record);
        EXPECT_EQ(table(), c.after);
    }
    EXPECT_TRUE(harness::messages.empty());
    EXPECT_EQ(system("test $(ls -A | wc -l) -eq 1"), 0) << "a temporary file was left behind";
}

TEST_F(HighScores, ATableThatCannotBeReadToItsEndIsNeverWrittenAndClaimsNothing) {
    const char* damaged[] = {
        "3 17\n1 x\n4 9\n",                           // text that is no number
        "3 17\n6 1000000000000000000000000000000\n",  // a number that does not fit
        "3 17\n5",                                    // a lone last number
        "\x7f\x01\x02 binary",
    };
    for (const char* before : damaged) {
        for (int level : {3, 4, 5, 6}) {
            SCOPED_TRACE(testing::Message() << '"' << before << "\" level " << level);
            harness::messages.clear();
            dir.write("highscores.dat", before);
            solve(level, 12);
            EXPECT_EQ(harness::messages, std::vector<std::string>{kMissingTable});
            EXPECT_TRUE(showsNoRecord());
            EXPECT_EQ(table(), before);
        }
    }
    // Missing, a directory, a named pipe: the same, and nothing is created.
    for (const char* make : {"true", "mkdir highscores.dat", "mkfifo highscores.dat"}) {
        SCOPED_TRACE(make);
        harness::messages.clear();
        ASSERT_EQ(system((std::string("rm -rf highscores.dat; ") + make).c_str()), 0);
        solve(3, 0);
        EXPECT_EQ(harness::messages, std::vector<std::string>{kMissingTable});
        EXPECT_TRUE(showsNoRecord());
    }
    EXPECT_FALSE(dir.exists("highscores2.dat"));
}

TEST_F(HighScores, ARecordThatCannotBeStoredIsToldAndTheTableKept) {
    dir.write("highscores.dat", "3 17\n");
    chmod("highscores.dat", 0444);  // made read-only by the player
    for (int level : {3, 4}) {
        solve(level, 12);
        EXPECT_EQ(game.recordNote, "The record could not be saved: Permission denied");
        EXPECT_TRUE(showsNoRecord());
    }
    EXPECT_EQ(table(), "3 17\n");
    EXPECT_TRUE(harness::messages.empty());
}

TEST_F(HighScores, TwoGamesInOneDirectoryNeverLoseAnEntry) {
    // A large table makes each rewrite long, so the games' wins overlap.
    std::string big;
    for (int i = 1000; i < 30000; ++i) big += std::to_string(i) + " 9\n";
    dir.write("highscores.dat", big);
    const int games = 4, wins = 15;
    for (int g = 0; g < games; ++g) {
        if (fork() == 0) {
            for (int w = 0; w < wins; ++w) solve(1 + g * wins + w, 5);
            _exit(0);
        }
    }
    while (wait(nullptr) > 0) {
    }
    const std::string after = table();
    for (int level = 1; level <= games * wins; ++level)
        EXPECT_NE(after.find("\n" + std::to_string(level) + " 5\n"), std::string::npos) << level;
}

}  // namespace
