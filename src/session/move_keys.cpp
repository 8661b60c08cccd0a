#include "session/move_keys.h"

bool MoveKeys::look(const Keys& keys, bool idle, unsigned long nowMs, const bool (&wouldMove)[Count], Arrow& arrow) {
    for (size_t i = 0; i < keys.pressCount && i < kMostWaiting; ++i) {
        if (queue_.size() >= kMostWaiting) break;  // more than that is no plan, just a held-down hand
        if (queue_.empty()) queuedAt_ = nowMs;
        queue_.push_back(keys.presses[i]);
    }
    bool play = false;
    if (idle && !queue_.empty()) {
        arrow = queue_.front();
        queue_.pop_front();
        queuedAt_ = nowMs;  // the next press waits from now
        play = true;
    } else if (idle) {
        for (int a = 0; a < Count && !play; ++a) {
            const Track& t = track_[a];
            if (keys.down[a] && t.held && t.repeats && wouldMove[a] && nowMs - t.lastPlayed >= kRepeatMs) {
                arrow = static_cast<Arrow>(a);
                play = true;
            }
        }
    }
    for (int a = 0; a < Count; ++a) track_[a].held = keys.down[a];
    if (play) {
        Track& t = track_[arrow];
        t.lastPlayed = nowMs;
        t.repeats = true;  // until moveEnded says otherwise
        played_ = arrow;
    }
    return play;
}

void MoveKeys::moveEnded(bool refused) {
    if (played_ < 0) return;
    track_[played_].repeats = !refused;
    played_ = -1;
}
