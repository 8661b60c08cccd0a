// Level files: writing, reading back, and reading damaged or odd files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "harness.h"
#include "shell/game.h"

namespace {

// A file's bytes built by hand: title, positions, and the 15 rows given as
// one code per cell (rows shorter than 20 are filled with dirt).
std::string levelBytes(const std::string& title, const std::string& positions,
                       const std::string& eol = "\r\n") {
    std::string s = title + eol + positions + eol;
    for (int r = 0; r < 15; ++r) {
        for (int c = 0; c < 20; ++c) {
            unsigned char code = r == 0 ? 2 : r == 1 ? 19 : (c == r ? 1 : 16);
            s.push_back(static_cast<char>(code));
            s.push_back(' ');
        }
        s += eol;
    }
    return s;
}

// The dog and bone cells resetBoard(0) draws after srand(seed).
struct BlankPositions {
    int dogColumn, boneColumn, boneRow;
};
BlankPositions blankPositionsAfter(unsigned seed) {
    std::srand(seed);
    BlankPositions p;
    p.dogColumn = std::rand() % 20;
    p.boneColumn = std::rand() % 20;
    p.boneRow = std::rand() % 12 + 3;
    return p;
}

void expectBlankCells(const Game& g, int fromCell = 0) {
    for (int n = fromCell; n < 300; ++n) {
        int r = n / 20, c = n % 20;
        int want = r == 0 ? 2 : r == 1 ? 19 : 16;
        ASSERT_EQ(g.board[r][c], want) << "row " << r << " column " << c;
    }
}

class LevelFile : public testing::Test {
protected:
    harness::ScratchDir dir{false};
    std::atomic<bool> quit{false};
    Game game{&quit};

    LevelFile() { mkdir("levels", 0755); }

    // A level in memory whose every field differs from the blank layout.
    void paintDistinctLevel() {
        game.resetBoard(0);
        game.setLevelTitle("  Two  spaces, then more  ");
        game.dogColumn = 7;
        game.dogRow = 1;
        game.boneColumn = 12;
        game.boneRow = 9;
        // Every byte value the reader does not skip as a blank, cells in turn.
        int code = 0;
        for (int r = 0; r < 15; ++r) {
            for (int c = 0; c < 20; ++c) {
                while (code == 32 || (code >= 9 && code <= 13)) code = (code + 1) % 256;
                game.board[r][c] = static_cast<uint8_t>(code);
                code = (code + 1) % 256;
            }
        }
    }
};

TEST_F(LevelFile, SavedLevelReadsBackWithTitlePositionsAndEveryCell) {
    paintDistinctLevel();
    game.setLevelNumber(5);
    ASSERT_TRUE(game.saveLevel());
    uint8_t saved[15][20];
    for (int r = 0; r < 15; ++r)
        for (int c = 0; c < 20; ++c) saved[r][c] = game.board[r][c];

    game.resetBoard(1);
    game.setLevelTitle("something else");
    game.setLevelNumber(9);
    game.moveCount = 12;
    ASSERT_TRUE(game.loadLevel(5));

    EXPECT_EQ(game.levelNumber, 5);
    EXPECT_EQ(game.levelTitle, "  Two  spaces, then more  ");
    EXPECT_EQ(game.dogColumn, 7);
    EXPECT_EQ(game.dogRow, 1);
    EXPECT_EQ(game.boneColumn, 12);
    EXPECT_EQ(game.boneRow, 9);
    EXPECT_EQ(game.moveCount, 0);
    for (int r = 0; r < 15; ++r)
        for (int c = 0; c < 20; ++c) ASSERT_EQ(game.board[r][c], saved[r][c]) << r << "," << c;
}

TEST_F(LevelFile, SavedFileHasCrLfLinesAndRawCellBytes) {
    game.resetBoard(0);
    game.setLevelTitle("Dig");
    game.dogColumn = 7;
    game.dogRow = 1;
    game.boneColumn = 12;
    game.boneRow = 9;
    game.board[5][3] = 0;  // a NUL byte must be stored as itself
    game.setLevelNumber(3);
    ASSERT_TRUE(game.saveLevel());

    std::string expected = "Dig\r\n7 1 12 9\r\n";
    for (int r = 0; r < 15; ++r) {
        for (int c = 0; c < 20; ++c) {
            expected.push_back(static_cast<char>(game.board[r][c]));
            expected.push_back(' ');
        }
        expected += "\r\n";
    }
    std::string onDisk = dir.read("levels/3.lvl");
    EXPECT_EQ(onDisk.size(), 3u + 8u + 634u);
    EXPECT_EQ(onDisk, expected);
    EXPECT_EQ(onDisk[15 + 5 * 42 + 3 * 2], '\0');
    EXPECT_FALSE(dir.exists("levels/3.lvl.tmp"));
}

TEST_F(LevelFile, NegativeLevelNumbersNameTheirFileWithASign) {
    EXPECT_EQ(levelFilePath(7), "levels/7.lvl");
    EXPECT_EQ(levelFilePath(-3), "levels/-3.lvl");
    game.resetBoard(0);
    game.setLevelTitle("below zero");
    game.setLevelNumber(-3);
    ASSERT_TRUE(game.saveLevel());
    EXPECT_TRUE(dir.exists("levels/-3.lvl"));
    game.setLevelNumber(1);
    ASSERT_TRUE(game.loadLevel(-3));
    EXPECT_EQ(game.levelNumber, -3);
    EXPECT_EQ(game.levelTitle, "below zero");
}

TEST_F(LevelFile, LineBreakInTitleIsStoredAsSpaceSoTheRestSurvives) {
    game.resetBoard(0);
    game.setLevelTitle("two\r\nlines");
    game.board[14][19] = 1;
    game.setLevelNumber(2);
    ASSERT_TRUE(game.saveLevel());
    game.resetBoard(0);
    ASSERT_TRUE(game.loadLevel(2));
    EXPECT_EQ(game.levelTitle, "two  lines");
    EXPECT_EQ(game.board[14][19], 1);
}

TEST_F(LevelFile, BareLfAndCrLfFilesReadTheSame) {
    dir.write("levels/1.lvl", levelBytes("Same title", "4 1 10 13", "\r\n"));
    dir.write("levels/2.lvl", levelBytes("Same title", "4 1 10 13", "\n"));
    ASSERT_TRUE(game.loadLevel(1));
    std::string title = game.levelTitle;
    uint8_t first[15][20];
    for (int r = 0; r < 15; ++r)
        for (int c = 0; c < 20; ++c) first[r][c] = game.board[r][c];

    game.resetBoard(1);
    ASSERT_TRUE(game.loadLevel(2));
    EXPECT_EQ(title, "Same title");
    EXPECT_EQ(game.levelTitle, "Same title");
    EXPECT_EQ(game.dogColumn, 4);
    EXPECT_EQ(game.boneRow, 13);
    for (int r = 0; r < 15; ++r)
        for (int c = 0; c < 20; ++c) ASSERT_EQ(game.board[r][c], first[r][c]);
    EXPECT_EQ(game.board[2][2], 1);
}

TEST_F(LevelFile, TitleLineKeepsItsSpacesAndNeverItsCr) {
    dir.write("levels/1.lvl", levelBytes("", "0 1 0 3"));
    ASSERT_TRUE(game.loadLevel(1));
    EXPECT_EQ(game.levelTitle, "");
    EXPECT_EQ(game.boneRow, 3);  // the rest is read normally

    dir.write("levels/1.lvl", levelBytes("  padded\t ", "0 1 0 3"));
    ASSERT_TRUE(game.loadLevel(1));
    EXPECT_EQ(game.levelTitle, "  padded\t ");

    // A title alone, without a line end, ending in CR.
    dir.write("levels/1.lvl", "alone\r");
    ASSERT_TRUE(game.loadLevel(1));
    EXPECT_EQ(game.levelTitle, "alone");

    // Only the CR of the line end goes; one inside the line is the title's.
    dir.write("levels/1.lvl", levelBytes("a\rb", "0 1 0 3"));
    ASSERT_TRUE(game.loadLevel(1));
    EXPECT_EQ(game.levelTitle, "a\rb");
}

TEST_F(LevelFile, NumbersAndCellsAreReadByOrderNotByLineLayout) {
    std::string split = levelBytes("t", "5\r\n\t1\t\r\n 11\r\n\r\n+6");
    dir.write("levels/1.lvl", split);
    ASSERT_TRUE(game.loadLevel(1));
    EXPECT_EQ(game.dogColumn, 5);
    EXPECT_EQ(game.dogRow, 1);
    EXPECT_EQ(game.boneColumn, 11);
    EXPECT_EQ(game.boneRow, 6);
    EXPECT_EQ(game.board[7][7], 1);

    // All 300 cell bytes on one line, without separating spaces.
    std::string s = "packed\n1 1 2 3\n";
    for (int n = 0; n < 300; ++n) s.push_back(n == 299 ? '\x11' : '\x01');
    dir.write("levels/1.lvl", s);
    ASSERT_TRUE(game.loadLevel(1));
    EXPECT_EQ(game.board[0][0], 1);
    EXPECT_EQ(game.board[14][18], 1);
    EXPECT_EQ(game.board[14][19], 17);
}

TEST_F(LevelFile, ShortFilesKeepTheBlankLayoutForWhatIsMissing) {
    // Ends after the positions: every cell blank.
    dir.write("levels/1.lvl", "short\r\n3 1 4 5\r\n");
    ASSERT_TRUE(game.loadLevel(1));
    EXPECT_EQ(game.levelTitle, "short");
    EXPECT_EQ(game.dogColumn, 3);
    EXPECT_EQ(game.boneColumn, 4);
    EXPECT_EQ(game.boneRow, 5);
    expectBlankCells(game);

    // Ends inside row 4: the cells read so far are kept.
    std::string full = levelBytes("cut", "3 1 4 5");
    std::string cut = full.substr(0, 5 + 9 + 4 * 42 + 2 * 5);  // five cells of row 4
    for (int r = 0; r < 15; ++r)
        for (int c = 0; c < 20; ++c) game.board[r][c] = 0;
    dir.write("levels/1.lvl", cut);
    ASSERT_TRUE(game.loadLevel(1));
    EXPECT_EQ(game.board[2][2], 1);
    EXPECT_EQ(game.board[3][3], 1);
    EXPECT_EQ(game.board[4][4], 1);
    expectBlankCells(game, 4 * 20 + 5);
}

TEST_F(LevelFile, EmptyFileGivesBlankBoardWithRandomCells) {
    dir.write("levels/4.lvl", "");
    game.setLevelTitle("old");
    BlankPositions want = blankPositionsAfter(77);
    std::srand(77);
    ASSERT_TRUE(game.loadLevel(4));
    EXPECT_EQ(game.levelNumber, 4);
    EXPECT_EQ(game.levelTitle, "");
    EXPECT_EQ(game.dogColumn, want.dogColumn);
    EXPECT_EQ(game.dogRow, 1);
    EXPECT_EQ(game.boneColumn, want.boneColumn);
    EXPECT_EQ(game.boneRow, want.boneRow);
    expectBlankCells(game);
}

TEST_F(LevelFile, MalformedNumberStopsAllLaterReads) {
    BlankPositions want = blankPositionsAfter(5);
    std::srand(5);
    dir.write("levels/1.lvl", levelBytes("bad", "6 x 8 9"));
    ASSERT_TRUE(game.loadLevel(1));
    EXPECT_EQ(game.levelTitle, "bad");
    EXPECT_EQ(game.dogColumn, 6);
    EXPECT_EQ(game.dogRow, 1);
    EXPECT_EQ(game.boneColumn, want.boneColumn);
    EXPECT_EQ(game.boneRow, want.boneRow);
    expectBlankCells(game);  // the rows after the bad number are not read

    // A sign without digits is malformed too.
    std::srand(5);
    dir.write("levels/1.lvl", levelBytes("bad", "6 1 - 9"));
    ASSERT_TRUE(game.loadLevel(1));
    EXPECT_EQ(game.boneColumn, want.boneColumn);
    expectBlankCells(game);
}

TEST_F(LevelFile, NumbersBeyond32BitsStopTheReading) {
    const char* tooBig[] = {"2147483648", "-2147483649", "99999999999999999999999"};
    for (const char* number : tooBig) {
        BlankPositions want = blankPositionsAfter(9);
        std::srand(9);
        dir.write("levels/1.lvl", levelBytes("big", std::string("2 1 ") + number + " 9"));
        ASSERT_TRUE(game.loadLevel(1)) << number;
        EXPECT_EQ(game.dogColumn, 2) << number;
        EXPECT_EQ(game.boneColumn, want.boneColumn) << number;
        EXPECT_EQ(game.boneRow, want.boneRow) << number;
        expectBlankCells(game);
    }
}

TEST_F(LevelFile, PositionsOffTheBoardKeepTheirBlankValues) {
    // Well-formed numbers, so the cells after them are still read.
    BlankPositions want = blankPositionsAfter(11);
    std::srand(11);
    dir.write("levels/1.lvl", levelBytes("off", "20 -1 -2147483648 15"));
    ASSERT_TRUE(game.loadLevel(1));
    EXPECT_EQ(game.dogColumn, want.dogColumn);
    EXPECT_EQ(game.dogRow, 1);
    EXPECT_EQ(game.boneColumn, want.boneColumn);
    EXPECT_EQ(game.boneRow, want.boneRow);
    EXPECT_EQ(game.board[9][9], 1);

    // The last cell on each axis is still on the board.
    dir.write("levels/1.lvl", levelBytes("edge", "19 14 0 0"));
    ASSERT_TRUE(game.loadLevel(1));
    EXPECT_EQ(game.dogColumn, 19);
    EXPECT_EQ(game.dogRow, 14);
    EXPECT_EQ(game.boneColumn, 0);
    EXPECT_EQ(game.boneRow, 0);
}

TEST_F(LevelFile, UnknownCellCodesAreKeptAsRead) {
    std::string s = levelBytes("odd", "1 1 2 3");
    size_t firstDirtRow = 5 + 9 + 2 * 42;
    s[firstDirtRow] = '\x03';
    s[firstDirtRow + 2] = '\xc8';
    dir.write("levels/1.lvl", s);
    ASSERT_TRUE(game.loadLevel(1));
    EXPECT_EQ(game.board[2][0], 3);
    EXPECT_EQ(game.board[2][1], 200);
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
    game.setLevelTitle("new");
    game.setLevelNumber(5);

    // The disk fills up half-way through the write.
    ASSERT_EQ(symlink("/dev/full", "levels/5.lvl.tmp"), 0);
    EXPECT_FALSE(game.saveLevel());
    EXPECT_EQ(dir.read("levels/5.lvl"), old);
    EXPECT_FALSE(dir.exists("levels/5.lvl.tmp"));

    // The target is a directory: nothing can be renamed over it.
    mkdir("levels/6.lvl", 0755);
    game.setLevelNumber(6);
    EXPECT_FALSE(game.saveLevel());
    EXPECT_FALSE(dir.exists("levels/6.lvl.tmp"));

    // No levels directory at all.
    ASSERT_EQ(std::system("rm -rf levels && touch levels"), 0);
    game.setLevelNumber(5);
    EXPECT_FALSE(game.saveLevel());
}

TEST_F(LevelFile, RestartReloadsTheCurrentLevelWithNoMoves) {
    dir.write("levels/2.lvl", levelBytes("two", "3 1 5 7"));
    ASSERT_TRUE(game.loadLevel(2));
    game.board[2][2] = 17;
    game.dogColumn = 9;
    game.moveCount = 6;
    game.rockFalling = true;
    game.redrawNeeded = false;
    game.restartLevel();
    EXPECT_EQ(game.board[2][2], 1);
    EXPECT_EQ(game.dogColumn, 3);
    EXPECT_EQ(game.moveCount, 0);
    EXPECT_FALSE(game.rockFalling);
    EXPECT_TRUE(game.redrawNeeded);

    // Its file gone: the blank board of the reset stays.
    std::remove("levels/2.lvl");
    game.board[2][2] = 17;
    game.restartLevel();
    EXPECT_EQ(game.levelNumber, 2);
    expectBlankCells(game);
}

}  // namespace
