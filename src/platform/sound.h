// The game's sound library: MP3 streams on fixed channels, a volume per
// channel and one master volume; and for short sounds, playing at a pitch
// on a channel of a range, and a place left or right. Implemented over
// SDL2_mixer; this is the only part of the game that knows SDL.
#pragma once

#include <cstddef>

struct FSOUND_STREAM;  // opaque: a decoded recording
namespace sound {
struct Samples;
}

enum {
    FSOUND_LOOP_OFF = 1,          // play once per start
    FSOUND_LOOP_NORMAL = 2,       // loop until stopped
    FSOUND_INIT_GLOBALFOCUS = 2,  // sound goes on while the window is in the background
    FSOUND_ALL = -3,              // every channel, for FSOUND_StopSound
};

// Error codes of FSOUND_GetError; soundErrorText turns them into words.
enum {
    FMOD_ERR_NONE = 0,
    FMOD_ERR_BUSY = 1,
    FMOD_ERR_UNINITIALIZED = 2,
    FMOD_ERR_INIT = 3,
    FMOD_ERR_ALLOCATED = 4,
    FMOD_ERR_PLAY = 5,
    FMOD_ERR_OUTPUT_FORMAT = 6,
    FMOD_ERR_COOPERATIVELEVEL = 7,
    FMOD_ERR_CREATEBUFFER = 8,
    FMOD_ERR_FILE_NOTFOUND = 9,
    FMOD_ERR_FILE_FORMAT = 10,
    FMOD_ERR_FILE_BAD = 11,
    FMOD_ERR_MEMORY = 12,
    FMOD_ERR_VERSION = 13,
    FMOD_ERR_INVALID_PARAM = 14,
    FMOD_ERR_NO_EAX = 15,
    FMOD_ERR_CHANNEL_ALLOC = 16,
    FMOD_ERR_RECORD = 17,
    FMOD_ERR_MEDIAPLAYER = 18,
};

// Non-zero on success. On failure FSOUND_GetError tells why.
signed char FSOUND_Init(int mixrate, int maxchannels, unsigned int flags);
int FSOUND_GetError();
// Null when the file cannot be opened or does not start like a recording.
// Decoding happens in the background; a stream that then fails to decode
// plays nothing.
FSOUND_STREAM* FSOUND_Stream_Open(const char* path, unsigned int mode, int offset, int length);
// Master volume of all channels, 0..255 (values outside are clamped).
void FSOUND_SetSFXMasterVolume(int volume);
int FSOUND_GetSFXMasterVolume();
// Starts the stream on that channel; a null stream is ignored. Returns the
// channel, or -1.
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
// Channel volume 0..255 (clamped). Set before a start, the sound starts at
// it; changed while the channel sounds, it glides there in 10 ms.
signed char FSOUND_SetVolume(int channel, int volume);
// FSOUND_ALL stops every channel.
signed char FSOUND_StopSound(int channel);
// Releases the library and every stream opened.
void FSOUND_Close();

// Plays the stream once on `channel` at `pitch` times its speed (clamped to
// 0.5..2; above 1 is higher and shorter), from a copy made for the channel
// that lasts until the channel plays something else or is stopped. Returns
// the channel, or -1.
int FSOUND_Stream_PlayPitched(int channel, FSOUND_STREAM* stream, double pitch);
// A silent channel of first..last, or else the one started longest ago, so
// that a new short sound cuts off the oldest; -1 for a range outside the
// channels.
int FSOUND_FreeChannel(int first, int last);
// Whether the channel sounds now.
signed char FSOUND_IsPlaying(int channel);
// The player's volume for a kind of sound (0..100 per cent), over the
// channels first..last, on top of each channel's own volume and the master.
void FSOUND_SetRangeVolume(int first, int last, int percent);
// Where the channel is heard: 0 left, 128 the middle, 255 right (clamped).
signed char FSOUND_SetPan(int channel, int pan);
// The decoded length in seconds, waiting for the decode if need be; 0 for a
// null stream or one that did not decode.
double FSOUND_Stream_GetLengthSeconds(FSOUND_STREAM* stream);
// The decoded sound, waiting for the decode if need be; null for a null
// stream or one that did not decode. Lives until FSOUND_Close.
const sound::Samples* FSOUND_Stream_GetSamples(FSOUND_STREAM* stream);
// Bytes of decoded sound held now: every stream decoded so far and the
// pitched copies on the channels.
std::size_t FSOUND_DecodedBytes();

// The text for an error code of FSOUND_GetError.
const char* soundErrorText(int code);
