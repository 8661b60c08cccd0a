// When an arrow makes a move: once per press, however long it is held; again
// every 250 ms while it stays down and its move would change the board, never
// into a refused move. Presses made while the dog slides or a rock falls are
// kept in order (up to kMostWaiting) and played one after another once the
// move ends. Plain logic over presses, held keys and a clock, so it can be
// driven by a table of timings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

class MoveKeys {
public:
    static constexpr unsigned long kRepeatMs = 250;
    static constexpr size_t kMostWaiting = 16;
    enum Arrow { Up, Down, Right, Left, Count };

    struct Keys {
        bool down[Count] = {};  // held now
        // The arrows pressed since the last look, in order (maybe let go since).
        Arrow presses[kMostWaiting] = {};
        size_t pressCount = 0;
        void press(Arrow a) {
            if (pressCount < kMostWaiting) presses[pressCount++] = a;
        }
    };

    // One look at the arrows: their presses join the waiting ones. `idle`:
    // the dog stands still and no rock falls, so a move may start now; then
    // `arrow` is the one to play (the oldest press waiting, else a held
    // arrow's repeat) and true comes back. `wouldMove` says whether an
    // arrow's move would change the board now: only such a move repeats
    // while its key is held.
    bool look(const Keys& keys, bool idle, unsigned long nowMs, const bool (&wouldMove)[Count], Arrow& arrow);
    // The move last played has ended; `refused` when it changed nothing.
    // Only the key of a move that went somewhere repeats while held.
    void moveEnded(bool refused);
    // Presses wait for the move in progress.
    bool waiting() const { return !queue_.empty(); }
    size_t waitingCount() const { return queue_.size(); }
    // When the oldest press waiting was made.
    unsigned long waitingSince() const { return queuedAt_; }
    // Forgets the presses waiting (U, Escape); held keys still repeat.
    void forgetPresses() { queue_.clear(); }
    // Forget every press and hold (a new level, or back from another screen).
    void reset() { *this = MoveKeys(); }

private:
    struct Track {
        bool held = false;     // down at the last look
        bool repeats = false;  // may repeat while held
        unsigned long lastPlayed = 0;
    };
    Track track_[Count];
    std::deque<Arrow> queue_;  // pressed, not yet played, oldest first
    unsigned long queuedAt_ = 0;
    int played_ = -1;  // the arrow of the move last played
};
