// Shared by the fuzz targets: one Game per process, built without a display
// in the shipped data tree (so every picture is there), then working in a
// scratch directory; waits take no time and message boxes are counted.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/game.h"

namespace fuzz {
Game& game();
extern unsigned long messageCount;
void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
}  // namespace fuzz

// A broken expectation: libFuzzer records the abort with its input.
#define FUZZ_CHECK(condition, ...) \
    if (!(condition)) std::fprintf(stderr, "fuzz check failed: " __VA_ARGS__), std::fprintf(stderr, "\n"), std::abort()
