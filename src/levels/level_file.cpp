// Level files on disk: the game's current level read from and written to
// the file of its number. The bytes are levels/level.cpp's.
#include "levels/level_file.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "levels/level.h"
#include "shell/game.h"

namespace {

// A level file is under a kilobyte: after the title line, what lies beyond
// this cannot be part of a level.
const size_t kLevelFileLimit = 1 << 20;
// The reader keeps 4096 characters of a title; one more tells it the line
// was longer.
const size_t kTitleKept = 4096 + 1;

// The bytes of a level file as the level reader needs them: of an over-long
// title line only its start, then at most `restLimit` bytes after the line.
// False when it cannot be opened or read (a directory opens but cannot be
// read: it is no level).
bool readLevelBytes(const std::string& path, size_t restLimit, std::string& bytes) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return false;
    bytes.clear();
    size_t titleLength = 0, rest = 0;
    bool inTitle = true;
    int c;
    while ((c = std::getc(in)) != EOF) {
        if (!inTitle) {
            bytes.push_back(static_cast<char>(c));
            ++rest;
        } else if (c == '\n') {
            bytes.push_back('\n');
            inTitle = false;
        } else if (titleLength++ < kTitleKept) {
            bytes.push_back(static_cast<char>(c));
        }
        if (!inTitle && rest >= restLimit) break;
    }
    bool ok = !std::ferror(in);
    std::fclose(in);
    return ok;
}

bool writeAll(std::FILE* out, const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
}

}  // namespace

std::string levelFilePath(int32_t number) { return "levels/" + std::to_string(number) + ".lvl"; }

bool readLevelTitle(const std::string& path, std::string& title) {
    std::string bytes;
    if (!readLevelBytes(path, 0, bytes)) return false;
    title = levelTitleOf(bytes);
    return true;
}

bool Game::loadLevelFile(const std::string& path) {
    // Read everything before touching the record, so that a file that turns
    // out to be unreadable changes nothing.
    std::string bytes;
    if (!readLevelBytes(path, kLevelFileLimit, bytes)) return false;
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
    return true;
}

bool Game::saveLevel() {
    const std::string bytes = formatLevel(levelOf(rules, levelTitle));

    // Written beside the level and renamed over it only when complete, so a
    // failed save never damages the level already on disk.
    const std::string path = levelFilePath(levelNumber);
    const std::string temporary = path + ".tmp";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) return false;
    bool ok = writeAll(out, bytes);
    ok = std::fflush(out) == 0 && ok;
    ok = fsync(fileno(out)) == 0 && ok;
    ok = std::fclose(out) == 0 && ok;
    if (ok) ok = std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temporary.c_str());
    return ok;
}

void Game::restartLevel() {
    resetBoard(0);
    loadLevel(levelNumber);
    redrawNeeded = true;
    moveCount = 0;
}

void Game::setLevelTitle(const std::string& title) { levelTitle = title; }

void Game::setLevelNumber(int32_t number) { levelNumber = number; }
