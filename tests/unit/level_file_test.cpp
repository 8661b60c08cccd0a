// Level files: writing, reading back, and reading damaged or odd files.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "level_fixture.h"

namespace {

using level_test::blankCell;
using level_test::levelBytes;
using level_test::patternCell;

// The first cellsKept cells hold the pattern, the rest the blank layout.
void expectCells(const Game& g, int cellsKept) {
    for (int n = 0; n < 300; ++n) {
        int r = n / 20, c = n % 20;
        ASSERT_EQ(g.board[r][c], n < cellsKept ? patternCell(r, c) : blankCell(r)) << "row " << r << " column " << c;
    }
}

class LevelFile : public level_test::LevelFixture {};

TEST_F(LevelFile, SaveWritesCrLfLinesOfRawBytesThatReadBackTheSame) {
    game.resetBoard(0);
    game.setLevelTitle("  Two  spaces, then more  ");
    game.dogColumn = 7;
    game.dogRow = 1;
    game.boneColumn = 12;
    game.boneRow = 9;
    // Every byte value the reader does not skip as a blank, a NUL first.
    std::string expected = "  Two  spaces, then more  \r\n7 1 12 9\r\n", cells;
    int code = 0;
    for (int r = 0; r < 15; ++r) {
        for (int c = 0; c < 20; ++c) {
            while (code == 32 || (code >= 9 && code <= 13)) code = (code + 1) % 256;
            game.board[r][c] = static_cast<uint8_t>(code);
            cells.push_back(static_cast<char>(code));
            expected += cells.back() + std::string(" ");
            code = (code + 1) % 256;
        }
        expected += "\r\n";
    }
    game.setLevelNumber(-3);
    ASSERT_TRUE(game.saveLevel());
    EXPECT_EQ(dir.read("levels/-3.lvl"), expected);
    EXPECT_FALSE(dir.exists("levels/-3.lvl.tmp"));

    game.resetBoard(1);
    game.setLevelTitle("something else");
    game.setLevelNumber(9);
    game.moveCount = 12;
    ASSERT_TRUE(game.loadLevel(-3));
    EXPECT_EQ(game.levelNumber, -3);
    EXPECT_EQ(game.levelTitle, "  Two  spaces, then more  ");
    EXPECT_EQ(game.dogColumn, 7);
    EXPECT_EQ(game.dogRow, 1);
    EXPECT_EQ(game.boneColumn, 12);
    EXPECT_EQ(game.boneRow, 9);
    EXPECT_EQ(game.moveCount, 0);
    for (int n = 0; n < 300; ++n)
        ASSERT_EQ(game.board[n / 20][n % 20], static_cast<uint8_t>(cells[n])) << n;

    // A line break in the title would split the first line and lose the rest.
    game.setLevelTitle("two\r\nlines");
    ASSERT_TRUE(game.saveLevel());
    ASSERT_TRUE(game.loadLevel(-3));
    EXPECT_EQ(game.levelTitle, "two  lines");
    EXPECT_EQ(game.board[14][19], static_cast<uint8_t>(cells[299]));
}

TEST_F(LevelFile, ReadsWhatTheFileHoldsAndKeepsTheBlankLayoutForTheRest) {
    const int B = -1;  // the blank layout's value for this position
    std::string cutInRow4 = levelBytes("cut", "3 1 4 5").substr(0, 14 + 4 * 42 + 5 * 2);
    struct Case {
        const char* what;
        std::string bytes;
        std::string title;
        int positions[4];
        int cellsKept;
    };
    const Case cases[] = {
        {"CR LF", levelBytes("Same title", "4 1 10 13"), "Same title", {4, 1, 10, 13}, 300},
        {"bare LF", levelBytes("Same title", "4 1 10 13", "\n"), "Same title", {4, 1, 10, 13}, 300},
        {"empty title", levelBytes("", "0 1 0 3"), "", {0, 1, 0, 3}, 300},
        {"padded title", levelBytes("  padded\t ", "0 1 0 3"), "  padded\t ", {0, 1, 0, 3}, 300},
        {"CR inside the title", levelBytes("a\rb", "0 1 0 3"), "a\rb", {0, 1, 0, 3}, 300},
        {"title alone ending in CR", "alone\r", "alone", {B, B, B, B}, 0},
        {"numbers over several lines", levelBytes("t", "5\r\n\t1\t\r\n 11\r\n\r\n+6"), "t", {5, 1, 11, 6}, 300},
        {"cells packed on one line", levelBytes("p", "1 1 2 3", "\n", true), "p", {1, 1, 2, 3}, 300},
        {"ends after the positions", "short\r\n3 1 4 5\r\n", "short", {3, 1, 4, 5}, 0},
        {"ends inside row 4", cutInRow4, "cut", {3, 1, 4, 5}, 85},
        {"0 bytes", "", "", {B, B, B, B}, 0},
        {"malformed number", levelBytes("bad", "6 x 8 9"), "bad", {6, B, B, B}, 0},
        {"sign without digits", levelBytes("bad", "6 1 - 9"), "bad", {6, 1, B, B}, 0},
        {"above 32 bits", levelBytes("big", "2 1 2147483648 9"), "big", {2, 1, B, B}, 0},
        {"below 32 bits", levelBytes("big", "2 1 -2147483649 9"), "big", {2, 1, B, B}, 0},
        {"far beyond 32 bits", levelBytes("big", "2 1 99999999999999999999999 9"), "big", {2, 1, B, B}, 0},
        {"off the board", levelBytes("off", "20 -1 -2147483648 15"), "off", {B, B, B, B}, 300},
        {"last cells on the board", levelBytes("edge", "19 14 0 0"), "edge", {19, 14, 0, 0}, 300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("levels/1.lvl", c.bytes);
        std::srand(77);
        int blank[4] = {std::rand() % 20, 1, std::rand() % 20, std::rand() % 12 + 3};
        game.setLevelTitle("old");
        game.setLevelNumber(9);
        for (int r = 0; r < 15; ++r)
            for (int col = 0; col < 20; ++col) game.board[r][col] = 0x55;
        std::srand(77);
        ASSERT_TRUE(game.loadLevel(1));
        EXPECT_EQ(game.levelNumber, 1);
        EXPECT_EQ(game.levelTitle, c.title);
        const int got[4] = {game.dogColumn, game.dogRow, game.boneColumn, game.boneRow};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(got[i], c.positions[i] == B ? blank[i] : c.positions[i]) << i;
        expectCells(game, c.cellsKept);
    }
}

TEST_F(LevelFile, UnreadableFileChangesNothing) {
    dir.write("levels/1.lvl", levelBytes("kept", "3 1 5 7"));
    ASSERT_TRUE(game.loadLevel(1));
    game.board[8][8] = 0;
    game.moveCount = 4;
    mkdir("levels/2.lvl", 0755);  // a directory where a level should be

    EXPECT_FALSE(game.loadLevel(6));
    EXPECT_FALSE(game.loadLevel(2));
    EXPECT_FALSE(game.loadLevelFile("levels"));
    EXPECT_EQ(game.levelNumber, 1);
    EXPECT_EQ(game.levelTitle, "kept");
    EXPECT_EQ(game.dogColumn, 3);
    EXPECT_EQ(game.boneRow, 7);
    EXPECT_EQ(game.board[8][8], 0);
    EXPECT_EQ(game.moveCount, 4);
}

TEST_F(LevelFile, FailedSaveLeavesTheOldFileIntact) {
    std::string old = levelBytes("the old level", "1 1 2 3");
    dir.write("levels/5.lvl", old);
    game.resetBoard(0);
    game.setLevelNumber(5);

    // A level the player made read-only.
    chmod("levels/5.lvl", 0444);
    EXPECT_FALSE(game.saveLevel());
    EXPECT_EQ(dir.read("levels/5.lvl"), old);

    // Nothing can be renamed over a directory.
    mkdir("levels/6.lvl", 0755);
    game.setLevelNumber(6);
    EXPECT_FALSE(game.saveLevel());
    EXPECT_FALSE(dir.exists("levels/6.lvl.tmp"));

    // No levels directory at all.
    ASSERT_EQ(std::system("rm -rf levels && touch levels"), 0);
    EXPECT_FALSE(game.saveLevel());
}

TEST_F(LevelFile, RestartReloadsTheCurrentLevelWithNoMoves) {
    dir.write("levels/2.lvl", levelBytes("two", "3 1 5 7"));
    ASSERT_TRUE(game.loadLevel(2));
    game.board[3][3] = 17;
    game.dogColumn = 9;
    game.moveCount = 6;
    game.rockFalling = true;
    game.redrawNeeded = false;
    game.restartLevel();
    expectCells(game, 300);
    EXPECT_EQ(game.dogColumn, 3);
    EXPECT_EQ(game.moveCount, 0);
    EXPECT_FALSE(game.rockFalling);
    EXPECT_TRUE(game.redrawNeeded);

    // Its file gone: the blank board of the reset stays.
    std::remove("levels/2.lvl");
    game.restartLevel();
    EXPECT_EQ(game.levelNumber, 2);
    expectCells(game, 0);
}

}  // namespace
