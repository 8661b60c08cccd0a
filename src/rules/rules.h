// The rules of play as one plain value: the board, the dog, the bone, the
// falling rock, the step in progress and the move count, with the operations
// that advance them tick by tick. No drawing, files, sound or keys: the game,
// the tests and the solver all drive this same code, and a position is saved
// or restored by one assignment.
#pragma once

#include <cstdint>

// The step in progress (RuleState::selection while playing).
enum Direction : int32_t {
    None = 0,
    Right = 1,
    Down = 2,
    Left = 3,
    Up = 4,
};

// What one step tick did: something visible changed; the dog reached the bone.
struct TickOutcome {
    bool changed = false;
    bool won = false;
};

struct RuleState {
    static constexpr int32_t boardWidth = 20;
    static constexpr int32_t boardHeight = 15;
    // The side of a cell in pixels: the dog and the falling rock move in
    // pixels, so the rules, the drawing and the pointer share it.
    static constexpr int32_t cellSize = 32;

    uint8_t board[boardHeight][boardWidth] = {};  // board[row][column], tile codes
    int32_t dogColumn = 0, dogRow = 0;
    int32_t dogOffsetX = 0, dogOffsetY = 0;  // pixels into the step; one of them at most non-zero
    int32_t boneColumn = 0, boneRow = 0;
    bool rockFalling = false;
    int32_t fallingRockX = 0, fallingRockY = 0;  // pixels
    int32_t fallColumn = 0, fallRow = 0;         // the cell last examined for a loose rock
    int32_t selection = None;                    // the step's Direction; the game also uses it
                                                 // as menu highlight and editor brush
    int32_t moveCount = 0;
    // The dog's cell when the current tick began: a refused step returns there.
    int32_t stepStartColumn = 0, stepStartRow = 0;

    // Remembers the dog's cell as the start of the tick about to run.
    void beginTick() { stepStartColumn = dogColumn, stepStartRow = dogRow; }
    // Accepts the held arrows as moves; each counts, even one the board refuses.
    void startMove(bool up, bool down, bool right, bool left);
    // One tick of the step in progress (also run with no step: it settles the dog's cell).
    TickOutcome stepTick();
    // One tick of the falling rock; true when something visible changed.
    bool fallTick();
    // Ends the step: no direction, no offsets.
    void stopStep();
    // After a landing, starts the next loose rock up the same column; true if one starts.
    bool startNextFall();

    bool onBoard(int32_t column, int32_t row) const {
        return column >= 0 && row >= 0 && column < boardWidth && row < boardHeight;
    }
    // Standing still in a cell on the board, no rock falling: where a move can start.
    bool betweenMoves() const;
    // Every field within the ranges the rules keep (a state read from anywhere
    // can be checked before it is played).
    bool valid() const;

    bool operator==(const RuleState& other) const;
    bool operator!=(const RuleState& other) const { return !(*this == other); }
};

// Plays one arrow (a Direction) from a position between moves, tick by tick,
// until the dog stands still again; true when the dog reaches the bone on
// the way (play stops at that tick, as the game leaves the board then).
bool playMove(RuleState& state, int32_t direction);

// The same move as playMove in whole-cell steps (play/cell_moves.h): the
// same cells, dog, move count and result, with the dog standing still at the
// end; only the falling rock's last place and other per-tick scratch fields
// are not kept. The solver's shortcut; the position must be between moves.
bool slideMove(RuleState& state, int32_t direction);

// "Up", "Down", "Left", "Right", or "None".
const char* directionName(int32_t direction);
