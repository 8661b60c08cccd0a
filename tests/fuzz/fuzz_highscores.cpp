// The high-score reader and rewriter on any table. The first two bytes pick
// the level just solved and its moves; the rest is "highscores.dat". After
// the update the table is the old one, or the old one with the new count in
// place of the level's, or the old one with one line added; what the
// level-won screen is told matches the table; no temporary file is left.
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_support.h"

namespace {

bool isSpace(char c) { return c == ' ' || (c >= 9 && c <= 13); }

struct Parsed {
    std::vector<long long> numbers;  // level, moves, level, moves, ...
    bool wellFormed = true;          // nothing but whole pairs of 32-bit integers
};

// The table read as whitespace-separated decimal integers up to the first
// token that is not one. Read another way than the game reads it (by words
// and strtoll), so that a mistake in either shows against the other.
Parsed parse(const std::string& text) {
    Parsed p;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        const bool digitsFollow = std::isdigit(static_cast<unsigned char>(token[0])) ||
                                  (token.size() > 1 && (token[0] == '+' || token[0] == '-') &&
                                   std::isdigit(static_cast<unsigned char>(token[1])));
        char* end = nullptr;
        errno = 0;
        const long long value = std::strtoll(token.c_str(), &end, 10);
        if (!digitsFollow || end != token.c_str() + token.size() || errno != 0 || value < INT32_MIN ||
            value > INT32_MAX) {
            p.wellFormed = false;
            break;
        }
        p.numbers.push_back(value);
    }
    if (p.numbers.size() % 2) {
        p.wellFormed = false;
        p.numbers.pop_back();
    }
    return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    Game& game = fuzz::game();
    const int32_t level = static_cast<int8_t>(data[0]) % 12;
    const int32_t moves = data[1];
    const std::string old(reinterpret_cast<const char*>(data + 2), size - 2);
    fuzz::writeFile("highscores.dat", old);
    fuzz::removeFile("highscores2.dat");

    game.setLevelNumber(level);
    game.moveCount = moves;
    game.recordMoves = 12345;
    unsigned long messages = fuzz::messageCount;
    game.updateHighScores();
    FUZZ_CHECK(fuzz::messageCount == messages, "a message box for a table that exists");

    bool exists = false;
    const std::string now = fuzz::readFile("highscores.dat", &exists);
    FUZZ_CHECK(exists, "the table is gone");
    fuzz::readFile("highscores2.dat", &exists);
    FUZZ_CHECK(!exists, "the temporary table was left behind");

    Parsed before = parse(old);
    long long stored = 0;
    bool found = false;
    for (size_t i = 0; i + 1 < before.numbers.size() && !found; i += 2)
        if (before.numbers[i] == level) found = true, stored = before.numbers[i + 1];

    if (!found) {
        FUZZ_CHECK(game.recordMoves == -1, "no entry, yet record %d", game.recordMoves);
        // Appended: the old bytes unchanged, then one whole entry.
        FUZZ_CHECK(now.size() > old.size() && now.compare(0, old.size(), old) == 0,
                   "the old table was not kept in front of the new entry");
        Parsed added = parse(now.substr(old.size()));
        FUZZ_CHECK(added.wellFormed && added.numbers.size() == 2 && added.numbers[0] == level &&
                       added.numbers[1] == moves,
                   "the added entry is not \"%d %d\"", level, moves);
        FUZZ_CHECK(isSpace(now.back()), "the added entry has no line end");
        if (before.wellFormed) {
            // Read back, the table has exactly one more entry: the new one
            // did not run into the last old line.
            Parsed after = parse(now);
            FUZZ_CHECK(after.wellFormed && after.numbers.size() == before.numbers.size() + 2,
                       "the new entry merged with the table");
        }
    } else if (stored > moves || stored < 0) {
        FUZZ_CHECK(game.recordMoves == -1, "a new record reported as %d", game.recordMoves);
        if (!before.wellFormed) {
            FUZZ_CHECK(now == old, "a damaged table was rewritten, losing what followed");
        } else {
            Parsed after = parse(now);
            FUZZ_CHECK(after.wellFormed && after.numbers.size() == before.numbers.size(),
                       "the rewritten table lost or gained entries");
            for (size_t i = 0; i < before.numbers.size(); i += 2) {
                FUZZ_CHECK(after.numbers[i] == before.numbers[i], "entry %zu changed level", i / 2);
                long long expected = before.numbers[i] == level ? moves : before.numbers[i + 1];
                FUZZ_CHECK(after.numbers[i + 1] == expected, "entry %zu has %lld moves, not %lld",
                           i / 2, after.numbers[i + 1], expected);
            }
        }
    } else {
        FUZZ_CHECK(game.recordMoves == stored, "record %d, table says %lld", game.recordMoves,
                   stored);
        FUZZ_CHECK(now == old, "a table without a new record was changed");
    }
    return 0;
}
