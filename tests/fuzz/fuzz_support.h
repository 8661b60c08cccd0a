// For the fuzz targets: one session per process in a scratch directory (in memory where there is a place); no window, no sound.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "session/session.h"
#include "storage/files.h"

// A broken expectation: libFuzzer records the abort with its input.
#define FUZZ_CHECK(condition, ...) \
    if (!(condition)) std::fprintf(stderr, "fuzz check failed: " __VA_ARGS__), std::fprintf(stderr, "\n"), std::abort()

namespace fuzz {
Session& session();

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
