#include "platform/effects.h"

#include <algorithm>
#include <random>

#include "platform/sound.h"

namespace effects {

namespace {

enum Sound { Dig1, Dig2, Dig3, Dig4, Step1, Step2, Step3, LandLight, LandHeavy, Bump, Win, Undo, Hint, DeadEnd, Click };

// A variant other than the last, so that no two in a row are the same.
int another(garden::Random& random, int first, int count, int& last) {
    int pick = first + random.below(count - 1);
    if (pick >= last && last >= first) ++pick;
    return last = pick;
}

}  // namespace

int landingVolume(int volume, int sounding) {
    static const int kShare[] = {100, 67, 45};  // per cent of the volume, by landings already sounding
    return sounding < 0 || sounding >= 3 ? 0 : volume * kShare[sounding] / 100;
}

bool isLanding(int sound) { return sound == LandLight || sound == LandHeavy; }

const std::vector<const char*>& paths() {
    static const std::vector<const char*> table = {
        "sounds/effects/dig1.mp3",  "sounds/effects/dig2.mp3",       "sounds/effects/dig3.mp3",
        "sounds/effects/dig4.mp3",  "sounds/effects/step1.mp3",      "sounds/effects/step2.mp3",
        "sounds/effects/step3.mp3", "sounds/effects/land-light.mp3", "sounds/effects/land-heavy.mp3",
        "sounds/effects/bump.mp3",  "sounds/effects/win.mp3",        "sounds/effects/undo.mp3",
        "sounds/effects/hint.mp3",  "sounds/effects/deadend.mp3",    "sounds/effects/click.mp3",
    };
    return table;
}

Choice Picker::pick(const CueEvent& event) {
    switch (event.cue) {
    case Cue::Dig:  // soft: the dog digs a cell at every step of a long dig
        return {another(random_, Dig1, 4, lastDig_), random_.between(0.88, 1.12),
                static_cast<int>(random_.between(100, 140))};
    case Cue::Step:
        return {another(random_, Step1, 3, lastStep_), random_.between(0.9, 1.1),
                static_cast<int>(random_.between(45, 65))};
    case Cue::Land: {
        // The further it fell, the lower and louder the thud.
        const int cells = std::clamp(event.strength, 1, 12);
        if (cells == 1) return {LandLight, random_.between(0.97, 1.05), 130};
        return {LandHeavy, std::max(0.75, 1.05 - 0.04 * (cells - 2)), std::min(255, 150 + 15 * (cells - 2))};
    }
    case Cue::Bump: return {Bump, random_.between(0.95, 1.05), 120};
    case Cue::Win: return {Win, 1, 200};
    case Cue::Undo: return {Undo, 1, 110};
    case Cue::Hint: return {Hint, 1, 120};
    case Cue::DeadEnd: return {DeadEnd, 1, 140};
    case Cue::Click: return {Click, 1, 70};
    default: return {};  // not a cue: silence
    }
}

}  // namespace effects

Effects::Effects() : picker_(std::random_device{}()) {}

void Effects::open() {
    streams_.clear();
    // A missing file gives a null stream: that cue is silent, the others play.
    for (const char* path : effects::paths()) streams_.push_back(FSOUND_Stream_Open(path, FSOUND_LOOP_OFF, 0, 0));
}

void Effects::setEnabled(bool enabled) {
    // Switched off, what still sounds stops at once.
    if (enabled_ && !enabled)
        for (int channel = effects::kFirstChannel; channel <= effects::kLastChannel; ++channel)
            FSOUND_StopSound(channel);
    enabled_ = enabled;
}

void Effects::setVolume(int percent) { FSOUND_SetRangeVolume(effects::kFirstChannel, effects::kLastChannel, percent); }

void Effects::play(const CueEvent& event) {
    if (!enabled_) return;
    effects::Choice choice = picker_.pick(event);
    if (choice.sound < 0 || choice.sound >= static_cast<int>(streams_.size()) || !streams_[choice.sound]) return;
    sounds_.resize(effects::kLastChannel - effects::kFirstChannel + 1, -1);
    if (effects::isLanding(choice.sound)) {
        int sounding = 0;
        for (int channel = effects::kFirstChannel; channel <= effects::kLastChannel; ++channel)
            sounding += effects::isLanding(sounds_[channel - effects::kFirstChannel]) && FSOUND_IsPlaying(channel);
        choice.volume = effects::landingVolume(choice.volume, sounding);
        if (choice.volume == 0) return;
    }
    const int channel = FSOUND_FreeChannel(effects::kFirstChannel, effects::kLastChannel);
    if (channel < 0) return;
    sounds_[channel - effects::kFirstChannel] = choice.sound;
    // The volume first: a sound this short would be heard at the last one's.
    FSOUND_SetVolume(channel, choice.volume);
    FSOUND_Stream_PlayPitched(channel, streams_[choice.sound], choice.pitch);
}
