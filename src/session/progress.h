// The level in play kept across a restart: "progress.txt" in the game's
// directory, a "key value" line each (the value is the rest of the line):
//
//     pack levels
//     level 15
//     checksum 0123456789abcdef
//     moves DRRUL
//
// The checksum is the level file's (levelChecksum): a log is only ever
// played again on the very level it was made on.
#pragma once

#include <cstddef>
#include <string>

#include "session/level_ref.h"

struct Progress {
    LevelRef level;
    std::string checksum;  // of the level file's bytes
    std::string moves;     // the move log as letters, "" for none

    bool operator==(const Progress& o) const {
        return level == o.level && checksum == o.checksum && moves == o.moves;
    }
    bool operator!=(const Progress& o) const { return !(*this == o); }
};

namespace progress {

extern const char* const kFile;
// Far more moves than any level wants; a larger file is no progress of ours.
constexpr std::size_t kMostBytes = 256 * 1024;

std::string format(const Progress& p);
// False for anything but the four lines, each once, with good values (other
// keys are let be, for a later game's sake).
bool parse(const std::string& bytes, Progress& p);

// What reading the file found.
enum class Found { Nothing, Kept, Unusable };
// Reads kFile: Nothing when there is none, Unusable (with `reason`) when
// something is there that is not a good record (damaged, huge, a folder,
// unreadable).
Found read(Progress& p, std::string& reason);

}  // namespace progress
