// Shared set-up of the fuzz targets: Allegro without a display, one Game per
// process (built in the shipped data tree so that every picture is there),
// a scratch directory to work in, and stand-ins for the platform's waits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "shell/game.h"

namespace fuzz {

// The process's one Game; the first call starts Allegro, builds the Game and
// moves into a fresh scratch directory, which is the working directory from
// then on and is removed at exit.
Game& game();
const std::string& scratchDir();

// Simulated milliseconds passed in rest() and vsync(); each call first runs
// the onRest action, so that a target can release a key its code waits on.
extern unsigned long nowMs;
extern std::function<void()> onRest;
// Message boxes the code under test asked for.
extern unsigned long messageCount;

void writeFile(const std::string& path, const uint8_t* data, size_t size);
void writeFile(const std::string& path, const std::string& content);
// The file's bytes; exists (when given) tells whether it could be opened.
std::string readFile(const std::string& path, bool* exists = nullptr);
void removeFile(const std::string& path);

// A broken expectation: prints it and aborts, which libFuzzer records as a
// crash together with the input that caused it.
[[noreturn]] void fail(const char* format, ...);

}  // namespace fuzz

#define FUZZ_CHECK(condition, ...)                  \
    do {                                            \
        if (!(condition)) fuzz::fail(__VA_ARGS__); \
    } while (0)
