// The fewest-moves table: lookups, appends and rewrites in place. A table
// that is damaged, missing or cannot be written is never trusted or lost.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "harness.h"
#include "shell/game.h"

namespace {

class HighScores : public testing::Test {
protected:
    harness::ScratchDir dir;
    std::atomic<bool> quit{false};
    Game game{&quit};

    // Wins level in moves with the table as given; the table afterwards.
    std::string win(const char* before, int level, int moves) {
        if (before) dir.write("highscores.dat", before);
        game.levelNumber = level, game.moveCount = moves, game.screenMode = LevelWon, game.updateHighScores();
        return dir.read("highscores.dat");
    }
};

TEST_F(HighScores, LookupAppendAndRewriteInPlace) {
    const struct { const char* before; int level, moves, record; const char* after; } cases[] = {  // record -1: new
        {"", 3, 17, -1, "3 17\r\n"}, {"3 17\r\n", 4, 9, -1, "3 17\r\n4 9\r\n"},
        {"1 5\n3 17\n4 9\n", 3, 12, -1, "1 5\n3 12\n4 9\n"},  // only the level's count changes
        {"1 5\r\n3 17\r\n", 3, 17, 17, "1 5\r\n3 17\r\n"}, {"1 5\r\n3 17\r\n", 3, 20, 17, "1 5\r\n3 17\r\n"},
        {"1 3\n3 17\n", 3, 12, -1, "1 3\n3 12\n"},  // a count equal to the level number is no level
        {"3 17\n2 4\n3 30\n", 3, 25, 17, "3 17\n2 4\n3 30\n"}, {"3 17\n2 4\n3 30\n", 3, 12, -1, "3 12\n2 4\n3 12\n"},
        {"2 4\n3 17", 3, 11, -1, "2 4\n3 11"}, {"2 4\n3 11", 5, 8, -1, "2 4\n3 11\n5 8\n"},
        {"  7\t21 \r\n\n 3   17 ", 3, 16, -1, "  7\t21 \r\n\n 3   16 "}, {"3 -1\n", 3, 40, -1, "3 40\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(win(c.before, c.level, c.moves), c.after) << c.before;
        EXPECT_EQ(game.recordMoves, c.record) << c.before;
    }
    EXPECT_TRUE(harness::messages.empty());
    EXPECT_EQ(std::system("test $(ls -A | wc -l) -eq 1"), 0) << "a temporary file was left behind";
}

TEST_F(HighScores, ATableThatCannotBeReadToItsEndIsNeverWrittenAndClaimsNothing) {
    const char* damaged[] = {"3 17\n1 x\n4 9\n", "3 17\n6 4294967296\n", "3 17\n6 1000000000000000000000\n", "3 17\n5",
                             "\x7f\x01\x02 binary", nullptr, "mkdir", "mkfifo"};  // null: missing; then a folder, a pipe
    for (const char* before : damaged) {
        for (int level : {3, 5, 6}) {
            harness::messages.clear();
            std::system("rm -rf highscores.dat");
            const bool made = before && before[0] == 'm';
            if (made) std::system((before + std::string(" highscores.dat")).c_str());
            const std::string after = win(made ? nullptr : before, level, 12);
            EXPECT_EQ(harness::messages, std::vector<std::string>{"Error loading high scores table (\"highscores.dat\")"});
            EXPECT_TRUE(game.recordMoves > 12 && game.recordNote.empty()) << "a record line is shown";
            EXPECT_EQ(after, before && !made ? before : "") << (before ? before : "missing");
        }
    }
    EXPECT_EQ(std::system("test $(ls -A | wc -l) -le 1"), 0) << "a file was made";
}

// Each game is built in its own process after the fork, so that no child
// inherits a lock held by another thread of the parent's game.
TEST(HighScoresShared, TwoGamesInOneDirectoryNeverLoseAnEntry) {
    harness::ScratchDir dir;
    std::string big;  // long rewrites, so that the games' wins overlap
    for (int i = 1000; i < 6000; ++i) big += std::to_string(i) + " 9\n";
    dir.write("highscores.dat", big);
    for (int g = 0; g < 4; ++g)
        if (fork() == 0) {
            std::atomic<bool> quit{false};
            Game game(&quit);
            for (int w = 0; w < 10; ++w) game.levelNumber = 1 + g * 10 + w, game.moveCount = 5, game.screenMode = LevelWon, game.updateHighScores();
            _exit(0);
        }
    while (wait(nullptr) > 0) {}
    const std::string after = dir.read("highscores.dat");
    for (int level = 1; level <= 40; ++level) EXPECT_NE(after.find("\n" + std::to_string(level) + " 5\n"), std::string::npos) << level;
}

}  // namespace
