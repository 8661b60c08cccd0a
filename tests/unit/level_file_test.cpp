// Level files: the reader on whole, cut, odd and damaged bytes; the game's save, load and restart around it. (Saves that fail: bad_input_test.cpp.)

#include "fixture.h"
#include "storage/level.h"

namespace {

TEST(LevelReader, ReadsWhatTheBytesHoldAndLeavesTheRestAsItWas) {
    const int K = -1;  // the value the field had before
    struct Case {
        const char* what;
        std::string bytes, title;
        int positions[4];
        int cellsRead;
    };
    const Case cases[] = {
        {"CR LF", levelBytes("Same title", "4 1 10 13"), "Same title", {4, 1, 10, 13}, 300},
        {"bare LF", levelBytes("Same title", "4 1 10 13", "\n"), "Same title", {4, 1, 10, 13}, 300},
        {"padded title, a CR inside", levelBytes("  a\rb\t ", "0 1 0 3"), "  a\rb\t ", {0, 1, 0, 3}, 300},
        {"title alone ending in CR", "alone\r", "alone", {K, K, K, K}, 0},
        {"numbers over several lines", levelBytes("t", "5\r\n\t1\t\r\n 11\r\n\r\n+6"), "t", {5, 1, 11, 6}, 300},
        {"cells packed on one line", levelBytes("p", "1 1 2 3", "\n", true), "p", {1, 1, 2, 3}, 300},
        {"ends after the positions", "short\r\n3 1 4 5\r\n", "short", {3, 1, 4, 5}, 0},
        {"ends inside row 4", levelBytes("cut", "3 1 4 5").substr(0, 14 + 4 * 42 + 5 * 2), "cut", {3, 1, 4, 5}, 85},
        {"0 bytes", "", "old", {K, K, K, K}, 0},
        {"malformed number", levelBytes("bad", "6 x 8 9"), "bad", {6, K, K, K}, 0},
        {"digits then junk", levelBytes("bad", "6 17x 8 9"), "bad", {6, K, K, K}, 0},
        {"sign without digits", levelBytes("bad", "6 1 - 9"), "bad", {6, 1, K, K}, 0},
        {"above 32 bits", levelBytes("big", "2 1 2147483648 9"), "big", {2, 1, K, K}, 0},
        {"far below 32 bits", levelBytes("big", "2 1 -99999999999999999999999 9"), "big", {2, 1, K, K}, 0},
        {"off the board", levelBytes("off", "20 -1 -2147483648 15"), "off", {K, K, K, K}, 300},
        {"last cells on the board", levelBytes("edge", "19 14 0 0"), "edge", {19, 14, 0, 0}, 300},
        // Its start is the title, a CR there included; the rest is skipped.
        {"a first line of megabytes", std::string(4095, 'T') + "\r" + std::string(3u << 20, 'T') + "\r\n9 1 9 9\r\n",
         std::string(4095, 'T') + "\r", {9, 1, 9, 9}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Level level;
        level.title = "old";
        level.dogColumn = level.dogRow = level.boneColumn = level.boneRow = 7;
        std::memset(level.cells, 0x55, sizeof level.cells);
        readLevel(c.bytes, level);
        EXPECT_EQ(level.title, c.title);
        const int got[4] = {level.dogColumn, level.dogRow, level.boneColumn, level.boneRow};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(got[i], c.positions[i] == K ? 7 : c.positions[i]) << i;
        for (int n = 0; n < 300; ++n)
            ASSERT_EQ(level.cells[n / 20][n % 20], n < c.cellsRead ? patternCell(n / 20, n % 20) : 0x55) << n;
    }
    EXPECT_EQ(levelTitleOf("a\r\nb"), "a");
}

class LevelFile : public LevelFixture {
protected:
    Session game;
};

TEST_F(LevelFile, SaveWritesCrLfLinesOfRawBytesThatLoadBackTheSame) {
    game.resetBoard(0);
    game.title = "  Two  spaces  ";
    RuleState& b = game.rules;
    b.dogColumn = 7, b.dogRow = 1, b.boneColumn = 12, b.boneRow = 9;
    // Every byte value the reader does not skip as a blank, a NUL first.
    std::string expected = "  Two  spaces  \r\n7 1 12 9\r\n";
    for (int n = 0, code = 0; n < 300; ++n, code = (code + 1) % 256) {
        while (code == 32 || (code >= 9 && code <= 13)) ++code;
        b.board[n / 20][n % 20] = static_cast<uint8_t>(code);
        expected += std::string(1, char(code)) + " " + (n % 20 == 19 ? "\r\n" : "");
    }
    const RuleState saved = b;
    game.setNumber(-3);
    std::string why;
    ASSERT_TRUE(game.save(why));
    EXPECT_EQ(dir.read("levels/-3.lvl"), expected);

    game.resetBoard(1);
    game.setNumber(9);
    b.moveCount = 12;
    ASSERT_TRUE(game.loadLevel(-3));
    EXPECT_EQ(std::make_tuple(game.number, game.title, b.moveCount), std::make_tuple(-3, "  Two  spaces  ", 0));
    EXPECT_EQ(levelOf(b, ""), levelOf(saved, ""));
    // A line break in the title would split the first line and lose the rest.
    game.title = "two\r\nlines";
    ASSERT_TRUE(game.save(why) && game.loadLevel(-3));
    EXPECT_EQ(game.title, "two  lines");
    EXPECT_EQ(levelOf(b, ""), levelOf(saved, ""));
}

// Unread cells keep the blank layout; a level that cannot be read is not played: the board is blank and nothing is recorded for it.
TEST_F(LevelFile, LoadStartsFromTheBlankLayoutAndAnUnreadableLevelIsNotPlayed) {
    dir.write("levels/1.lvl", "short\r\n3 1 4 5\r\n");
    std::srand(77);
    game.resetBoard(0);
    RuleState expected = game.rules;
    expected.dogColumn = 3, expected.dogRow = 1, expected.boneColumn = 4, expected.boneRow = 5;
    std::srand(77);
    ASSERT_TRUE(game.loadLevel(1));
    EXPECT_EQ(levelOf(game.rules, ""), levelOf(expected, ""));

    dir.write("levels/3.lvl", levelBytes("three", "3 1 5 7"));
    dir.write("highscores.dat", "");
    game.openEditor();  // a level loaded after the editor is its file's again: it keeps a record
    ASSERT_TRUE(game.loadLevel(3) && !game.boardEdited);
    const RuleState loaded = game.rules;
    game.rules.board[3][3] = 17;
    game.rules.dogColumn = 9, game.rules.moveCount = 6;
    game.restartLevel();
    EXPECT_TRUE(game.rules == loaded);
    // Missing, a folder, a pipe, too large, positions off the board or missing: each said, none played or recorded.
    mkdir("levels/2.lvl", 0755);
    ASSERT_EQ(mkfifo("levels/4.lvl", 0644), 0);
    dir.write("levels/5.lvl", std::string(70000, 'x'));
    dir.write("levels/6.lvl", levelBytes("off", "3 1 20 7"));
    dir.write("levels/7.lvl", "no places\r\n");
    for (int n : {2, 4, 5, 6, 7, 8}) {
        EXPECT_FALSE(game.loadLevel(n)) << n;
        EXPECT_EQ(std::make_tuple(game.number, game.playable(), game.title), std::make_tuple(n, false, std::string())) << n;
        EXPECT_EQ(game.unreadableText(), "levels/" + std::to_string(n) + ".lvl could not be read");
        game.rules.moveCount = 3;
        EXPECT_EQ(game.recordWin(), nullptr);
    }
    EXPECT_EQ(dir.read("highscores.dat"), "");
    // A damaged but readable level plays as the reader has it.
    dir.write("levels/9.lvl", "cut\r\n3 1 4 5\r\n\x01\x01");
    EXPECT_TRUE(game.loadLevel(9) && game.playable() && game.rules.board[0][0] == 1 && game.rules.board[5][5] == Dirt);
}

}  // namespace
