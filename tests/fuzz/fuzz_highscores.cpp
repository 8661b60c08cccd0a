// The high-score table on any bytes. The first two bytes pick the level just
// solved and its moves; the rest is "highscores.dat". A table that cannot be
// read to its end is reported as missing and left alone; otherwise the
// result matches the table, and the new table is the old one with the new
// count in place of the level's, or with one entry added.
#include <dirent.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_support.h"

namespace {

// The table read by words and strtoll, another way than the game reads it,
// so that a mistake in either shows against the other. False when damaged.
bool parse(const std::string& text, std::vector<long long>& numbers) {
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        const size_t digit = token[0] == '+' || token[0] == '-';
        char* end = nullptr;
        errno = 0;
        const long long value = std::strtoll(token.c_str(), &end, 10);
        if (digit >= token.size() || !std::isdigit(static_cast<unsigned char>(token[digit])) ||
            end != token.c_str() + token.size() || errno != 0 || value < INT32_MIN || value > INT32_MAX)
            return false;
        numbers.push_back(value);
    }
    return numbers.size() % 2 == 0;
}

int filesHere() {
    int n = 0;
    DIR* d = opendir(".");
    while (dirent* e = readdir(d)) n += e->d_name[0] != '.';
    closedir(d);
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    Game& game = fuzz::game();
    const int32_t level = static_cast<int8_t>(data[0]) % 12;
    const int32_t moves = data[1];
    const std::string old(reinterpret_cast<const char*>(data + 2), size - 2);
    fuzz::writeFile("highscores.dat", old);
    game.setLevelNumber(level);
    game.moveCount = moves;
    game.boardEdited = false;
    const unsigned long messages = fuzz::messageCount;
    game.updateHighScores();
    const std::string now = fuzz::readFile("highscores.dat");
    FUZZ_CHECK(filesHere() == 2, "a temporary file was left behind");

    std::vector<long long> before, after;
    if (!parse(old, before)) {
        FUZZ_CHECK(fuzz::messageCount == messages + 1 && now == old, "a damaged table was trusted");
        FUZZ_CHECK(game.recordMoves != -1 && game.recordMoves > moves, "a record line for a damaged table");
        return 0;
    }
    FUZZ_CHECK(fuzz::messageCount == messages && game.recordNote.empty(), "a message for a good table");
    size_t at = 0;
    while (at < before.size() && before[at] != level) at += 2;
    if (at < before.size() && before[at + 1] >= 0 && before[at + 1] <= moves) {
        FUZZ_CHECK(game.recordMoves == before[at + 1] && now == old, "record %d, table says %lld",
                   game.recordMoves, before[at + 1]);
        return 0;
    }
    FUZZ_CHECK(game.recordMoves == -1, "a new record reported as %d", game.recordMoves);
    if (at == before.size()) {
        before.push_back(level);
        before.push_back(moves);
        FUZZ_CHECK(now.compare(0, old.size(), old) == 0, "the old table was not kept before the new entry");
    }
    for (size_t i = 0; i < before.size(); i += 2)
        if (before[i] == level) before[i + 1] = moves;
    FUZZ_CHECK(parse(now, after) && after == before, "the new table is not the old one with the record");
    return 0;
}
