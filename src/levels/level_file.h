// Helpers of the level file shared with the level chooser.
#pragma once

#include <string>

// Reads the first line of a level file (its title, without the line end).
// False when the file cannot be opened or read, as loadLevelFile would fail.
bool readLevelTitle(const std::string& path, std::string& title);
