#include "platform/garden.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>

#include "platform/sound.h"

namespace garden {

namespace {

constexpr int kRecordings = 4;

// Per kind of bird: calls in a bout, and the pause between two calls of it.
struct Kind {
    int mostCalls;
    double shortestPause, longestPause;
};
const Kind kKinds[] = {
    {4, 0.8, 3.0},  // robin
    {3, 1.2, 3.5},  // blackbird
    {2, 1.5, 4.0},  // wren
    {3, 0.8, 2.5},  // great tit
    {3, 0.6, 2.0},  // goldcrest
    {5, 0.3, 1.5},  // sparrow
};
constexpr int kKinds_ = sizeof kKinds / sizeof kKinds[0];

}  // namespace

const std::vector<Sound>& sounds() {
    static const std::vector<Sound> table = {
        {"sounds/chaffinch1a.mp3", 2, 63, 130, -1},
        {"sounds/car9b.mp3", 3, 300, 140, -1},
        {"sounds/willow1a.mp3", 4, 200, 130, -1},
        {"sounds/dog1a.mp3", 0, 348, 25, -1},
        {"sounds/birds/robin1.mp3", kChorusChannel, 0, 115, 0},
        {"sounds/birds/robin2.mp3", kChorusChannel, 0, 115, 0},
        {"sounds/birds/robin3.mp3", kChorusChannel, 0, 115, 0},
        {"sounds/birds/blackbird1.mp3", kChorusChannel, 0, 115, 1},
        {"sounds/birds/blackbird2.mp3", kChorusChannel, 0, 115, 1},
        {"sounds/birds/wren1.mp3", kChorusChannel, 0, 105, 2},
        {"sounds/birds/wren2.mp3", kChorusChannel, 0, 105, 2},
        {"sounds/birds/tit1.mp3", kChorusChannel, 0, 110, 3},
        {"sounds/birds/tit2.mp3", kChorusChannel, 0, 110, 3},
        {"sounds/birds/crest1.mp3", kChorusChannel, 0, 115, 4},
        {"sounds/birds/crest2.mp3", kChorusChannel, 0, 115, 4},
        {"sounds/birds/sparrow1.mp3", kChorusChannel, 0, 105, 5},
        {"sounds/birds/sparrow2.mp3", kChorusChannel, 0, 105, 5},
    };
    return table;
}

const std::vector<BedLayer>& bed() {
    static const std::vector<BedLayer> table = {
        {"sounds/bed-wind.ogg", 5, 255},
        {"sounds/bed-leaves.ogg", 6, 255},
    };
    return table;
}

Drift::Drift(uint32_t seed) : random_(seed) { from_ = to_ = random_.between(0.6, 1.0); }

double Drift::at(double t) {
    while (t >= start_ + length_) {
        start_ += length_;
        from_ = to_;
        to_ = random_.between(0.6, 1.0);
        length_ = random_.between(4, 11);
    }
    const double u = std::clamp((t - start_) / length_, 0.0, 1.0);
    return from_ + (to_ - from_) * (1 - std::cos(u * 3.14159265)) / 2;  // eased, so no change is sudden
}

double Random::unit() {
    // xorshift32: small, fast and the same everywhere.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return (state_ >> 8) * (1.0 / 16777216.0);
}

Plan::Plan(uint32_t seed, double nowSeconds)
    : random_(seed),
      recordings_(kRecordings, Recording{static_cast<int64_t>(std::floor(nowSeconds))}),
      lastNow_(nowSeconds),
      nextCall_(0) {
    scheduleNext(0);
}

// Chooses the call after one ending at heard time `after`: the next of the
// bout, or a new bout of another bird from another place after a longer
// pause, now and then a quiet spell.
void Plan::scheduleNext(double after) {
    const std::vector<Sound>& table = sounds();
    double pause;
    if (boutLeft_ > 0) {
        pause = random_.between(kKinds[kind_].shortestPause, kKinds[kind_].longestPause);
    } else {
        int kind = random_.below(kKinds_ - 1);
        kind_ = kind >= kind_ && kind_ >= 0 ? kind + 1 : kind;  // never the same bird twice
        boutLeft_ = 1 + random_.below(kKinds[kind_].mostCalls);
        boutPitch_ = random_.between(0.9, 1.1);
        boutVolume_ = static_cast<int>(random_.between(0.45, 1.0) * 255);  // near or far
        boutPan_ = static_cast<int>(random_.between(25, 230));
        pause = random_.unit() < 0.15 ? random_.between(8, 20) : random_.between(1.5, 7);
    }
    --boutLeft_;
    // A call of the bout's bird, not the one just heard if it has another.
    std::vector<int> calls;
    for (int i = kRecordings; i < static_cast<int>(table.size()); ++i)
        if (table[i].kind == kind_ && i != lastSound_) calls.push_back(i);
    if (calls.empty()) calls.push_back(lastSound_);
    const int sound = calls[random_.below(static_cast<int>(calls.size()))];
    const double pitch = boutPitch_ * random_.between(0.97, 1.03);
    next_ = Start{sound, pitch, table[sound].volume * boutVolume_ / 255, boutPan_};
    nextCall_ = after + pause;
}

std::vector<Start> Plan::update(bool audible, double nowSeconds, const std::function<double(int)>& seconds) {
    std::vector<Start> started;
    // Only audible time counts, and at most a second of it per update, so a
    // stall of the caller does not release a flock of calls at once.
    const double step = std::clamp(nowSeconds - lastNow_, 0.0, 1.0);
    lastNow_ = nowSeconds;
    if (!audible) return started;
    heard_ += step;
    const int64_t now = static_cast<int64_t>(std::floor(nowSeconds));
    for (int i = 0; i < kRecordings; ++i) {
        Recording& r = recordings_[i];
        if (now <= r.lastChange + sounds()[i].interval) continue;
        r.lastChange = now;
        r.playing = !r.playing;
        // The end of a playing phase stops nothing: the recording has run out.
        if (r.playing) started.push_back(Start{i, 1.0, sounds()[i].volume, 128});
    }
    while (nextCall_ <= heard_) {
        const Start call = next_;
        const double length = std::max(0.0, seconds(call.sound)) / call.pitch;
        if (length > 0) started.push_back(call);
        lastSound_ = call.sound;
        // The calls take turns on one channel: the next begins after this ends.
        scheduleNext(nextCall_ + length);
    }
    return started;
}

}  // namespace garden

namespace {

// Every run a garden of its own.
uint32_t freshSeed() {
    return static_cast<uint32_t>(std::random_device{}() ^ std::chrono::steady_clock::now().time_since_epoch().count());
}

}  // namespace

Garden::Garden() : plan_(freshSeed(), 0) {}

void Garden::open(double nowSeconds) {
    plan_ = garden::Plan(freshSeed(), nowSeconds);
    lastNow_ = nowSeconds;
    streams_.clear(), bedStreams_.clear(), drifts_.clear();
    // A missing file gives a null stream, which simply stays silent.
    for (const garden::Sound& sound : garden::sounds()) {
        streams_.push_back(FSOUND_Stream_Open(sound.path, FSOUND_LOOP_OFF, 0, 0));
    }
    for (const garden::BedLayer& layer : garden::bed()) {
        bedStreams_.push_back(FSOUND_Stream_Open(layer.path, FSOUND_LOOP_NORMAL, 0, 0));
        drifts_.emplace_back(freshSeed());
    }
    seconds_.assign(streams_.size(), -1);
}

void Garden::setVolume(int percent) { FSOUND_SetRangeVolume(garden::kFirstChannel, garden::kLastChannel, percent); }

void Garden::update(bool audible, double nowSeconds) {
    if (!audible)
        for (int channel = garden::kFirstChannel; channel <= garden::kLastChannel; ++channel) FSOUND_StopSound(channel);
    heard_ += audible ? std::clamp(nowSeconds - lastNow_, 0.0, 1.0) : 0;
    lastNow_ = nowSeconds;
    // The bed sounds all the while the garden is heard; a loop asked to
    // start again goes on where it is.
    for (std::size_t i = 0; audible && i < bedStreams_.size(); ++i) {
        const garden::BedLayer& layer = garden::bed()[i];
        FSOUND_SetVolume(layer.channel, static_cast<int>(std::lround(layer.volume * drifts_[i].at(heard_))));
        FSOUND_Stream_Play(layer.channel, bedStreams_[i]);
    }
    // A call's length is asked only when it is due, long after start-up
    // decoded it, so asking never waits.
    auto seconds = [this](int sound) {
        if (sound >= static_cast<int>(streams_.size())) return 0.0;
        if (seconds_[sound] < 0) seconds_[sound] = FSOUND_Stream_GetLengthSeconds(streams_[sound]);
        return seconds_[sound];
    };
    for (const garden::Start& start : plan_.update(audible, nowSeconds, seconds)) {
        const garden::Sound& sound = garden::sounds()[start.sound];
        FSOUND_STREAM* stream = start.sound < static_cast<int>(streams_.size()) ? streams_[start.sound] : nullptr;
        // Set before it starts, so that it starts at its own volume and place,
        // not at what the channel had last.
        FSOUND_SetVolume(sound.channel, start.volume);
        if (sound.interval > 0) {
            FSOUND_Stream_Play(sound.channel, stream);
        } else {
            FSOUND_SetPan(sound.channel, start.pan);
            FSOUND_Stream_PlayPitched(sound.channel, stream, start.pitch);
        }
    }
}
