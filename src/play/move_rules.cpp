// The rules of play: the dog's slide, digging, the ground line, falling rocks
// and the goal. Everything here is arithmetic on the board and the Game's
// fields, so the solver and the tests drive exactly the code the player does.
#include "play/tiles.h"
#include "shell/game.h"

namespace {
const int32_t kCell = 32;
const int32_t kDogSpeed = 2;   // pixels per tick
const int32_t kRockSpeed = 4;  // pixels per tick
// Right and Down look at the far edge of the dog; Left and Up at its near edge.
const int32_t kProbeAhead = 30;

// A cell of the board, or null when the position lies outside it. Positions
// can come from hand-made level files, so every lookup goes through here.
uint8_t* cellAt(Game& g, int32_t column, int32_t row) {
    if (!g.board || column < 0 || row < 0 || column >= g.boardWidth || row >= g.boardHeight)
        return nullptr;
    return g.board[row] ? &g.board[row][column] : nullptr;
}
}  // namespace

// One playing tick. A falling rock freezes everything else; keys are read
// only while the dog stands still.
void Game::handlePlayInput() {
    if (rockFalling) {
        fallTick();
        return;
    }
    if (selection == None) {
        // After the options screen only Right and Left are looked at: an Up
        // or Down still held from the menu must not start a move.
        bool fromOptions = key[KEY_O] != 0;
        if (fromOptions) {
            fadeOut(5);
            optionsMenu();
        }
        startMove(!fromOptions && key[KEY_UP] != 0, !fromOptions && key[KEY_DOWN] != 0, key[KEY_RIGHT] != 0,
                  key[KEY_LEFT] != 0);
        if (!handlePlayCommandKeys()) return;
    }
    stepTick();
}

// Every accepted arrow is a move, even one the board then refuses. A vertical
// and a horizontal arrow in the same tick both count; the horizontal one wins.
void Game::startMove(bool up, bool down, bool right, bool left) {
    if (up) {
        selection = Up;
        ++moveCount;
    } else if (down) {
        selection = Down;
        ++moveCount;
        // Digging down out of the ground line breaks it, even when the cell
        // below turns out to be a rock.
        uint8_t* own = cellAt(*this, dogColumn, dogRow);
        if (own && *own == SkyBottom) *own = SkyBottomDestroyed;
    }
    if (right) {
        selection = Right;
        ++moveCount;
    } else if (left) {
        selection = Left;
        ++moveCount;
    }
}

void Game::stepTick() {
    switch (selection) {
        case Right: dogOffsetX += kDogSpeed; redrawNeeded = true; break;
        case Down: dogOffsetY += kDogSpeed; redrawNeeded = true; break;
        case Left: dogOffsetX -= kDogSpeed; redrawNeeded = true; break;
        case Up: dogOffsetY -= kDogSpeed; redrawNeeded = true; break;
        default: break;
    }

    // A whole cell covered: the dog now belongs to the next cell.
    if (dogOffsetX >= kCell || dogOffsetX <= -kCell) {
        dogColumn += dogOffsetX / kCell;
        dogOffsetX = 0;
    }
    if (dogOffsetY >= kCell || dogOffsetY <= -kCell) {
        dogRow += dogOffsetY / kCell;
        dogOffsetY = 0;
    }

    // The point whose cell the dog is about to enter.
    int32_t x = kCell * dogColumn + dogOffsetX + (selection == Right ? kProbeAhead : 0);
    int32_t y = kCell * dogRow + dogOffsetY + (selection == Down ? kProbeAhead : 0);

    // The board's edges stop the dog in the last cell inside.
    if (y < 0) {
        dogRow = 0;
        stopStep();
        y = kCell * dogRow;
    } else if (y / kCell >= boardHeight) {
        dogRow = boardHeight - 1;
        stopStep();
        y = kCell * dogRow;
    }
    if (x < 0) {
        dogColumn = 0;
        stopStep();
        x = 0;
    } else if (x / kCell >= boardWidth) {
        dogColumn = boardWidth - 1;
        stopStep();
        x = kCell * dogColumn;
    }

    // A wall ahead: the dog stays in the cell it stood in when the tick began.
    const uint8_t* ahead = cellAt(*this, x / kCell, y / kCell);
    if (!ahead || !isPassable(*ahead)) {
        dogColumn = stepStartColumn;
        dogRow = stepStartRow;
        x = kCell * dogColumn;
        y = kCell * dogRow;
        stopStep();
        redrawNeeded = true;
    }

    // Standing exactly in a cell: dig, stop on the ground line, loosen a rock.
    if (dogOffsetX == 0 && dogOffsetY == 0) {
        int32_t column = x / kCell;
        int32_t row = y / kCell;
        uint8_t* own = cellAt(*this, column, row);
        if (own) {
            if (*own == SkyBottom && selection == Up) *own = SkyBottomDestroyed;
            if (*own == SkyBottom || *own == SkyBottomDestroyed) selection = None;
            if (*own == Dirt) *own = Tunnel;
        }

        // The cell that may hold a rock now free to drop: above the cell just
        // left, or for Up the cell just left itself.
        fallColumn = column;
        fallRow = row;
        switch (selection) {
            case Right: fallColumn -= 1; fallRow -= 1; break;
            case Down: fallRow -= 2; break;
            case Left: fallColumn += 1; fallRow -= 1; break;
            case Up: fallRow += 1; break;
            default: break;
        }
        uint8_t* loose = cellAt(*this, fallColumn, fallRow);
        if (loose && isRock(*loose)) {
            rockFalling = true;
            fallingRockX = kCell * fallColumn;
            fallingRockY = kCell * fallRow + kRockSpeed;
            *loose = Tunnel;
        }
    }

    if (dogColumn == boneColumn && dogRow == boneRow) {
        screenMode = LevelWon;
        redrawNeeded = true;
        if (recordWins) updateHighScores();
    }
}

// The rock moves a pixel step; on each cell boundary it decides whether to
// drop on through a tunnel or to come to rest.
void Game::fallTick() {
    if (fallingRockY % kCell != 0) {
        fallingRockY += kRockSpeed;
        redrawNeeded = true;
        return;
    }
    int32_t column = fallingRockX / kCell;
    int32_t row = fallingRockY / kCell;

    if (row >= boardHeight) {
        // Past the bottom edge: it rests in the bottom row.
        if (uint8_t* rest = cellAt(*this, column, row - 1)) *rest = BlackRock;
        rockFalling = false;
        startNextFall();
        return;
    }

    const uint8_t* below = cellAt(*this, column, row + 1);
    bool dogBelow = column == dogColumn && row + 1 == dogRow;
    bool onBone = column == boneColumn && row == boneRow;
    if (row < boardHeight - 1 && below && *below == Tunnel && !dogBelow && !onBone) {
        fallingRockY += kRockSpeed;
        redrawNeeded = true;
        return;
    }

    if (uint8_t* rest = cellAt(*this, column, row)) *rest = BlackRock;
    rockFalling = false;
    startNextFall();
}

void Game::stopStep() {
    selection = None;
    dogOffsetX = 0;
    dogOffsetY = 0;
    redrawNeeded = true;
}

// After a landing, the next rock up the same column that has a tunnel under
// it drops. Rows 0 and 1 are sky and never searched.
void Game::startNextFall() {
    int32_t column = fallingRockX / kCell;
    int32_t row = fallingRockY / kCell;
    if (row >= boardHeight) return;
    for (int32_t r = row - 1; r >= 2; --r) {
        uint8_t* cell = cellAt(*this, column, r);
        const uint8_t* below = cellAt(*this, column, r + 1);
        if (!cell || !below) continue;
        if (!isRock(*cell) || *below != Tunnel) continue;
        if (column == dogColumn && r == dogRow) continue;
        if (column == boneColumn && r == boneRow) continue;
        rockFalling = true;
        fallingRockX = kCell * column;
        fallingRockY = kCell * r + kRockSpeed;
        *cell = Tunnel;
        redrawNeeded = true;
        return;
    }
}
