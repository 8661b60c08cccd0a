// Shared by the fuzz targets: one Game per process, built without a display
// in the shipped data tree (so every picture is there), then working in a
// scratch directory; stand-ins for the platform's waits and message boxes.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/game.h"

namespace fuzz {

Game& game();
extern unsigned long messageCount;  // message boxes asked for so far
void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);

}  // namespace fuzz

// A broken expectation: libFuzzer records the abort with its input.
#define FUZZ_CHECK(condition, ...)                               \
    do {                                                         \
        if (!(condition)) {                                      \
            std::fprintf(stderr, "fuzz check failed: " __VA_ARGS__); \
            std::fprintf(stderr, "\n");                          \
            std::abort();                                        \
        }                                                        \
    } while (0)
