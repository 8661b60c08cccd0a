// Finds the fewest moves that win a level by playing the game's own rules
// (startMove, stepTick, fallTick) breadth-first from the level's start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class Game;

struct SolveResult {
    enum Outcome { Solved, Unwinnable, GaveUp };
    Outcome outcome = GaveUp;
    std::vector<int32_t> moves;  // Direction values, first move first
    std::string reason;          // why it cannot be won, when it can tell
    size_t statesExplored = 0;   // positions whose four moves were tried
    size_t statesSeen = 0;       // distinct positions reached
    double seconds = 0;
};

// Solves the level loaded in the game. Gives up once more than maxStates
// positions have been reached. The game's board and positions are put back
// as they were; its high-score table is never touched.
SolveResult solveLevel(Game& game, size_t maxStates = 2000000);

// Taps one arrow key (a Direction) with the game standing still, and runs the
// game's ticks until the dog stands still again or the level is won; true on
// a win. The game must be on the playing screen.
bool playMove(Game& game, int32_t direction);

// "Up", "Down", "Left", "Right".
const char* directionName(int32_t direction);
