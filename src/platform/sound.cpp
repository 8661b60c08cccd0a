// The game's sound library over SDL2_mixer. Recordings are short, so each
// "stream" is decoded whole into a chunk; the mixer plays it on a fixed
// channel. Decoding the MP3s takes tens of milliseconds, so it is kept off
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
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct FSOUND_STREAM {
    std::string path;
    unsigned int mode;  // FSOUND_LOOP_NORMAL or FSOUND_LOOP_OFF
    // Written by the decoder under decodeMutex; read once decoded is true.
    Mix_Chunk* chunk = nullptr;
    bool decoded = false;  // the decoder is done with it (chunk null: it failed)
};

namespace {

bool initialized = false;
int lastError = FMOD_ERR_NONE;
int masterVolume = 255;  // as last set, 0..255
int channelCount = 0;
std::vector<FSOUND_STREAM*> streams;  // every stream opened, freed by FSOUND_Close

// A pitched copy of a decoded chunk, owned by the channel it plays on. One
// per channel at most, so copies never pile up: the next sound on the
// channel, a stop or FSOUND_Close frees it.
struct PitchedCopy {
    std::vector<Sint16> samples;
    Mix_Chunk* chunk = nullptr;  // over `samples`, which it does not own
};
std::vector<PitchedCopy> copies;       // by channel
std::vector<unsigned long> startedAt;  // by channel: the order of the last start
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

void decodeQueued() {
    std::unique_lock<std::mutex> lock(decodeMutex);
    for (;;) {
        decodeChanged.wait(lock, [] { return decodeStopping || !decodeQueue.empty(); });
        if (decodeStopping) return;
        FSOUND_STREAM* stream = decodeQueue.front();
        decodeQueue.pop_front();
        const std::string path = stream->path;
        lock.unlock();
        Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
        lock.lock();
        stream->chunk = chunk;
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

// 0..255 onto SDL's 0..128, rounding up so that any non-zero volume is heard.
int toMixerVolume(int volume) { return (clampVolume(volume) * MIX_MAX_VOLUME + 254) / 255; }

bool validChannel(int channel) { return channel >= 0 && channel < channelCount; }

// Stops the channel and frees its pitched copy, if it has one; the mixer no
// longer reads a chunk once its channel is halted.
void dropCopy(int channel) {
    PitchedCopy& copy = copies[channel];
    if (!copy.chunk) return;
    Mix_HaltChannel(channel);
    Mix_FreeChunk(copy.chunk);
    copy.chunk = nullptr;
    copy.samples = {};
}

// The stream's chunk once decoded; null for a stream that failed.
Mix_Chunk* decodedChunk(FSOUND_STREAM* stream) {
    std::unique_lock<std::mutex> lock(decodeMutex);
    decodeChanged.wait(lock, [stream] { return stream->decoded; });
    return stream->chunk;
}

// Frames of the mixer's output format in a chunk, and samples per frame.
int outputChannels() {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    return Mix_QuerySpec(&rate, &format, &channels) ? channels : 2;
}

// Resamples the chunk (16-bit, the mixer's format) by linear interpolation:
// read `pitch` frames of it for each frame written.
void resample(const Mix_Chunk& chunk, double pitch, int perFrame, std::vector<Sint16>& out) {
    const Sint16* in = reinterpret_cast<const Sint16*>(chunk.abuf);
    const size_t frames = chunk.alen / sizeof(Sint16) / perFrame;
    if (frames < 2) return;
    const size_t made = static_cast<size_t>((frames - 1) / pitch) + 1;
    out.resize(made * perFrame);
    for (size_t i = 0; i < made; ++i) {
        const double at = i * pitch;
        const size_t j = std::min(static_cast<size_t>(at), frames - 2);
        const double f = at - j;
        for (int c = 0; c < perFrame; ++c)
            out[i * perFrame + c] =
                static_cast<Sint16>(std::lround(in[j * perFrame + c] * (1 - f) + in[(j + 1) * perFrame + c] * f));
    }
}

}  // namespace

signed char FSOUND_Init(int mixrate, int maxchannels, unsigned int /*flags*/) {
    // The mixer runs on its own thread whatever has the focus, so the
    // global-focus flag needs nothing more.
    if (initialized) {
        lastError = FMOD_ERR_BUSY;
        return 0;
    }
    if (mixrate <= 0 || maxchannels <= 0) {
        lastError = FMOD_ERR_INVALID_PARAM;
        return 0;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        lastError = FMOD_ERR_INIT;
        return 0;
    }
    // Without the MP3 decoder the streams simply fail to open; not fatal.
    Mix_Init(MIX_INIT_MP3);
    // A buffer of 46 ms: an effect is heard within a tenth of a second of
    // its move, and the mixer's thread wakes 22 times a second, not 43.
    if (Mix_OpenAudio(mixrate, AUDIO_S16SYS, 2, 2048) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        lastError = FMOD_ERR_INIT;
        return 0;
    }
    channelCount = Mix_AllocateChannels(maxchannels);
    if (channelCount < maxchannels) {
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        channelCount = 0;
        lastError = FMOD_ERR_CHANNEL_ALLOC;
        return 0;
    }
    Mix_MasterVolume(toMixerVolume(masterVolume));
    Mix_Volume(-1, MIX_MAX_VOLUME);
    copies.assign(channelCount, PitchedCopy{});
    startedAt.assign(channelCount, 0);
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
    FSOUND_STREAM* stream = new FSOUND_STREAM{path, mode};
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
    if (initialized) Mix_MasterVolume(toMixerVolume(masterVolume));
}

int FSOUND_GetSFXMasterVolume() { return masterVolume; }

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
    if (!initialized || !stream || !validChannel(channel)) return -1;
    Mix_Chunk* chunk = decodedChunk(stream);
    if (!chunk) {  // opened, but not a recording after all: silence
        lastError = FMOD_ERR_FILE_FORMAT;
        return -1;
    }
    const bool loop = stream->mode == FSOUND_LOOP_NORMAL;
    // A looping recording asked to start while it still sounds goes on
    // without a seam; anything else starts from the beginning.
    if (loop && Mix_Playing(channel) && Mix_GetChunk(channel) == chunk) return channel;
    dropCopy(channel);
    startedAt[channel] = ++starts;
    return Mix_PlayChannel(channel, chunk, loop ? -1 : 0);
}

int FSOUND_Stream_PlayPitched(int channel, FSOUND_STREAM* stream, double pitch) {
    if (!initialized || !stream || !validChannel(channel)) return -1;
    Mix_Chunk* chunk = decodedChunk(stream);
    if (!chunk) {
        lastError = FMOD_ERR_FILE_FORMAT;
        return -1;
    }
    dropCopy(channel);
    startedAt[channel] = ++starts;
    pitch = std::isfinite(pitch) ? std::clamp(pitch, 0.5, 2.0) : 1.0;
    // Within a hundredth the difference is not heard: play the original.
    if (std::fabs(pitch - 1) < 0.01) return Mix_PlayChannel(channel, chunk, 0);
    PitchedCopy& copy = copies[channel];
    resample(*chunk, pitch, outputChannels(), copy.samples);
    if (copy.samples.empty()) return -1;
    copy.chunk = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(copy.samples.data()),
                                   static_cast<Uint32>(copy.samples.size() * sizeof(Sint16)));
    if (!copy.chunk) {
        copy.samples = {};
        lastError = FMOD_ERR_MEMORY;
        return -1;
    }
    return Mix_PlayChannel(channel, copy.chunk, 0);
}

int FSOUND_FreeChannel(int first, int last) {
    if (!initialized || !validChannel(first) || !validChannel(last) || first > last) return -1;
    int oldest = first;
    for (int channel = first; channel <= last; ++channel) {
        if (!Mix_Playing(channel)) return channel;
        if (startedAt[channel] < startedAt[oldest]) oldest = channel;
    }
    return oldest;
}

signed char FSOUND_SetPan(int channel, int pan) {
    if (!initialized || !validChannel(channel)) return 0;
    pan = clampVolume(pan);
    // Equal loudness in the middle; at either end the other side is silent.
    const double angle = pan / 255.0 * 1.5707963;
    return Mix_SetPanning(channel, static_cast<Uint8>(std::lround(255 * std::cos(angle))),
                          static_cast<Uint8>(std::lround(255 * std::sin(angle)))) != 0;
}

double FSOUND_Stream_GetLengthSeconds(FSOUND_STREAM* stream) {
    if (!initialized || !stream) return 0;
    Mix_Chunk* chunk = decodedChunk(stream);
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (!chunk || !Mix_QuerySpec(&rate, &format, &channels) || rate <= 0 || channels <= 0) return 0;
    return static_cast<double>(chunk->alen) / (SDL_AUDIO_BITSIZE(format) / 8 * channels) / rate;
}

std::size_t FSOUND_DecodedBytes() {
    std::size_t bytes = 0;
    {
        std::lock_guard<std::mutex> lock(decodeMutex);
        for (FSOUND_STREAM* stream : streams)
            if (stream->chunk) bytes += stream->chunk->alen;
    }
    for (const PitchedCopy& copy : copies) bytes += copy.samples.size() * sizeof(Sint16);
    return bytes;
}

signed char FSOUND_SetVolume(int channel, int volume) {
    if (!initialized) return 0;
    if (channel == FSOUND_ALL) {
        Mix_Volume(-1, toMixerVolume(volume));
        return 1;
    }
    if (!validChannel(channel)) return 0;
    Mix_Volume(channel, toMixerVolume(volume));
    return 1;
}

signed char FSOUND_StopSound(int channel) {
    if (!initialized) return 0;
    if (channel == FSOUND_ALL) {
        Mix_HaltChannel(-1);
        for (int each = 0; each < channelCount; ++each) dropCopy(each);
        return 1;
    }
    if (!validChannel(channel)) return 0;
    Mix_HaltChannel(channel);
    dropCopy(channel);
    return 1;
}

void FSOUND_Close() {
    if (!initialized) return;
    Mix_HaltChannel(-1);
    for (int channel = 0; channel < channelCount; ++channel) dropCopy(channel);
    copies.clear();
    startedAt.clear();
    // The decoder may still be loading; no chunk is freed under it.
    stopDecoder();
    for (FSOUND_STREAM* stream : streams) {
        if (stream->chunk) Mix_FreeChunk(stream->chunk);
        delete stream;
    }
    streams.clear();
    Mix_CloseAudio();
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
