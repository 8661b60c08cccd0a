#include "session/move_keys.h"

#include "rules/rules.h"

MoveKeys::Moves MoveKeys::look(const Keys& keys, bool idle, unsigned long nowMs) {
    Moves moves;
    for (int a = 0; a < Count; ++a) {
        Track& t = track_[a];
        const bool down = keys.down[a], pressed = keys.pressed[a];
        if (!down) {
            // Let go: a press between two looks still plays if the dog was free.
            moves.arrow[a] = idle && pressed;
            t = Track{false, false, moves.arrow[a], false, moves.arrow[a] ? nowMs : t.lastPlayed};
            continue;
        }
        // A press that arrives while the dog is busy waits for her, as long as
        // the key stays down.
        if (!idle) {
            if (pressed) t.pending = true, t.repeats = false;
            t.held = true;
            continue;
        }
        const bool fresh = pressed || t.pending;
        const bool repeat = t.held && t.repeats && nowMs - t.lastPlayed >= kRepeatMs;
        moves.arrow[a] = fresh || repeat;
        t.held = true;
        t.pending = false;
        if (moves.arrow[a]) {
            t.lastPlayed = nowMs;
            t.repeats = true;  // until moveEnded says otherwise
        }
    }
    for (int a = 0; a < Count; ++a) track_[a].played = moves.arrow[a];
    return moves;
}

void MoveKeys::moveEnded(int32_t taken, bool refused) {
    static const int32_t direction[Count] = {::Up, ::Down, ::Right, ::Left};
    for (int a = 0; a < Count; ++a) {
        Track& t = track_[a];
        if (!t.played) continue;
        t.repeats = !refused && direction[a] == taken;
        t.played = false;
    }
}
