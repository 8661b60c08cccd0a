// The two starting layouts and the board's storage.
#include <cstdlib>

#include "rules_fixture.h"

using BoardTest = RulesTest;

// A seeded layout must come out the same every time: rand() is drawn for
// every cell row by row (random layout only), then the dog's column, the
// bone's column and the bone's row, which keeps clear of the first dirt row
// in the blank layout only.
TEST_F(BoardTest, BothLayoutsDrawTheirCellsDogAndBoneInOrder) {
    for (int mode : {0, 1}) {
        for (unsigned seed = 1; seed <= 100; ++seed) {
            SCOPED_TRACE(std::to_string(mode) + " seed " + std::to_string(seed));
            std::srand(seed);
            uint8_t expected[15][20];
            for (int r = 0; r < 15; ++r)
                for (int c = 0; c < 20; ++c) {
                    TileCode drawn = mode == 1 && std::rand() % 4 == 0 ? Rock : Dirt;
                    expected[r][c] = r == 0 ? SkyTop : r == 1 ? SkyBottom : drawn;
                }
            int dog = std::rand() % 20;
            int boneColumn = std::rand() % 20;
            int boneRow = mode == 0 ? std::rand() % 12 + 3 : std::rand() % 13 + 2;

            std::srand(seed);
            game.resetBoard(mode);
            ASSERT_EQ(game.boardWidth, 20);
            ASSERT_EQ(game.boardHeight, 15);
            for (int r = 0; r < 15; ++r)
                for (int c = 0; c < 20; ++c) ASSERT_EQ(cell(c, r), expected[r][c]) << c << "," << r;
            EXPECT_EQ(game.dogColumn, dog);
            EXPECT_EQ(game.dogRow, 1);
            EXPECT_EQ(game.boneColumn, boneColumn);
            EXPECT_EQ(game.boneRow, boneRow);
        }
    }
}

TEST_F(BoardTest, ResetsEndAFallAndTheMoveCount) {
    game.levelNumber = 6;
    for (int mode : {0, 1, 0}) {
        game.moveCount = 9;
        game.rockFalling = true;
        game.resetBoard(mode);
        EXPECT_FALSE(game.rockFalling);
        EXPECT_EQ(game.moveCount, 0);
        EXPECT_EQ(game.levelNumber, 6);
    }
}
