// The two starting layouts and the board's storage.
#include <cstdlib>

#include "rules_fixture.h"

using BoardTest = RulesTest;

TEST_F(BoardTest, TheBlankLayoutIsSkyGroundLineAndDirtWithTheDogOnTop) {
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::srand(seed);
        int dog = std::rand() % 20;
        int boneColumn = std::rand() % 20;
        int boneRow = std::rand() % 12 + 3;
        std::srand(seed);
        game.resetBoard(0);
        ASSERT_EQ(game.boardWidth, 20);
        ASSERT_EQ(game.boardHeight, 15);
        EXPECT_EQ(game.dogColumn, dog);
        EXPECT_EQ(game.dogRow, 1);
        EXPECT_EQ(game.boneColumn, boneColumn);
        EXPECT_EQ(game.boneRow, boneRow);
        EXPECT_GE(game.boneRow, 3);
        EXPECT_LE(game.boneRow, 14);
    }
    for (int c = 0; c < 20; ++c) {
        EXPECT_EQ(cell(c, 0), SkyTop);
        EXPECT_EQ(cell(c, 1), SkyBottom);
        for (int r = 2; r < 15; ++r) EXPECT_EQ(cell(c, r), Dirt);
    }
}

TEST_F(BoardTest, TheRandomLayoutDrawsEveryCellInRowOrderThenTheDogAndBone) {
    for (unsigned seed : {3u, 77u, 12345u}) {
        std::srand(seed);
        uint8_t expected[15][20];
        for (int r = 0; r < 15; ++r)
            for (int c = 0; c < 20; ++c) expected[r][c] = std::rand() % 4 == 0 ? Rock : Dirt;
        int dog = std::rand() % 20;
        int boneColumn = std::rand() % 20;
        int boneRow = std::rand() % 13 + 2;

        std::srand(seed);
        game.resetBoard(1);
        for (int c = 0; c < 20; ++c) {
            EXPECT_EQ(cell(c, 0), SkyTop);
            EXPECT_EQ(cell(c, 1), SkyBottom);
            for (int r = 2; r < 15; ++r) ASSERT_EQ(cell(c, r), expected[r][c]) << c << "," << r;
        }
        EXPECT_EQ(game.dogColumn, dog);
        EXPECT_EQ(game.dogRow, 1);
        EXPECT_EQ(game.boneColumn, boneColumn);
        EXPECT_EQ(game.boneRow, boneRow);
    }
}

TEST_F(BoardTest, ResetsKeepTheSameStorage) {
    uint8_t** rows = game.board;
    uint8_t* row7 = game.board[7];
    ASSERT_NE(rows, nullptr);
    game.resetBoard(0);
    game.resetBoard(1);
    game.resetBoard(0);
    EXPECT_EQ(game.board, rows);
    EXPECT_EQ(game.board[7], row7);
}

TEST_F(BoardTest, AResetEndsAFallAndTheMoveCountButKeepsTheRest) {
    setBoard({"", "", "..#", "..d", ".. "});
    game.levelNumber = 6;
    game.levelTitle = "Six";
    tap({KEY_RIGHT});
    for (int i = 1; i < 16; ++i) tick();
    ASSERT_TRUE(game.rockFalling);
    game.fallColumn = 4;
    for (int mode : {0, 1}) {
        game.selection = Right;
        game.dogOffsetX = 6;
        game.moveCount = 9;
        game.rockFalling = true;
        game.resetBoard(mode);
        EXPECT_FALSE(game.rockFalling);
        EXPECT_EQ(game.moveCount, 0);
        EXPECT_EQ(game.selection, Right);
        EXPECT_EQ(game.dogOffsetX, 6);
        EXPECT_EQ(game.fallColumn, 4);
        EXPECT_EQ(game.levelNumber, 6);
        EXPECT_EQ(game.levelTitle, "Six");
    }
}
