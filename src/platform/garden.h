// The garden heard while a level is played: a quiet bed of wind and leaves
// that never stops, four recordings, each on a fixed rhythm and channel of
// its own, and a chorus of short bird calls that a seeded generator places
// at random times, pitches, loudness and places, so that no stretch of it
// comes round again.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct FSOUND_STREAM;

namespace garden {

// Channels 0..6 belong to the garden; the chorus sings on channel 1, the
// bed's two layers loop on 5 and 6.
constexpr int kFirstChannel = 0, kLastChannel = 6, kChorusChannel = 1;

// The bed: two loops of different lengths, so that together they come
// round only after many minutes, each drifting in loudness on its own.
struct BedLayer {
    const char* path;
    int channel;
    int volume;  // the loudest it drifts to, 0..255
};
const std::vector<BedLayer>& bed();

// The sounds it plays: the four recordings first, then the bird calls.
struct Sound {
    const char* path;
    int channel;
    int interval;  // recordings: seconds of waiting, and again of playing; calls: 0
    int volume;    // recordings: the channel's volume; calls: the loudest they get
    int kind;      // calls: which bird, so that a bout keeps to one kind
};
const std::vector<Sound>& sounds();

// Uniform numbers from a seed, the same on every machine.
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed ? seed : 0x9e3779b9u) {}
    double unit();  // in [0, 1)
    double between(double low, double high) { return low + (high - low) * unit(); }
    int below(int n) { return static_cast<int>(unit() * n); }

private:
    uint32_t state_;
};

// One sound to start now.
struct Start {
    int sound;     // index into sounds()
    double pitch;  // speed ratio: above 1 is higher
    int volume;    // 0..255
    int pan;       // 0 left .. 255 right
};

// When each sound starts; pure, so that a test can run hours of it.
// Recordings keep their rhythm on the clock (a change once more than
// `interval` whole seconds have passed since the last, as they always
// have); the chorus runs on the time the garden was heard, so that after a
// pause it picks up where it was rather than making up for the calls missed.
class Plan {
public:
    Plan(uint32_t seed, double nowSeconds);
    // What starts at this update. `seconds(sound)`: a call's length at its
    // own pitch, 0 when it cannot be played. Nothing starts while not
    // audible, and the times are kept.
    std::vector<Start> update(bool audible, double nowSeconds, const std::function<double(int)>& seconds);

private:
    struct Recording {
        int64_t lastChange;
        bool playing = false;
    };
    void scheduleNext(double after);

    Random random_;
    std::vector<Recording> recordings_;
    double lastNow_;
    double heard_ = 0;  // seconds of audible time so far
    double nextCall_;   // heard time of the next call
    Start next_{};      // that call
    int kind_ = -1, boutLeft_ = 0, lastSound_ = -1;
    double boutPitch_ = 1;
    int boutVolume_ = 0, boutPan_ = 128;
};

}  // namespace garden

namespace garden {

// How loud a bed layer is at a moment, 0.6..1 of its volume: it drifts from
// one level to the next, each chosen at random and reached over 4 to 11 s.
class Drift {
public:
    explicit Drift(uint32_t seed);
    double at(double heardSeconds);

private:
    Random random_;
    double from_ = 0.8, to_ = 0.8, start_ = 0, length_ = 1;
};

}  // namespace garden

// The garden's player over the sound layer. Call open once after
// FSOUND_Init; then update about every 100 ms.
class Garden {
public:
    Garden();
    void open(double nowSeconds);
    // audible: ambient noise is on and the playing screen is shown. When
    // not, the garden's channels are stopped (the effects' are left alone).
    void update(bool audible, double nowSeconds);
    // The player's garden volume, 0..100 per cent.
    void setVolume(int percent);

private:
    std::vector<FSOUND_STREAM*> streams_, bedStreams_;
    std::vector<double> seconds_;  // by sound: decoded length, -1 not asked yet
    garden::Plan plan_;
    std::vector<garden::Drift> drifts_;
    double heard_ = 0, lastNow_ = 0;
};
