#include "shell/game.h"

signed char FSOUND_Init(int, int, unsigned int) { return 1; }
int FSOUND_GetError() { return 0; }
FSOUND_STREAM* FSOUND_Stream_Open(const char*, unsigned int, int, int) { return nullptr; }
void FSOUND_SetSFXMasterVolume(int) {}
int FSOUND_GetSFXMasterVolume() { return 255; }
int FSOUND_Stream_Play(int, FSOUND_STREAM*) { return -1; }
signed char FSOUND_SetVolume(int, int) { return 0; }
signed char FSOUND_StopSound(int) { return 0; }
void FSOUND_Close() {}
const char* soundErrorText(int) { return "Unknown error"; }
