// For the fuzz targets: one Game per process built headless in the shipped data tree, then in a scratch directory; no waits, boxes counted.
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
