// The rules of play: the dog's slide, digging, the ground line, falling rocks
// and the goal. Everything here is arithmetic on the rule state, so the
// solver and the tests drive exactly the code the player does.
#include "rules/rules.h"

#include <cstring>

#include "rules/cell_moves.h"
#include "rules/tiles.h"

namespace {
const int32_t kCell = RuleState::cellSize;
const int32_t kDogSpeed = 2;   // pixels per tick
const int32_t kRockSpeed = 4;  // pixels per tick
// Right and Down look at the far edge of the dog; Left and Up at its near edge.
const int32_t kProbeAhead = 30;

// A cell of the board, or null when the position lies outside it. Positions
// can come from hand-made level files, so every lookup goes through here.
uint8_t* cellAt(RuleState& s, int32_t column, int32_t row) {
    return s.onBoard(column, row) ? &s.board[row][column] : nullptr;
}
}  // namespace

// Every accepted arrow is a move, even one the board then refuses. A vertical
// and a horizontal arrow in the same tick both count; the horizontal one wins.
void RuleState::startMove(bool up, bool down, bool right, bool left) {
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

TickOutcome RuleState::stepTick() {
    TickOutcome outcome;
    switch (selection) {
    case Right:
        dogOffsetX += kDogSpeed;
        outcome.changed = true;
        break;
    case Down:
        dogOffsetY += kDogSpeed;
        outcome.changed = true;
        break;
    case Left:
        dogOffsetX -= kDogSpeed;
        outcome.changed = true;
        break;
    case Up:
        dogOffsetY -= kDogSpeed;
        outcome.changed = true;
        break;
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
        outcome.changed = true;
        y = kCell * dogRow;
    } else if (y / kCell >= boardHeight) {
        dogRow = boardHeight - 1;
        stopStep();
        outcome.changed = true;
        y = kCell * dogRow;
    }
    if (x < 0) {
        dogColumn = 0;
        stopStep();
        outcome.changed = true;
        x = 0;
    } else if (x / kCell >= boardWidth) {
        dogColumn = boardWidth - 1;
        stopStep();
        outcome.changed = true;
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
        outcome.changed = true;
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
        case Right:
            fallColumn -= 1;
            fallRow -= 1;
            break;
        case Down: fallRow -= 2; break;
        case Left:
            fallColumn += 1;
            fallRow -= 1;
            break;
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
        outcome.changed = true;
        outcome.won = true;
    }
    return outcome;
}

// The rock moves a pixel step; on each cell boundary it decides whether to
// drop on through a tunnel or to come to rest.
bool RuleState::fallTick() {
    if (fallingRockY % kCell != 0) {
        fallingRockY += kRockSpeed;
        return true;
    }
    int32_t column = fallingRockX / kCell;
    int32_t row = fallingRockY / kCell;

    if (row >= boardHeight) {
        // Past the bottom edge: it rests in the bottom row.
        if (uint8_t* rest = cellAt(*this, column, row - 1)) *rest = BlackRock;
        rockFalling = false;
        return startNextFall();
    }

    const uint8_t* below = cellAt(*this, column, row + 1);
    bool dogBelow = column == dogColumn && row + 1 == dogRow;
    bool onBone = column == boneColumn && row == boneRow;
    if (row < boardHeight - 1 && below && *below == Tunnel && !dogBelow && !onBone) {
        fallingRockY += kRockSpeed;
        return true;
    }

    if (uint8_t* rest = cellAt(*this, column, row)) *rest = BlackRock;
    rockFalling = false;
    return startNextFall();
}

void RuleState::stopStep() {
    selection = None;
    dogOffsetX = 0;
    dogOffsetY = 0;
}

// After a landing, the next rock up the same column that has a tunnel under
// it drops. Rows 0 and 1 are sky and never searched.
bool RuleState::startNextFall() {
    int32_t column = fallingRockX / kCell;
    int32_t row = fallingRockY / kCell;
    if (row >= boardHeight) return false;
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
        return true;
    }
    return false;
}

bool RuleState::betweenMoves() const {
    return selection == None && !rockFalling && dogOffsetX == 0 && dogOffsetY == 0 && onBoard(dogColumn, dogRow);
}

bool RuleState::valid() const {
    if (!onBoard(dogColumn, dogRow) || !onBoard(boneColumn, boneRow) || !onBoard(stepStartColumn, stepStartRow) ||
        moveCount < 0)
        return false;
    // The offset of the step's own axis runs from 0 towards its direction in
    // steps of the dog's speed; the other offset stays 0.
    int32_t along = 0, across = 0;
    switch (selection) {
    case None:
        along = dogOffsetX, across = dogOffsetY;
        if (along != 0) return false;
        break;
    case Right: along = dogOffsetX, across = dogOffsetY; break;
    case Left: along = -dogOffsetX, across = dogOffsetY; break;
    case Down: along = dogOffsetY, across = dogOffsetX; break;
    case Up: along = -dogOffsetY, across = dogOffsetX; break;
    default: return false;
    }
    if (across != 0 || along < 0 || along >= kCell || along % kDogSpeed != 0) return false;
    if (!rockFalling) return true;
    // A falling rock freezes the dog in a cell; the rock runs down to just
    // past the bottom row.
    return dogOffsetX == 0 && dogOffsetY == 0 && fallingRockX >= 0 && fallingRockX % kCell == 0 &&
           fallingRockX / kCell < boardWidth && fallingRockY >= kRockSpeed && fallingRockY <= kCell * boardHeight &&
           fallingRockY % kRockSpeed == 0;
}

bool RuleState::operator==(const RuleState& o) const {
    return std::memcmp(board, o.board, sizeof board) == 0 && dogColumn == o.dogColumn && dogRow == o.dogRow &&
           dogOffsetX == o.dogOffsetX && dogOffsetY == o.dogOffsetY && boneColumn == o.boneColumn &&
           boneRow == o.boneRow && rockFalling == o.rockFalling && fallingRockX == o.fallingRockX &&
           fallingRockY == o.fallingRockY && fallColumn == o.fallColumn && fallRow == o.fallRow &&
           selection == o.selection && moveCount == o.moveCount && stepStartColumn == o.stepStartColumn &&
           stepStartRow == o.stepStartRow;
}

bool playMove(RuleState& s, int32_t direction) {
    s.beginTick();
    s.startMove(direction == Up, direction == Down, direction == Right, direction == Left);
    if (s.stepTick().won) return true;
    // A slide cannot outlast a trip over the whole board with every rock
    // falling; the bound only guards against a rules change that never ends.
    for (int ticks = 0; ticks < 200000; ++ticks) {
        if (s.selection == None && !s.rockFalling) return false;
        s.beginTick();
        if (s.rockFalling)
            s.fallTick();
        else if (s.stepTick().won)
            return true;
    }
    return false;
}

namespace {
// The rule state's board for the cell steps: the tile codes themselves.
struct CodeBoard {
    uint8_t (&cells)[RuleState::boardHeight][RuleState::boardWidth];
    bool passable(int c, int r) const { return isPassable(cells[r][c]); }
    bool rock(int c, int r) const { return isRock(cells[r][c]); }
    bool dirt(int c, int r) const { return cells[r][c] == Dirt; }
    bool tunnel(int c, int r) const { return cells[r][c] == Tunnel; }
    bool ground(int c, int r) const { return cells[r][c] == SkyBottom || cells[r][c] == SkyBottomDestroyed; }
    void dig(int c, int r) { cells[r][c] = Tunnel; }
    void loosen(int c, int r) { cells[r][c] = Tunnel; }
    void land(int c, int r) { cells[r][c] = BlackRock; }
    void breakGround(int c, int r) {
        if (cells[r][c] == SkyBottom) cells[r][c] = SkyBottomDestroyed;
    }
    void settled(int) {}
};
}  // namespace

bool slideMove(RuleState& s, int32_t direction) {
    if (direction >= Right && direction <= Up) ++s.moveCount;
    CodeBoard board{s.board};
    bool won = cellmoves::move(board, s.dogColumn, s.dogRow, direction >= Right && direction <= Up ? direction : None,
                               {s.boneColumn, s.boneRow});
    s.stopStep();
    s.rockFalling = false;
    return won;
}

const char* directionName(int32_t direction) {
    switch (direction) {
    case Up: return "Up";
    case Down: return "Down";
    case Left: return "Left";
    case Right: return "Right";
    default: return "None";
    }
}
