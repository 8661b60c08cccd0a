// Level files on disk: the game's current level read from and written to
// the file of its number. The bytes are levels/level.cpp's.
#include "storage/level_file.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "storage/level.h"
#include "storage/files.h"
#include "app/game.h"

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

bool Game::loadLevelFile(const std::string& path) {
    // Read everything before touching the record, so that a file that turns
    // out to be unreadable changes nothing.
    std::string bytes;
    if (!files::readRegular(path, kLargestLevel, bytes)) return false;
    resetBoard(0);
    // What the file does not supply keeps the blank layout.
    Level level = levelOf(rules, "");
    readLevel(bytes, level);
    placeLevel(level, rules);
    levelTitle = level.title;
    return true;
}

bool Game::loadLevel(int32_t number) {
    if (!loadLevelFile(levelFilePath(number))) return false;
    levelNumber = number;
    boardFile = number;
    boardEdited = false;
    beginLevelPlay();
    return true;
}

bool Game::saveLevel(std::string* reason) {
    const std::string bytes = formatLevel(levelOf(rules, levelTitle));

    files::Outcome saved = files::writeReplacing(levelFilePath(levelNumber), bytes);
    if (saved) {
        boardFile = levelNumber;
        boardEdited = false;
    } else if (reason) {
        *reason = saved.reason;
    }
    return saved.ok;
}

void Game::restartLevel() {
    resetBoard(0);
    boardFile = 0;  // the blank board stays when the file is gone
    loadLevel(levelNumber);
    redrawNeeded = true;
    moveCount = 0;
}

void Game::setLevelTitle(const std::string& title) { levelTitle = title; }

void Game::setLevelNumber(int32_t number) { levelNumber = number; }
