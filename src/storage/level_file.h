// Helpers of the level file shared with the level chooser.
#pragma once

#include <string>

struct Level;

// Reads a level file over `level` (see readLevel). False, changing nothing,
// when the file cannot be opened or read, as loadLevelFile would fail.
bool readLevelFile(const std::string& path, Level& level);
