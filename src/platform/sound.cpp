// The game's sound library over SDL2_mixer, which opens the device and
// decodes; the mixing is the game's own (platform/sound_mix.h). Recordings
// are short, so each "stream" is decoded whole; the mixer plays it on a
// fixed channel. Decoding the MP3s takes tens of milliseconds, so it is kept off
// start-up: opening only checks the file and queues it, one background
// thread decodes the queue in order, and the first play of a stream waits
// for its decode if need be. Every call is harmless before FSOUND_Init and
// after FSOUND_Close, and a null stream is ignored, so a missing sound file
// only means silence.
#include "platform/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/sound_mix.h"

struct FSOUND_STREAM {
    std::string path;
    unsigned int mode;  // FSOUND_LOOP_NORMAL or FSOUND_LOOP_OFF
    // Written by the decoder under decodeMutex; read once decoded is true.
    sound::Samples samples;
    bool decoded = false;  // the decoder is done with it (no frames: it failed)
};

namespace {

bool initialized = false;
int lastError = FMOD_ERR_NONE;
int masterVolume = 255;  // as last set, 0..255
int channelCount = 0;
int outputRate = 44100, outputChannels = 2;
std::vector<FSOUND_STREAM*> streams;  // every stream opened, freed by FSOUND_Close

// The mixer and what it plays are shared with the audio thread: every
// change is made under mixMutex, which the audio thread holds while it mixes
// one buffer (a fraction of a millisecond).
std::mutex& mixMutex = *new std::mutex;
std::unique_ptr<sound::Mixer> mixer;
std::vector<int16_t> mixed;  // the mixer's stereo output, for a device of another shape

// A pitched copy of a decoded sound, owned by the channel it plays on. One
// per channel at most, so copies never pile up: the next sound on the
// channel, a stop or FSOUND_Close frees it.
std::vector<std::unique_ptr<sound::Samples>> copies;  // by channel
std::vector<unsigned long> startedAt;                 // by channel: the order of the last start
unsigned long starts = 0;

// The decoder thread and its queue. The thread lives from the first open
// until FSOUND_Close; only the main thread starts and joins it. They are
// never destroyed: a process that ends without FSOUND_Close (a tool, a fuzz
// target) must not run the destructors of a running thread and the lock and
// queue it waits on.
std::mutex& decodeMutex = *new std::mutex;
std::condition_variable& decodeChanged = *new std::condition_variable;
std::deque<FSOUND_STREAM*>& decodeQueue = *new std::deque<FSOUND_STREAM*>;
bool decodeStopping = false;
std::thread& decoder = *new std::thread;

// The file decoded into the output's rate as 16-bit frames; kept mono when
// both sides are the same, which halves what a mono recording holds.
sound::Samples decode(const std::string& path) {
    sound::Samples samples;
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (!chunk) return samples;
    const int16_t* s = reinterpret_cast<const int16_t*>(chunk->abuf);
    const std::size_t n = chunk->alen / sizeof(int16_t);
    bool mono = true;
    for (std::size_t i = 0; mono && i + 1 < n; i += 2) mono = s[i] == s[i + 1];
    samples.channels = mono ? 1 : 2;
    samples.data.resize(n / 2 * (mono ? 1 : 2));
    for (std::size_t i = 0; i < samples.data.size(); ++i) samples.data[i] = mono ? s[2 * i] : s[i];
    Mix_FreeChunk(chunk);
    return samples;
}

void decodeQueued() {
    std::unique_lock<std::mutex> lock(decodeMutex);
    for (;;) {
        decodeChanged.wait(lock, [] { return decodeStopping || !decodeQueue.empty(); });
        if (decodeStopping) return;
        FSOUND_STREAM* stream = decodeQueue.front();
        decodeQueue.pop_front();
        const std::string path = stream->path;
        lock.unlock();
        sound::Samples samples = decode(path);
        if (stream->mode == FSOUND_LOOP_NORMAL) sound::smoothSeam(samples, outputRate);
        lock.lock();
        stream->samples = std::move(samples);
        stream->decoded = true;
        decodeChanged.notify_all();
    }
}

// Stops the decoder after the file it is on and waits for it; what is still
// queued stays undecoded.
void stopDecoder() {
    if (!decoder.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(decodeMutex);
        decodeStopping = true;
    }
    decodeChanged.notify_all();
    decoder.join();
    decodeQueue.clear();
    decodeStopping = false;
}

// Whether the file starts like a recording the mixer can decode, so that a
// file of another kind is refused at open time, without decoding it.
bool looksLikeRecording(const unsigned char* b, size_t n) {
    auto starts = [&](const char* magic) {
        const size_t len = std::strlen(magic);
        return n >= len && std::memcmp(b, magic, len) == 0;
    };
    if (starts("RIFF") || starts("FORM") || starts("Creative Voice File") || starts("OggS") || starts("fLaC"))
        return true;
    if (starts("ID3")) return true;                                                // MP3 with a tag in front
    return n >= 2 && b[0] == 0xFF && (b[1] & 0xE0) == 0xE0 && (b[1] & 0x06) != 0;  // MPEG audio frame
}

int clampVolume(int volume) {
    if (volume < 0) return 0;
    if (volume > 255) return 255;
    return volume;
}

bool validChannel(int channel) { return channel >= 0 && channel < channelCount; }

// Stops the channel and frees its pitched copy, if it has one. Under mixMutex.
void stopLocked(int channel) {
    mixer->stop(channel);
    copies[channel].reset();
}

// The stream's sound once decoded; null for a stream that failed.
const sound::Samples* decodedSamples(FSOUND_STREAM* stream) {
    std::unique_lock<std::mutex> lock(decodeMutex);
    decodeChanged.wait(lock, [stream] { return stream->decoded; });
    return stream->samples.frames() > 0 ? &stream->samples : nullptr;
}

// The audio thread: the whole mix, written in the device's shape.
void SDLCALL mixInto(void*, Uint8* stream, int len) {
    const int frames = len / static_cast<int>(sizeof(int16_t)) / std::max(1, outputChannels);
    std::lock_guard<std::mutex> lock(mixMutex);
    if (!mixer) return;
    int16_t* out = reinterpret_cast<int16_t*>(stream);
    if (outputChannels == 2) return mixer->mix(out, frames);
    mixed.resize(2 * static_cast<std::size_t>(frames));
    mixer->mix(mixed.data(), frames);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < outputChannels; ++c)
            out[i * outputChannels + c] = outputChannels == 1 ? static_cast<int16_t>((mixed[2 * i] + mixed[2 * i + 1]) / 2)
                                          : c < 2             ? mixed[2 * i + c]
                                                              : 0;
}

}  // namespace

signed char FSOUND_Init(int mixrate, int maxchannels, unsigned int /*flags*/) {
    // The mixer runs on its own thread whatever has the focus, so the
    // global-focus flag needs nothing more.
    if (initialized) {
        lastError = FMOD_ERR_BUSY;
        return 0;
    }
    if (mixrate <= 0 || maxchannels <= 0 || maxchannels > 64) {
        lastError = FMOD_ERR_INVALID_PARAM;
        return 0;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        lastError = FMOD_ERR_INIT;
        return 0;
    }
    // Without a decoder the streams simply fail to open; not fatal.
    Mix_Init(MIX_INIT_MP3 | MIX_INIT_OGG);
    // A buffer of 46 ms: an effect is heard within a tenth of a second of
    // its move, and the mixer's thread wakes 22 times a second, not 43.
    Uint16 format = 0;
    if (Mix_OpenAudio(mixrate, AUDIO_S16SYS, 2, 2048) != 0 ||
        !Mix_QuerySpec(&outputRate, &format, &outputChannels) || format != AUDIO_S16SYS) {
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        lastError = FMOD_ERR_INIT;
        return 0;
    }
    channelCount = maxchannels;
    {
        std::lock_guard<std::mutex> lock(mixMutex);
        mixer = std::make_unique<sound::Mixer>(channelCount, outputRate);
        mixer->setMaster(masterVolume / 255.0);
    }
    copies.clear();
    copies.resize(channelCount);
    startedAt.assign(channelCount, 0);
    // SDL_mixer's own channels stay silent: everything is mixed here, in
    // floating point, so no addition clamps, and limited once at the end.
    Mix_HookMusic(mixInto, nullptr);
    initialized = true;
    lastError = FMOD_ERR_NONE;
    return 1;
}

int FSOUND_GetError() { return lastError; }

FSOUND_STREAM* FSOUND_Stream_Open(const char* path, unsigned int mode, int /*offset*/, int /*length*/) {
    if (!initialized) {
        lastError = FMOD_ERR_UNINITIALIZED;
        return nullptr;
    }
    if (!path) {
        lastError = FMOD_ERR_INVALID_PARAM;
        return nullptr;
    }
    std::FILE* f = std::fopen(path, "rb");
    if (!f) {
        lastError = FMOD_ERR_FILE_NOTFOUND;
        return nullptr;
    }
    unsigned char head[20];
    const size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    if (!looksLikeRecording(head, n)) {
        lastError = FMOD_ERR_FILE_FORMAT;
        return nullptr;
    }
    FSOUND_STREAM* stream = new FSOUND_STREAM{path, mode, {}, false};
    streams.push_back(stream);
    {
        std::lock_guard<std::mutex> lock(decodeMutex);
        decodeQueue.push_back(stream);
    }
    if (decoder.joinable())
        decodeChanged.notify_all();
    else
        decoder = std::thread(decodeQueued);
    return stream;
}

void FSOUND_SetSFXMasterVolume(int volume) {
    masterVolume = clampVolume(volume);
    if (!initialized) return;
    std::lock_guard<std::mutex> lock(mixMutex);
    mixer->setMaster(masterVolume / 255.0);
}

int FSOUND_GetSFXMasterVolume() { return masterVolume; }

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
    if (!initialized || !stream || !validChannel(channel)) return -1;
    const sound::Samples* samples = decodedSamples(stream);
    if (!samples) {  // opened, but not a recording after all: silence
        lastError = FMOD_ERR_FILE_FORMAT;
        return -1;
    }
    const bool loop = stream->mode == FSOUND_LOOP_NORMAL;
    std::lock_guard<std::mutex> lock(mixMutex);
    // A looping recording asked to start while it still sounds goes on
    // without a seam; anything else starts from the beginning.
    if (loop && mixer->sound(channel) == samples) return channel;
    stopLocked(channel);
    startedAt[channel] = ++starts;
    mixer->play(channel, samples, loop);
    return channel;
}

int FSOUND_Stream_PlayPitched(int channel, FSOUND_STREAM* stream, double pitch) {
    if (!initialized || !stream || !validChannel(channel)) return -1;
    const sound::Samples* samples = decodedSamples(stream);
    if (!samples) {
        lastError = FMOD_ERR_FILE_FORMAT;
        return -1;
    }
    pitch = std::isfinite(pitch) ? std::clamp(pitch, 0.5, 2.0) : 1.0;
    // Within a hundredth the difference is not heard: play the original.
    // The copy is made before the lock, so the audio thread never waits on it.
    std::unique_ptr<sound::Samples> copy;
    if (std::fabs(pitch - 1) >= 0.01) {
        copy = std::make_unique<sound::Samples>(sound::resample(*samples, pitch));
        if (copy->frames() == 0) return -1;
    }
    std::lock_guard<std::mutex> lock(mixMutex);
    stopLocked(channel);
    startedAt[channel] = ++starts;
    copies[channel] = std::move(copy);
    mixer->play(channel, copies[channel] ? copies[channel].get() : samples, false);
    return channel;
}

int FSOUND_FreeChannel(int first, int last) {
    if (!initialized || !validChannel(first) || !validChannel(last) || first > last) return -1;
    std::lock_guard<std::mutex> lock(mixMutex);
    int oldest = first;
    for (int channel = first; channel <= last; ++channel) {
        if (!mixer->playing(channel)) return channel;
        if (startedAt[channel] < startedAt[oldest]) oldest = channel;
    }
    return oldest;
}

signed char FSOUND_IsPlaying(int channel) {
    if (!initialized || !validChannel(channel)) return 0;
    std::lock_guard<std::mutex> lock(mixMutex);
    return mixer->playing(channel);
}

signed char FSOUND_SetPan(int channel, int pan) {
    if (!initialized || !validChannel(channel)) return 0;
    pan = clampVolume(pan);
    // Equal loudness in the middle; at either end the other side is silent.
    const double angle = pan / 255.0 * 1.5707963;
    std::lock_guard<std::mutex> lock(mixMutex);
    mixer->setPan(channel, std::cos(angle), std::sin(angle));
    return 1;
}

void FSOUND_SetRangeVolume(int first, int last, int percent) {
    if (!initialized) return;
    std::lock_guard<std::mutex> lock(mixMutex);
    for (int channel = std::max(0, first); channel <= last && channel < channelCount; ++channel)
        mixer->setScale(channel, std::clamp(percent, 0, 100) / 100.0);
}

double FSOUND_Stream_GetLengthSeconds(FSOUND_STREAM* stream) {
    if (!initialized || !stream) return 0;
    const sound::Samples* samples = decodedSamples(stream);
    return samples && outputRate > 0 ? static_cast<double>(samples->frames()) / outputRate : 0;
}

const sound::Samples* FSOUND_Stream_GetSamples(FSOUND_STREAM* stream) {
    return initialized && stream ? decodedSamples(stream) : nullptr;
}

std::size_t FSOUND_DecodedBytes() {
    std::size_t bytes = 0;
    {
        std::lock_guard<std::mutex> lock(decodeMutex);
        for (const FSOUND_STREAM* stream : streams) bytes += stream->samples.data.size() * sizeof(int16_t);
    }
    std::lock_guard<std::mutex> lock(mixMutex);
    for (const auto& copy : copies)
        if (copy) bytes += copy->data.size() * sizeof(int16_t);
    return bytes;
}

signed char FSOUND_SetVolume(int channel, int volume) {
    if (!initialized || !validChannel(channel)) return 0;
    std::lock_guard<std::mutex> lock(mixMutex);
    mixer->setVolume(channel, clampVolume(volume) / 255.0);
    return 1;
}

signed char FSOUND_StopSound(int channel) {
    if (!initialized) return 0;
    if (channel != FSOUND_ALL && !validChannel(channel)) return 0;
    std::lock_guard<std::mutex> lock(mixMutex);
    for (int each = 0; each < channelCount; ++each)
        if (channel == FSOUND_ALL || each == channel) stopLocked(each);
    return 1;
}

void FSOUND_Close() {
    if (!initialized) return;
    // The audio thread stops first; then nothing reads what is freed.
    Mix_HookMusic(nullptr, nullptr);
    Mix_CloseAudio();
    {
        std::lock_guard<std::mutex> lock(mixMutex);
        mixer.reset();
        copies.clear();
    }
    startedAt.clear();
    // The decoder may still be loading; nothing is freed under it.
    stopDecoder();
    for (FSOUND_STREAM* stream : streams) delete stream;
    streams.clear();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    channelCount = 0;
    initialized = false;
}

const char* soundErrorText(int code) {
    static const char* const texts[] = {
        "No errors",
        "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
        "This command failed because FSOUND_Init was not called",
        "Error initializing output device.",
        "The output device is already in use and cannot be reused.",
        "Playing the sound failed.",
        "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
        "Error setting cooperative level for hardware.",
        "Error creating hardware sound buffer.",
        "File not found",
        "Unknown file format",
        "Error loading file",
        "Not enough memory ",
        "The version number of this file format is not supported",
        "An invalid parameter was passed to this function",
        "Tried to use an EAX command on a non EAX enabled channel or output.",
        "Failed to allocate a new channel",
        "Recording not supported on this device",
        "Required Mediaplayer codec is not installed",
    };
    if (code < 0 || code >= static_cast<int>(sizeof texts / sizeof texts[0])) return "Unknown error";
    return texts[code];
}
