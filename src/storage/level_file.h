// Level files on disk ("levels/<number>.lvl" for the shipped set), read
// through the tolerant reader of storage/level.h and written through the one
// safe replace.
#pragma once

#include <cstdint>
#include <string>

#include "storage/files.h"

struct Level;

// "levels/7.lvl" for level 7.
std::string levelFilePath(int32_t number);
// Reads a level file over `level` (see readLevel). False, changing nothing,
// when the file cannot be opened or read (missing, a folder, a device, a
// pipe, unreadable).
bool readLevelFile(const std::string& path, Level& level);
// The same for a level to be played: also false, changing nothing, for a
// file too large to be a level or one that does not place the dog and the
// bone on the board. What else is damaged reads as readLevel has it.
bool readPlayableLevel(const std::string& path, Level& level);
// Whether anything at all stands at the path (a file the editor would
// replace, or something in its way).
bool levelFileExists(const std::string& path);
// Writes the level as the file at the path.
files::Outcome writeLevelFile(const std::string& path, const Level& level);
