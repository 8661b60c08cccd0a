#include "storage/level_file.h"

#include <sys/stat.h>

#include "storage/level.h"

namespace {

// A level is under a kilobyte with any sensible title; a file is read no
// further than this, so that a huge file (or a device) named like a level
// costs nothing.
const size_t kLargestLevel = 64 * 1024;

}  // namespace

std::string levelFilePath(int32_t number) { return "levels/" + std::to_string(number) + ".lvl"; }

bool readLevelFile(const std::string& path, Level& level) {
    std::string bytes;
    if (!files::readRegular(path, kLargestLevel, bytes)) return false;
    readLevel(bytes, level);
    return true;
}

bool readPlayableLevel(const std::string& path, Level& level) {
    std::string bytes;
    // One byte past the limit tells a file too large to be a level.
    if (!files::readRegular(path, kLargestLevel + 1, bytes) || bytes.size() > kLargestLevel) return false;
    Level read = level;
    if (!readLevel(bytes, read)) return false;
    level = read;
    return true;
}

bool levelFileExists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

files::Outcome writeLevelFile(const std::string& path, const Level& level) {
    return files::writeReplacing(path, formatLevel(level));
}
