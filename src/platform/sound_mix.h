// The game's own mixer: every channel summed in floating point (so no
// addition ever clamps), then one look-ahead limiter that keeps the output
// at or below -1 dBFS whatever piles up. Knows nothing of SDL: the sound
// layer feeds it from the audio thread, the tests and the benchmark call it
// directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sound {

// Decoded sound: 16-bit samples, one or two a frame.
struct Samples {
    std::vector<int16_t> data;
    int channels = 2;
    std::size_t frames() const { return channels > 0 ? data.size() / channels : 0; }
};

// The output never goes beyond this share of full scale: 0.87 is -1.2 dBFS,
// so that rounding to 16 bits can never reach -1 dBFS.
constexpr double kCeiling = 0.87;
// Every channel is scaled by this before the sum: a single sound at full
// volume stays clear of the limiter, which only has to catch piles.
constexpr double kHeadroom = 0.7;

// Holds a stereo stream under the ceiling: each frame's gain is the lowest
// any frame of the next 2 ms needs, smoothed over those 2 ms and let back up
// over about 80 ms, and the sound is delayed by the same 2 ms, so that the
// gain is already down when a peak arrives. No sample is ever cut.
class Limiter {
public:
    explicit Limiter(int rate);
    // `frames` stereo frames in units of 16-bit full scale; writes them,
    // limited and rounded, to `out`.
    void process(const float* in, int frames, int16_t* out);
    double lowestGain() const { return lowest_; }  // since made, for the curious

private:
    int look_, slot_ = 0;       // slot_: this frame's place in the rings of `look_`
    std::vector<float> delay_;  // the last `look_` frames, a ring
    // Frames of the last `look_` whose need may still be the lowest, oldest
    // first, each needing less than the one before: a ring.
    struct Need {
        long frame;
        float gain;
    };
    std::vector<Need> needs_;  // a power of two long, so that a mask wraps it
    std::size_t first_ = 0, count_ = 0, mask_;
    std::vector<double> box_;  // the released gains averaged, a ring
    double boxSum_;
    float released_ = 1, release_;
    long frame_ = 0;
    double lowest_ = 1;
};

// Channels, each playing one decoded sound at a time, and the final stage.
// Not thread-safe: the caller locks.
class Mixer {
public:
    Mixer(int channels, int rate);
    int channels() const { return static_cast<int>(voices_.size()); }
    // Starts `samples` (not owned; must outlive the play) on the channel at
    // the channel's present volume and place: the first frame already at it.
    void play(int channel, const Samples* samples, bool loop);
    void stop(int channel);
    bool playing(int channel) const;
    const Samples* sound(int channel) const;  // what the channel plays, null if silent
    // Volumes 0..1. A change while a channel sounds glides over 10 ms, so
    // that it never clicks.
    void setVolume(int channel, double volume);
    void setScale(int channel, double scale);  // the player's volume for this kind of channel
    void setMaster(double master);
    // Left and right gains; 1, 1 unless set.
    void setPan(int channel, double left, double right);
    // Mixes `frames` stereo frames into `out`, limited.
    void mix(int16_t* out, int frames);

private:
    struct Voice {
        const Samples* samples = nullptr;
        std::size_t at = 0;
        bool loop = false;
        double volume = 1, scale = 1, left = 1, right = 1;
        float gainL = 0, gainR = 0, stepL = 0, stepR = 0;
        int glide = 0;  // frames of glide left
    };
    void target(const Voice& v, float& l, float& r) const;
    void retarget(Voice& v);

    std::vector<Voice> voices_;
    double master_ = 1;
    int glideFrames_;
    std::vector<float> sum_;
    Limiter limiter_;
};

// The sound played `pitch` times as fast (above 1 higher and shorter),
// band-limited: a windowed-sinc resampler whose images and aliases stay
// below -90 dB, so pitched bird calls carry no mirrored harmonics.
Samples resample(const Samples& in, double pitch);

// Makes a loop's end run into its start: the jump where it comes round,
// beyond what its last samples foretell, is spread over its last 10 ms, so
// that a lossy encoding's small errors at the two ends never click.
void smoothSeam(Samples& loop, int rate);

}  // namespace sound
