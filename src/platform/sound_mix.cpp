#include "platform/sound_mix.h"

#include <algorithm>
#include <cmath>

namespace sound {

namespace {

constexpr double kFullScale = 32768;

}  // namespace

namespace {

std::size_t powerOfTwoAbove(std::size_t n) {
    std::size_t p = 1;
    while (p <= n) p *= 2;
    return p;
}

int16_t rounded(float x) { return static_cast<int16_t>(x >= 0 ? x + 0.5f : x - 0.5f); }

}  // namespace

Limiter::Limiter(int rate)
    : look_(std::max(2, rate / 500)),  // 2 ms
      delay_(2 * look_, 0.0f),
      needs_(powerOfTwoAbove(look_ + 1)),
      mask_(needs_.size() - 1),
      box_(look_, 1.0),
      boxSum_(look_),
      release_(static_cast<float>(1 - std::exp(-1.0 / (0.08 * std::max(1, rate))))) {}

void Limiter::process(const float* in, int frames, int16_t* out) {
    const float ceiling = static_cast<float>(kCeiling * kFullScale);
    for (int i = 0; i < frames; ++i, ++frame_) {
        const float l = in[2 * i], r = in[2 * i + 1];
        const float peak = std::max(std::fabs(l), std::fabs(r));
        const float need = peak > ceiling ? ceiling / peak : 1.0f;
        // A frame that needs no less than this one can never be the lowest again.
        while (count_ > 0 && needs_[(first_ + count_ - 1) & mask_].gain >= need) --count_;
        needs_[(first_ + count_++) & mask_] = Need{frame_, need};
        while (needs_[first_].frame <= frame_ - look_) first_ = (first_ + 1) & mask_, --count_;
        const float lowest = needs_[first_].gain;
        // Down at once, back up slowly, never above what is needed.
        released_ = lowest < released_ ? lowest : released_ + (lowest - released_) * release_;
        boxSum_ += released_ - box_[slot_];
        box_[slot_] = released_;
        const float gain = static_cast<float>(boxSum_ / look_);
        lowest_ = std::min(lowest_, static_cast<double>(gain));
        // The frame of look_ - 1 frames ago leaves the delay now, at the
        // gain every frame since has asked for.
        const int oldest = slot_ + 1 == look_ ? 0 : slot_ + 1;
        const float dl = delay_[2 * oldest], dr = delay_[2 * oldest + 1];
        delay_[2 * slot_] = l, delay_[2 * slot_ + 1] = r;
        // Within the ceiling by design; the bounds only keep a 16-bit sample whole.
        out[2 * i] = rounded(std::clamp(dl * gain, -32768.0f, 32767.0f));
        out[2 * i + 1] = rounded(std::clamp(dr * gain, -32768.0f, 32767.0f));
        slot_ = oldest;
    }
}

Mixer::Mixer(int channels, int rate)
    : voices_(std::max(0, channels)), glideFrames_(std::max(1, rate / 100)), limiter_(rate) {}

void Mixer::target(const Voice& v, float& l, float& r) const {
    const double gain = v.volume * v.scale * master_ * kHeadroom;
    l = static_cast<float>(gain * v.left), r = static_cast<float>(gain * v.right);
}

void Mixer::retarget(Voice& v) {
    float l, r;
    target(v, l, r);
    if (!v.samples) {  // silent: the next sound starts right at it
        v.gainL = l, v.gainR = r, v.glide = 0;
        return;
    }
    v.glide = glideFrames_;
    v.stepL = (l - v.gainL) / v.glide, v.stepR = (r - v.gainR) / v.glide;
}

void Mixer::play(int channel, const Samples* samples, bool loop) {
    if (channel < 0 || channel >= channels()) return;
    Voice& v = voices_[channel];
    v.samples = samples && samples->frames() > 0 ? samples : nullptr;
    v.at = 0, v.loop = loop;
    target(v, v.gainL, v.gainR);
    v.glide = 0;
}

void Mixer::stop(int channel) {
    if (channel >= 0 && channel < channels()) voices_[channel].samples = nullptr;
}

bool Mixer::playing(int channel) const { return sound(channel) != nullptr; }

const Samples* Mixer::sound(int channel) const {
    return channel >= 0 && channel < channels() ? voices_[channel].samples : nullptr;
}

void Mixer::setVolume(int channel, double volume) {
    if (channel < 0 || channel >= channels()) return;
    voices_[channel].volume = std::clamp(volume, 0.0, 1.0);
    retarget(voices_[channel]);
}

void Mixer::setScale(int channel, double scale) {
    if (channel < 0 || channel >= channels()) return;
    voices_[channel].scale = std::clamp(scale, 0.0, 1.0);
    retarget(voices_[channel]);
}

void Mixer::setMaster(double master) {
    master_ = std::clamp(master, 0.0, 1.0);
    for (Voice& v : voices_) retarget(v);
}

void Mixer::setPan(int channel, double left, double right) {
    if (channel < 0 || channel >= channels()) return;
    voices_[channel].left = std::clamp(left, 0.0, 1.0), voices_[channel].right = std::clamp(right, 0.0, 1.0);
    retarget(voices_[channel]);
}

void Mixer::mix(int16_t* out, int frames) {
    if (frames <= 0) return;
    sum_.assign(2 * static_cast<std::size_t>(frames), 0.0f);
    for (Voice& v : voices_) {
        const bool mono = v.samples && v.samples->channels == 1;
        for (int i = 0; i < frames && v.samples;) {
            const std::size_t length = v.samples->frames();
            if (v.at >= length) {
                if (!v.loop) {
                    v.samples = nullptr;
                    break;
                }
                v.at = 0;
            }
            // A run to the end of the sound, the buffer or the glide.
            int run = static_cast<int>(std::min<std::size_t>(frames - i, length - v.at));
            if (v.glide > 0) run = std::min(run, v.glide);
            const int16_t* from = v.samples->data.data() + (mono ? v.at : 2 * v.at);
            float* to = sum_.data() + 2 * i;
            if (v.glide > 0) {
                for (int k = 0; k < run; ++k) {
                    v.gainL += v.stepL, v.gainR += v.stepR;
                    const float l = mono ? from[k] : from[2 * k], r = mono ? l : from[2 * k + 1];
                    to[2 * k] += l * v.gainL, to[2 * k + 1] += r * v.gainR;
                }
                v.glide -= run;
                if (v.glide == 0) target(v, v.gainL, v.gainR);
            } else if (mono) {
                for (int k = 0; k < run; ++k) to[2 * k] += from[k] * v.gainL, to[2 * k + 1] += from[k] * v.gainR;
            } else {
                for (int k = 0; k < run; ++k) to[2 * k] += from[2 * k] * v.gainL, to[2 * k + 1] += from[2 * k + 1] * v.gainR;
            }
            v.at += run, i += run;
        }
        if (v.samples && v.at >= v.samples->frames() && !v.loop) v.samples = nullptr;
    }
    limiter_.process(sum_.data(), frames, out);
}

namespace {

// The Kaiser window's Bessel function I0, by its series.
double besselI0(double x) {
    double sum = 1, term = 1;
    for (int k = 1; k < 40; ++k) {
        term *= (x / (2 * k)) * (x / (2 * k));
        sum += term;
        if (term < sum * 1e-17) break;
    }
    return sum;
}

}  // namespace

Samples resample(const Samples& in, double pitch) {
    Samples out;
    out.channels = in.channels;
    const std::size_t frames = in.frames();
    if (frames < 2 || in.channels <= 0 || !std::isfinite(pitch) || pitch <= 0) return out;
    // The pitch in steps of 1/256 (7 cents, too little to hear), so that the
    // filter has 256 phases worked out once for the whole sound.
    const long step = std::max(1L, std::lround(pitch * 256));
    const double scale = std::min(1.0, 256.0 / step);  // below 1: the passband shrinks so nothing folds back
    const int half = static_cast<int>(std::ceil(32 / scale)), taps = 2 * half;
    const double beta = 10, cutoff = 0.9 * scale, norm = besselI0(beta);
    std::vector<float> kernel(256 * static_cast<std::size_t>(taps));
    for (int phase = 0; phase < 256; ++phase) {
        float* h = &kernel[phase * static_cast<std::size_t>(taps)];
        double sum = 0;
        for (int j = 0; j < taps; ++j) {
            const double t = phase / 256.0 + half - 1 - j;  // from tap j to the output's place
            const double x = t / half;
            const double window = std::fabs(x) >= 1 ? 0 : besselI0(beta * std::sqrt(1 - x * x)) / norm;
            const double a = M_PI * cutoff * t;
            h[j] = static_cast<float>(window * cutoff * (std::fabs(a) < 1e-12 ? 1 : std::sin(a) / a));
            sum += h[j];
        }
        for (int j = 0; j < taps; ++j) h[j] = static_cast<float>(h[j] / sum);  // no change of loudness
    }
    const std::size_t made = static_cast<std::size_t>((frames - 1) * 256 / step) + 1;
    out.data.resize(made * in.channels);
    std::vector<float> x(frames + 2 * taps);
    for (int c = 0; c < in.channels; ++c) {
        std::fill(x.begin(), x.end(), 0.0f);
        for (std::size_t i = 0; i < frames; ++i) x[taps + i] = in.data[i * in.channels + c];
        for (std::size_t i = 0; i < made; ++i) {
            const std::size_t position = i * step;
            const std::size_t whole = position >> 8;
            const float* h = &kernel[(position & 255) * static_cast<std::size_t>(taps)];
            const float* from = &x[taps + whole - (half - 1)];
            float y = 0;
            for (int j = 0; j < taps; ++j) y += from[j] * h[j];
            out.data[i * in.channels + c] = static_cast<int16_t>(std::lrint(std::clamp(y, -32768.0f, 32767.0f)));
        }
    }
    return out;
}

void smoothSeam(Samples& loop, int rate) {
    const std::size_t n = loop.frames(), span = std::min<std::size_t>(n / 4, std::max(1, rate / 100));
    if (span < 2) return;
    for (int c = 0; c < loop.channels; ++c) {
        auto at = [&](std::size_t i) -> int16_t& { return loop.data[i * loop.channels + c]; };
        // The sample after the last, as its last two foretell, against the first.
        const double error = at(0) - (2.0 * at(n - 1) - at(n - 2));
        for (std::size_t j = 0; j < span; ++j) {
            const double share = (j + 1.0) / (span + 1.0);
            at(n - span + j) = static_cast<int16_t>(std::clamp(std::lround(at(n - span + j) + error * share * share), -32768L, 32767L));
        }
    }
}

}  // namespace sound
