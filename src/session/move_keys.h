// When an arrow makes a move: once per press, however long it is held; again
// every 250 ms while it stays down, unless the board refused it; never for a
// press made while the dog slides or a rock falls and let go before they end.
// Plain logic over presses, held keys and a clock, so it can be driven by a
// table of timings.
#pragma once

#include <cstdint>

class MoveKeys {
public:
    static constexpr unsigned long kRepeatMs = 250;
    enum Arrow { Up, Down, Right, Left, Count };

    struct Keys {
        bool down[Count] = {};     // held now
        bool pressed[Count] = {};  // pressed since the last look (maybe let go since)
    };
    struct Moves {
        bool arrow[Count] = {};
        bool any() const { return arrow[Up] || arrow[Down] || arrow[Right] || arrow[Left]; }
    };

    // One look at the arrows. `idle`: the dog stands still and no rock falls,
    // so a move may start now; the result is what to play (nothing when busy).
    Moves look(const Keys& keys, bool idle, unsigned long nowMs);
    // The move last played has ended; `taken` is the Direction the dog took
    // (1 Right, 2 Down, 3 Left, 4 Up), `refused` whether she stayed in her
    // cell. Only a key that moved the dog repeats while held.
    void moveEnded(int32_t taken, bool refused);
    // Forget every press and hold (a new level, or back from another screen).
    void reset() { *this = MoveKeys(); }

private:
    struct Track {
        bool held = false;        // down at the last look
        bool pending = false;     // pressed while busy and still held
        bool played = false;      // part of the move last played
        bool repeats = false;     // its move went somewhere: may repeat while held
        unsigned long lastPlayed = 0;
    };
    Track track_[Count];
};
