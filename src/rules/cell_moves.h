// One whole move in cell steps: the same rules as the ticks of rules.cpp,
// without the pixel steps in between, for the solver. Between two arrivals
// nothing but the dog's offset changes, and while a rock falls nothing but
// the rock moves, so only arrivals and a rock's cell boundaries are played.
// The differential test holds this to the ticks.
//
// A Board offers, for a cell (column, row) on the board: passable, rock,
// dirt, tunnel, ground (the ground line, whole or broken); and the changes
// dig (dirt to tunnel), loosen (a rock starts to fall: tunnel), land (a rock
// comes to rest: black rock) and breakGround (a whole ground line cell breaks);
// and settled(column), told when the rocks of a column have stopped moving.
#pragma once

#include <cstdint>

#include "rules/rules.h"

namespace cellmoves {

const int kColumns = RuleState::boardWidth;
const int kRows = RuleState::boardHeight;

inline bool onBoard(int column, int row) { return column >= 0 && row >= 0 && column < kColumns && row < kRows; }

struct Goal {
    int boneColumn, boneRow;
};

// A rock loosened from (column, startRow) falls: it always enters the cell
// below, then goes on through tunnels until the dog, the bone's cell or
// anything else stops it; then the next loose rock up the column follows.
template <class Board>
void fall(Board& b, int column, int startRow, int dogColumn, int dogRow, const Goal& goal) {
    int row = startRow + 1;
    for (;;) {
        if (row >= kRows) {  // from the bottom row: it rests where it was
            b.land(column, kRows - 1);
            b.settled(column);
            return;
        }
        while (row < kRows - 1 && b.tunnel(column, row + 1) && !(column == dogColumn && row + 1 == dogRow) &&
               !(column == goal.boneColumn && row == goal.boneRow))
            ++row;
        b.land(column, row);
        int r = row - 1;
        for (; r >= 2; --r)
            if (b.rock(column, r) && b.tunnel(column, r + 1) && !(column == dogColumn && r == dogRow) &&
                !(column == goal.boneColumn && r == goal.boneRow))
                break;
        if (r < 2) {
            b.settled(column);
            return;
        }
        b.loosen(column, r);
        row = r + 1;
    }
}

// Plays one arrow from a position between moves; the dog ends standing
// still. True when the dog reaches the bone (play stops there, as the game
// leaves the board then).
template <class Board>
bool move(Board& b, int& dogColumn, int& dogRow, int32_t direction, const Goal& goal) {
    static const int kDx[] = {0, 1, 0, -1, 0}, kDy[] = {0, 0, 1, 0, -1};
    int32_t step = direction;
    if (step == Down && b.ground(dogColumn, dogRow)) b.breakGround(dogColumn, dogRow);
    for (;;) {
        const int column = dogColumn + kDx[step], row = dogRow + kDy[step];
        if (step == None || !onBoard(column, row) || !b.passable(column, row)) {
            // Refused, at the edge, or no arrow: the dog settles in its own cell.
            bool loose = b.rock(dogColumn, dogRow);
            if (b.dirt(dogColumn, dogRow)) b.dig(dogColumn, dogRow);
            if (loose) b.loosen(dogColumn, dogRow);
            if (dogColumn == goal.boneColumn && dogRow == goal.boneRow) return true;
            if (loose) fall(b, dogColumn, dogRow, dogColumn, dogRow, goal);
            return false;
        }
        // Every tick tests the goal, the first of a step too.
        if (dogColumn == goal.boneColumn && dogRow == goal.boneRow) return true;
        dogColumn = column;
        dogRow = row;
        if (b.ground(column, row)) {
            if (step == Up) b.breakGround(column, row);
            step = None;
        }
        if (b.dirt(column, row)) b.dig(column, row);
        int fallColumn = column, fallRow = row;
        switch (step) {
        case Right: fallColumn -= 1, fallRow -= 1; break;
        case Down: fallRow -= 2; break;
        case Left: fallColumn += 1, fallRow -= 1; break;
        case Up: fallRow += 1; break;
        default: break;
        }
        bool loose = onBoard(fallColumn, fallRow) && b.rock(fallColumn, fallRow);
        if (loose) b.loosen(fallColumn, fallRow);
        if (column == goal.boneColumn && row == goal.boneRow) return true;
        if (loose) fall(b, fallColumn, fallRow, dogColumn, dogRow, goal);
        if (step == None) return false;
    }
}

}  // namespace cellmoves
