// The best way each level was won, kept to be watched again: "replays.txt"
// in the game's directory, a line a level, tab-separated:
//
//     <pack key>\t<number>\t<checksum>\t<moves as U D L R letters>
//
// The pack key is how text files write a pack ("levels", "packs/<folder>");
// the checksum is the level file's, so a way kept for a level since changed
// is never played on the new one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "storage/files.h"

struct Replay {
    std::string pack;  // the pack key
    int32_t number = 0;
    std::string checksum;
    std::string moves;
};

namespace replays {

extern const char* const kFile;
// A level a line: far more than all the levels there are will ever need.
constexpr std::size_t kMostBytes = 4 << 20;

std::string line(const Replay& r);
// One line (no line end); false unless it is four good fields.
bool parseLine(const std::string& text, Replay& r);

// What reading the file found: Nothing when there is none; Unusable (with
// `reason`) when it cannot be read at all, or some of its lines are no
// replay (`damaged` counts them; the good ones are still given).
enum class Found { Nothing, Kept, Unusable };
Found read(std::vector<Replay>& out, std::string& reason, std::size_t& damaged);
// The replay kept for a level, if one is.
bool find(const std::string& pack, int32_t number, Replay& out);
// Keeps `r` as its level's line (replacing the one there was), written
// through the safe replace with the other good lines as they were.
files::Outcome keep(const Replay& r);

}  // namespace replays
