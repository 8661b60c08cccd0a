// What the session asks to be heard: one cue per thing the player did or
// saw happen. The session only names them; the sound layer decides how they
// sound, or stays silent when effects are off.
#pragma once

#include <cstdint>

enum class Cue : int32_t {
    Dig,      // one cell of earth dug
    Step,     // one cell walked on the grass
    Land,     // a rock landed; strength: the cells it fell
    Bump,     // a move the board refused
    Win,      // the bone reached
    Undo,     // a move taken back
    Hint,     // a hint shown
    DeadEnd,  // the bone can no longer be reached
    Click,    // a menu move or choice
    Count
};

struct CueEvent {
    Cue cue;
    int32_t strength = 1;
};
