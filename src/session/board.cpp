// The board's two starting layouts.
#include <cstdlib>

#include "rules/tiles.h"
#include "app/game.h"

// Mode 0: sky, ground line and plain dirt. Mode 1: the editor's random
// board. rand() is drawn in a fixed order so that a seeded run is repeatable.
void Game::resetBoard(int mode) {
    rockFalling = false;
    moveCount = 0;

    for (int32_t r = 0; r < boardHeight; ++r)
        for (int32_t c = 0; c < boardWidth; ++c) {
            // In mode 1 rows 0 and 1 draw too, though they are overwritten below.
            if (mode == 0)
                board[r][c] = Dirt;
            else
                board[r][c] = (std::rand() % 4 == 0) ? Rock : Dirt;
        }
    for (int32_t c = 0; c < boardWidth; ++c) {
        board[0][c] = SkyTop;
        board[1][c] = SkyBottom;
    }

    dogColumn = std::rand() % boardWidth;
    dogRow = 1;
    boneColumn = std::rand() % boardWidth;
    // The blank layout keeps the bone out of the first dirt row.
    if (mode == 0)
        boneRow = std::rand() % (boardHeight - 3) + 3;
    else
        boneRow = std::rand() % (boardHeight - 2) + 2;
    beginLevelPlay();
}
