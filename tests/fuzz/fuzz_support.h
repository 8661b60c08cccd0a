// For the fuzz targets: one Game per process built headless in the shipped data tree, then in a scratch directory; no waits, boxes counted.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "storage/files.h"
#include "app/game.h"

// A broken expectation: libFuzzer records the abort with its input.
#define FUZZ_CHECK(condition, ...) \
    if (!(condition)) std::fprintf(stderr, "fuzz check failed: " __VA_ARGS__), std::fprintf(stderr, "\n"), std::abort()

namespace fuzz {
Game& game();
extern unsigned long messageCount;

// Inputs go to disk and come back through the game's own file module.
inline void writeFile(const std::string& path, const std::string& content) {
    FUZZ_CHECK(files::writeReplacing(path, content), "cannot write %s", path.c_str());
}
inline std::string readFile(const std::string& path) {
    std::string bytes;
    files::readRegular(path, 1u << 26, bytes);  // a missing file reads as nothing
    return bytes;
}
}  // namespace fuzz
