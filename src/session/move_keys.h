// When an arrow makes a move: once per press, however long it is held; again
// every 250 ms while it stays down and its move would change the board, never
// into a refused move. A press made while the dog slides or a rock falls is
// kept (the latest one) and played as soon as the move ends. Plain logic over
// presses, held keys and a clock, so it can be driven by a table of timings.
#pragma once

#include <cstdint>

class MoveKeys {
public:
    static constexpr unsigned long kRepeatMs = 250;
    enum Arrow { Up, Down, Right, Left, Count };

    struct Keys {
        bool down[Count] = {};     // held now
        bool pressed[Count] = {};  // pressed since the last look (maybe let go since)
        int latest = -1;           // the arrow pressed last, if any was
    };
    struct Moves {
        bool arrow[Count] = {};
        bool any() const { return arrow[Up] || arrow[Down] || arrow[Right] || arrow[Left]; }
    };

    // One look at the arrows. `idle`: the dog stands still and no rock falls,
    // so a move may start now; the result is what to play (nothing when busy).
    // `wouldMove` says whether an arrow's move would change the board now:
    // only such a move repeats while its key is held.
    Moves look(const Keys& keys, bool idle, unsigned long nowMs, const bool (&wouldMove)[Count]);
    // The move last played has ended; `taken` is the Direction the dog took
    // (1 Right, 2 Down, 3 Left, 4 Up), `refused` whether it changed nothing.
    // Only the key of a move that went somewhere repeats while held.
    void moveEnded(int32_t taken, bool refused);
    // A press waits for the move in progress to end.
    bool waiting() const { return queued_ >= 0; }
    unsigned long waitingSince() const { return queuedAt_; }
    // Forget every press and hold (a new level, or back from another screen).
    void reset() { *this = MoveKeys(); }

private:
    struct Track {
        bool held = false;     // down at the last look
        bool played = false;   // part of the move last played
        bool repeats = false;  // may repeat while held
        unsigned long lastPlayed = 0;
    };
    Track track_[Count];
    int queued_ = -1;  // the arrow pressed during a move, to play after it
    unsigned long queuedAt_ = 0;
};
