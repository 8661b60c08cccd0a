// The board's storage and its two starting layouts.
#include <cstdlib>

#include "play/tiles.h"
#include "shell/game.h"

namespace {
const int32_t kColumns = 20;
const int32_t kRows = 15;
}  // namespace

// Mode 0: sky, ground line and plain dirt, allocating what storage is still
// missing. Mode 1: the editor's random board, on storage that already exists.
// rand() is drawn in a fixed order so that a seeded run is repeatable.
void Game::resetBoard(int mode) {
    rockFalling = false;
    moveCount = 0;
    boardHeight = kRows;
    boardWidth = kColumns;

    if (mode == 0) {
        // The storage is allocated once and kept for the life of the Game.
        if (!board) board = new uint8_t*[boardHeight]();
        for (int32_t r = 0; r < boardHeight; ++r)
            if (!board[r]) board[r] = new uint8_t[boardWidth];
        for (int32_t r = 2; r < boardHeight; ++r)
            for (int32_t c = 0; c < boardWidth; ++c) board[r][c] = Dirt;
    } else {
        if (!board) return;  // nothing to lay out on before the start-up reset
        for (int32_t r = 0; r < boardHeight; ++r)
            for (int32_t c = 0; c < boardWidth; ++c) {
                // Rows 0 and 1 draw too, though they are overwritten below.
                uint8_t code = (std::rand() % 4 == 0) ? Rock : Dirt;
                if (board[r]) board[r][c] = code;
            }
    }
    for (int32_t c = 0; c < boardWidth; ++c) {
        if (board[0]) board[0][c] = SkyTop;
        if (board[1]) board[1][c] = SkyBottom;
    }

    dogColumn = std::rand() % boardWidth;
    dogRow = 1;
    boneColumn = std::rand() % boardWidth;
    // The blank layout keeps the bone out of the first dirt row.
    if (mode == 0)
        boneRow = std::rand() % (boardHeight - 3) + 3;
    else
        boneRow = std::rand() % (boardHeight - 2) + 2;
}
