// The level file: a title line, a line with the dog's and the bone's cells,
// then 15 rows of 20 raw tile bytes, each followed by a space. Lines end in
// CR LF on disk; a bare LF is read the same.
#include "levels/level_file.h"

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "shell/files.h"
#include "shell/game.h"

namespace {

const int kRows = 15;
const int kColumns = 20;

bool isBlank(int c) { return c == ' ' || (c >= 9 && c <= 13); }

// What a file supplied. Fields it did not supply keep the blank layout.
struct LevelContent {
    std::string title;
    int32_t positions[4] = {0, 0, 0, 0};  // dog column, dog row, bone column, bone row
    bool positionRead[4] = {false, false, false, false};
    uint8_t cells[kRows][kColumns] = {};
    int cellsRead = 0;  // in row order
};

// Everything up to the first line feed, which is consumed. The CR of a
// CR LF line end (or a file cut off after it) is dropped so that such a file
// gives the same title as a bare-LF one; a CR elsewhere belongs to the title.
// False when the file ended before anything could be read.
bool readTitleLine(std::FILE* in, std::string& title) {
    // A title is a few dozen characters. A first line of megabytes (a large
    // file with no line ends named like a level) is skipped past its start:
    // kept whole it would only cost memory, ninety-nine times in the chooser.
    const size_t kLongestTitle = 4096;
    bool cut = false;
    title.clear();
    int c = std::getc(in);
    if (c == EOF) return false;
    while (c != EOF && c != '\n') {
        if (title.size() < kLongestTitle)
            title.push_back(static_cast<char>(c));
        else
            cut = true;
        c = std::getc(in);
    }
    if (!cut && !title.empty() && title.back() == '\r') title.pop_back();
    return true;
}

// An integer as a formatted stream read takes it: blanks skipped, an optional
// sign, decimal digits. The byte after the digits is left unread. False on
// the end of the file, a malformed number or one outside 32 bits.
bool readInteger(std::FILE* in, int32_t& value) {
    int c;
    do {
        c = std::getc(in);
    } while (isBlank(c));
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = std::getc(in);
    }
    if (c < '0' || c > '9') return false;
    // Accumulated as a negative number so that the lowest value fits.
    const int64_t lowest = std::numeric_limits<int32_t>::min();
    int64_t sum = 0;
    bool overflow = false;
    while (c >= '0' && c <= '9') {
        sum = sum * 10 - (c - '0');
        if (sum < lowest) {
            overflow = true;
            sum = lowest;  // keep reading the digits, the number is lost anyway
        }
        c = std::getc(in);
    }
    if (c != EOF) std::ungetc(c, in);
    if (!negative) sum = -sum;
    if (overflow || sum > std::numeric_limits<int32_t>::max()) return false;
    value = static_cast<int32_t>(sum);
    return true;
}

// Reads as far as the content goes; the first failure ends the reading.
void readContent(std::FILE* in, LevelContent& level) {
    if (!readTitleLine(in, level.title)) return;
    for (int i = 0; i < 4; ++i) {
        if (!readInteger(in, level.positions[i])) return;
        level.positionRead[i] = true;
    }
    for (int r = 0; r < kRows; ++r) {
        for (int col = 0; col < kColumns; ++col) {
            int c;
            do {
                c = std::getc(in);
            } while (isBlank(c));
            if (c == EOF) return;
            level.cells[r][col] = static_cast<uint8_t>(c);
            ++level.cellsRead;
        }
    }
}

// A level is under a kilobyte with any sensible title; a file is read no
// further than this, so that a huge file (or a device) named like a level
// costs nothing. The chooser reads only as far as a title can go.
const size_t kLargestLevel = 64 * 1024;
const size_t kLargestTitleLine = 4096 + 2;

// The file's first bytes as a stream for the readers below; null when it is
// no regular file or cannot be read. `bytes` must outlive the stream.
std::FILE* openBounded(const std::string& path, size_t limit, std::string& bytes) {
    if (!files::readRegular(path, limit, bytes)) return nullptr;
    return fmemopen(&bytes[0], bytes.size(), "rb");
}

}  // namespace

std::string levelFilePath(int32_t number) { return "levels/" + std::to_string(number) + ".lvl"; }

bool readLevelTitle(const std::string& path, std::string& title) {
    std::string bytes;
    std::FILE* in = openBounded(path, kLargestTitleLine, bytes);
    if (!in) return false;
    std::string line;
    readTitleLine(in, line);
    std::fclose(in);
    title = line;
    return true;
}

bool Game::loadLevelFile(const std::string& path) {
    std::string bytes;
    std::FILE* in = openBounded(path, kLargestLevel, bytes);
    if (!in) return false;
    LevelContent level;
    readContent(in, level);
    std::fclose(in);

    resetBoard(0);
    levelTitle = level.title;
    // A position off the board is taken as unread: play must never index
    // outside the board.
    int32_t* fields[4] = {&dogColumn, &dogRow, &boneColumn, &boneRow};
    for (int i = 0; i < 4; ++i) {
        int32_t limit = (i % 2 == 0) ? boardWidth : boardHeight;
        int32_t v = level.positions[i];
        if (level.positionRead[i] && v >= 0 && v < limit) *fields[i] = v;
    }
    if (board) {
        for (int n = 0; n < level.cellsRead; ++n) {
            int r = n / kColumns;
            int c = n % kColumns;
            if (r < boardHeight && c < boardWidth) board[r][c] = level.cells[r][c];
        }
    }
    return true;
}

bool Game::loadLevel(int32_t number) {
    if (!loadLevelFile(levelFilePath(number))) return false;
    levelNumber = number;
    boardFile = number;
    boardEdited = false;
    return true;
}

bool Game::saveLevel(std::string* reason) {
    if (!board) return false;
    std::string bytes;
    // A line break inside the title would split the file's first line and
    // lose the rest of the level on reading; it is stored as a space.
    for (char ch : levelTitle) bytes.push_back(ch == '\n' || ch == '\r' ? ' ' : ch);
    bytes += "\r\n";
    bytes += std::to_string(dogColumn) + " " + std::to_string(dogRow) + " " +
             std::to_string(boneColumn) + " " + std::to_string(boneRow) + "\r\n";
    for (int r = 0; r < boardHeight; ++r) {
        for (int c = 0; c < boardWidth; ++c) {
            bytes.push_back(static_cast<char>(board[r][c]));
            bytes.push_back(' ');
        }
        bytes += "\r\n";
    }

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
