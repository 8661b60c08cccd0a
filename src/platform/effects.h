// The sounds that answer the player: a cue from the session becomes one
// short sound on a channel of its own (7..15, above the garden's 0..6),
// varied so that a run of the same cue never sounds mechanical.
#pragma once

#include <vector>

#include "platform/garden.h"
#include "session/cues.h"

struct FSOUND_STREAM;

namespace effects {

constexpr int kFirstChannel = 7, kLastChannel = 15;

// A rock's landing while `sounding` others still sound: each later one a
// third quieter than the one before, and none beyond the third, so that a
// collapse is heard as a rumble, not a wall. 0: not played.
int landingVolume(int volume, int sounding);
// Whether a sound (index into paths()) is a rock's landing.
bool isLanding(int sound);

// The files, by index.
const std::vector<const char*>& paths();

// How one cue sounds this time.
struct Choice {
    int sound = -1;  // index into paths(); -1: nothing
    double pitch = 1;
    int volume = 0;  // 0..255
};

// Chooses among a cue's variants, pitches and loudness; pure, for tests.
class Picker {
public:
    explicit Picker(uint32_t seed) : random_(seed) {}
    Choice pick(const CueEvent& event);

private:
    garden::Random random_;
    int lastDig_ = -1, lastStep_ = -1;
};

}  // namespace effects

// Call open once after FSOUND_Init. While switched off it makes no call to
// the sound layer at all.
class Effects {
public:
    Effects();
    void open();
    void setEnabled(bool enabled);
    bool enabled() const { return enabled_; }
    void play(const CueEvent& event);
    // The player's effects volume, 0..100 per cent.
    void setVolume(int percent);

private:
    std::vector<FSOUND_STREAM*> streams_;
    std::vector<int> sounds_;  // by channel from kFirstChannel: the sound it last started
    effects::Picker picker_;
    bool enabled_ = true;
};
