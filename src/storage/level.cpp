#include "storage/level.h"

#include <cstring>
#include <limits>

namespace {

bool isBlank(int c) { return c == ' ' || (c >= 9 && c <= 13); }

// A cursor over the bytes; -1 past the end.
struct Bytes {
    const std::string& data;
    size_t at = 0;
    int next() { return at < data.size() ? static_cast<unsigned char>(data[at++]) : -1; }
    void back() { --at; }
};

// A title is a few dozen characters. A first line of megabytes (a large file
// with no line ends named like a level) is kept only to its start
// (kLongestTitle characters).

// Everything up to the first line feed, which is consumed. The CR of a CR LF
// line end (or of a file cut off after it) is dropped, so such a file gives
// the same title as a bare-LF one; a CR elsewhere belongs to the title.
// False when there was nothing to read.
bool readTitleLine(Bytes& in, std::string& title) {
    bool cut = false;
    title.clear();
    int c = in.next();
    if (c < 0) return false;
    while (c >= 0 && c != '\n') {
        if (title.size() < kLongestTitle)
            title.push_back(static_cast<char>(c));
        else
            cut = true;
        c = in.next();
    }
    if (!cut && !title.empty() && title.back() == '\r') title.pop_back();
    return true;
}

// An integer as a formatted stream read takes it: blanks skipped, an optional
// sign, decimal digits. The byte after the digits is left unread. False at
// the end, on a malformed number or on one outside 32 bits.
bool readInteger(Bytes& in, int32_t& value) {
    int c;
    do {
        c = in.next();
    } while (isBlank(c));
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = in.next();
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
        c = in.next();
    }
    if (c >= 0) in.back();
    if (!negative) sum = -sum;
    if (overflow || sum > std::numeric_limits<int32_t>::max()) return false;
    value = static_cast<int32_t>(sum);
    return true;
}

}  // namespace

bool Level::operator==(const Level& o) const {
    return title == o.title && std::memcmp(cells, o.cells, sizeof cells) == 0 && dogColumn == o.dogColumn &&
           dogRow == o.dogRow && boneColumn == o.boneColumn && boneRow == o.boneRow;
}

bool readLevel(const std::string& bytes, Level& level) {
    Bytes in{bytes};
    std::string title;
    if (!readTitleLine(in, title)) return false;
    level.title = title;
    // Play must never index outside the board: a position off it is unread.
    bool placed = true;
    int32_t* fields[4] = {&level.dogColumn, &level.dogRow, &level.boneColumn, &level.boneRow};
    for (int i = 0; i < 4; ++i) {
        int32_t value;
        if (!readInteger(in, value)) return false;
        int32_t limit = (i % 2 == 0) ? Level::kColumns : Level::kRows;
        if (value >= 0 && value < limit)
            *fields[i] = value;
        else
            placed = false;
    }
    // Only the order of the non-blank bytes counts, not the line structure.
    for (int r = 0; r < Level::kRows; ++r) {
        for (int column = 0; column < Level::kColumns; ++column) {
            int c;
            do {
                c = in.next();
            } while (isBlank(c));
            if (c < 0) return placed;
            level.cells[r][column] = static_cast<uint8_t>(c);
        }
    }
    return placed;
}

std::string levelTitleOf(const std::string& bytes) {
    Bytes in{bytes};
    std::string title;
    readTitleLine(in, title);
    return title;
}

std::string formatLevel(const Level& level) {
    std::string out;
    for (char ch : level.title.substr(0, kLongestTitle)) out.push_back(ch == '\n' || ch == '\r' ? ' ' : ch);
    out += "\r\n";
    out += std::to_string(level.dogColumn) + " " + std::to_string(level.dogRow) + " " +
           std::to_string(level.boneColumn) + " " + std::to_string(level.boneRow) + "\r\n";
    for (int r = 0; r < Level::kRows; ++r) {
        for (int c = 0; c < Level::kColumns; ++c) {
            out.push_back(static_cast<char>(level.cells[r][c]));
            out.push_back(' ');
        }
        out += "\r\n";
    }
    return out;
}

void placeLevel(const Level& level, RuleState& state) {
    std::memcpy(state.board, level.cells, sizeof state.board);
    state.dogColumn = level.dogColumn;
    state.dogRow = level.dogRow;
    state.boneColumn = level.boneColumn;
    state.boneRow = level.boneRow;
}

Level levelOf(const RuleState& state, const std::string& title) {
    Level level;
    level.title = title;
    std::memcpy(level.cells, state.board, sizeof level.cells);
    level.dogColumn = state.dogColumn;
    level.dogRow = state.dogRow;
    level.boneColumn = state.boneColumn;
    level.boneRow = state.boneRow;
    return level;
}
