#include "platform/ambient.h"

#include <ctime>

namespace {

struct AmbientTableRow {
    const char* path;
    unsigned int mode;
    int32_t interval;  // seconds of waiting, and again of playing
    int32_t channel;
    int32_t volume;
};

const AmbientTableRow kAmbientTable[5] = {
    {"sounds/bird1a.mp3", FSOUND_LOOP_NORMAL, 3, 1, 155},
    {"sounds/chaffinch1a.mp3", FSOUND_LOOP_OFF, 63, 2, 170},
    {"sounds/car9b.mp3", FSOUND_LOOP_OFF, 300, 3, 200},
    {"sounds/willow1a.mp3", FSOUND_LOOP_OFF, 200, 4, 170},
    {"sounds/dog1a.mp3", FSOUND_LOOP_OFF, 348, 0, 25},
};

int32_t now() { return static_cast<int32_t>(std::time(nullptr)); }

}  // namespace

void Ambient::open() {
    for (int i = 0; i < 5; ++i) {
        const AmbientTableRow& row = kAmbientTable[i];
        Sound& sound = sounds_[i];
        sound.lastChange = now();
        sound.playing = false;
        sound.stream = FSOUND_Stream_Open(row.path, row.mode, 0, 0);
        sound.interval = row.interval;
        sound.channel = row.channel;
        sound.volume = row.volume;
    }
}

void Ambient::update(bool audible) {
    if (!audible) {
        for (const Sound& sound : sounds_) FSOUND_StopSound(sound.channel);
        return;
    }
    for (Sound& sound : sounds_) {
        // 64-bit sum: an absurd interval must not wrap round to the past.
        if (static_cast<int64_t>(now()) <= static_cast<int64_t>(sound.lastChange) + sound.interval) continue;
        sound.lastChange = now();
        if (!sound.playing) {
            sound.playing = true;
            FSOUND_Stream_Play(sound.channel, sound.stream);
            FSOUND_SetVolume(sound.channel, sound.volume);
        } else {
            // A recording that plays once has run out by now; the looping
            // bird is left to the next start request.
            sound.playing = false;
        }
    }
}
