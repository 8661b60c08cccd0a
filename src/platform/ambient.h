// The garden's ambient sounds: five recordings, each alternating between a
// waiting and a playing phase of fixed length, heard only while a level is
// played and ambient noise is on.
#pragma once

#include <cstdint>

#include "platform/sound.h"

class Ambient {
public:
    // Opens the recordings (a missing file stays silent).
    void open();
    // Starts and stops the recordings by their rhythm while `audible`;
    // otherwise everything is quiet and the rhythm keeps its times.
    void update(bool audible);

private:
    struct Sound {
        FSOUND_STREAM* stream = nullptr;
        int32_t lastChange = 0;  // seconds of time(): last start or end of playing
        int32_t interval = 0;    // seconds, both of waiting and of playing
        bool playing = false;
        int32_t channel = 0;
        int32_t volume = 0;  // 0..255, set on the channel at each start
    };
    Sound sounds_[5];
};
