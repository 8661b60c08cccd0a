#include "session/move_keys.h"

#include "rules/rules.h"

MoveKeys::Moves MoveKeys::look(const Keys& keys, bool idle, unsigned long nowMs, const bool (&wouldMove)[Count]) {
    Moves moves;
    if (!idle) {
        // One press kept, the latest: the player's last word is the move wanted next.
        int latest = keys.latest >= 0 && keys.latest < Count && keys.pressed[keys.latest] ? keys.latest : -1;
        for (int a = 0; a < Count && latest < 0; ++a)
            if (keys.pressed[a]) latest = a;
        if (latest >= 0) {
            if (queued_ < 0) queuedAt_ = nowMs;
            queued_ = latest;
        }
        for (int a = 0; a < Count; ++a) track_[a].held = keys.down[a];
        return moves;
    }
    bool anyPressed = false;
    for (int a = 0; a < Count; ++a) anyPressed |= keys.pressed[a];
    for (int a = 0; a < Count; ++a) {
        Track& t = track_[a];
        // A press now, or the one kept from the move just ended when none is new.
        const bool fresh = keys.pressed[a] || (!anyPressed && queued_ == a);
        const bool repeat = keys.down[a] && t.held && t.repeats && wouldMove[a] && nowMs - t.lastPlayed >= kRepeatMs;
        moves.arrow[a] = fresh || repeat;
        t.held = keys.down[a];
        t.played = moves.arrow[a];
        if (moves.arrow[a]) {
            t.lastPlayed = nowMs;
            t.repeats = true;  // until moveEnded says otherwise
        }
    }
    queued_ = -1;
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
