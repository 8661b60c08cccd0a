#include "storage/board_text.h"

#include <sstream>

#include "rules/tiles.h"

namespace {
// What a row holds on a fresh board; dog and bone marks stand on it.
uint8_t usualCode(int row) { return row == 0 ? SkyTop : row == 1 ? SkyBottom : Dirt; }

// Drops the '|' borders a row may be written between.
std::string unframe(const std::string& line) {
    if (line.size() >= 2 && line.front() == '|' && line.back() == '|') return line.substr(1, line.size() - 2);
    return line;
}

std::string stripCr(std::string line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}
}  // namespace

int codeForChar(char c, int row) {
    switch (c) {
    case '^': return SkyTop;
    case '=': return SkyBottom;
    case '_': return SkyBottomDestroyed;
    case '.': return Dirt;
    case ' ': return Tunnel;
    case '#': return Rock;
    case 'o': return BlackRock;
    case 'D':
    case 'B': return usualCode(row);
    case 'd':
    case 'b': return Tunnel;
    default: return -1;
    }
}

char charForCode(uint8_t code) {
    switch (code) {
    case SkyTop: return '^';
    case SkyBottom: return '=';
    case SkyBottomDestroyed: return '_';
    case Dirt: return '.';
    case Tunnel: return ' ';
    case Rock: return '#';
    case BlackRock: return 'o';
    default: return '?';
    }
}

bool parseLevelText(const std::string& text, Level& level, std::string& error) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line)) {
        error = "no title line";
        return false;
    }
    level.title = stripCr(line);
    level.dogColumn = level.dogRow = level.boneColumn = level.boneRow = -1;
    for (int r = 0; r < Level::kRows; ++r) {
        if (!std::getline(in, line)) {
            error = "the grid has " + std::to_string(r) + " rows, not 15";
            return false;
        }
        std::string row = unframe(stripCr(line));
        if (row.size() != static_cast<size_t>(Level::kColumns)) {
            error = "row " + std::to_string(r) + " has " + std::to_string(row.size()) + " cells, not 20";
            return false;
        }
        for (int c = 0; c < Level::kColumns; ++c) {
            char ch = row[c];
            int code = codeForChar(ch, r);
            if (code < 0) {
                error = std::string("unknown cell '") + ch + "' in row " + std::to_string(r) + ", column " +
                        std::to_string(c);
                return false;
            }
            level.cells[r][c] = static_cast<uint8_t>(code);
            bool dog = ch == 'D' || ch == 'd';
            bool bone = ch == 'B' || ch == 'b';
            if ((dog && level.dogRow >= 0) || (bone && level.boneRow >= 0)) {
                error = std::string("a second ") + (dog ? "dog" : "bone") + " in row " + std::to_string(r);
                return false;
            }
            if (dog) level.dogColumn = c, level.dogRow = r;
            if (bone) level.boneColumn = c, level.boneRow = r;
        }
    }
    while (std::getline(in, line)) {
        if (stripCr(line).find_first_not_of(" \t") != std::string::npos) {
            error = "text after the 15 grid rows";
            return false;
        }
    }
    if (level.dogRow < 0 || level.boneRow < 0) {
        error = level.dogRow < 0 ? "no dog (D or d) in the grid" : "no bone (B or b) in the grid";
        return false;
    }
    return true;
}

std::string levelToText(const Level& level) {
    std::string out = level.title + "\n";
    for (int r = 0; r < Level::kRows; ++r) {
        std::string row;
        for (int c = 0; c < Level::kColumns; ++c) {
            uint8_t code = level.cells[r][c];
            char ch = charForCode(code);
            bool dog = c == level.dogColumn && r == level.dogRow;
            bool bone = c == level.boneColumn && r == level.boneRow;
            if (dog && code == usualCode(r))
                ch = 'D';
            else if (dog && code == Tunnel)
                ch = 'd';
            else if (bone && code == usualCode(r))
                ch = 'B';
            else if (bone && code == Tunnel)
                ch = 'b';
            row += ch;
        }
        out += "|" + row + "|\n";
    }
    return out;
}

bool applyGrid(RuleState& state, const std::vector<std::string>& rows) {
    for (int r = 0; r < Level::kRows; ++r)
        for (int c = 0; c < Level::kColumns; ++c) state.board[r][c] = usualCode(r);
    for (size_t r = 0; r < rows.size() && r < static_cast<size_t>(Level::kRows); ++r) {
        std::string row = unframe(rows[r]);
        for (size_t c = 0; c < row.size() && c < static_cast<size_t>(Level::kColumns); ++c) {
            int code = codeForChar(row[c], static_cast<int>(r));
            if (code < 0) return false;
            state.board[r][c] = static_cast<uint8_t>(code);
            if (row[c] == 'D' || row[c] == 'd') state.dogColumn = int32_t(c), state.dogRow = int32_t(r);
            if (row[c] == 'B' || row[c] == 'b') state.boneColumn = int32_t(c), state.boneRow = int32_t(r);
        }
    }
    return true;
}

std::vector<std::string> boardRows(const RuleState& state) {
    std::istringstream in(levelToText(levelOf(state, "")));
    std::vector<std::string> rows;
    std::string line;
    std::getline(in, line);  // the empty title
    while (std::getline(in, line)) rows.push_back(unframe(line));
    return rows;
}
