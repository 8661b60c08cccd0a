// The score table on any bytes (level, moves, then the file): damage reported and kept, records no worse, a repeat is a tie, no temporary left.
#include <dirent.h>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    Game& game = fuzz::game();
    const int32_t level = static_cast<int8_t>(data[0]) % 12, moves = data[1];
    const std::string old(reinterpret_cast<const char*>(data + 2), size - 2);
    fuzz::writeFile("highscores.dat", old);
    game.setLevelNumber(level);
    game.moveCount = moves;
    game.boardEdited = false;
    const unsigned long messages = fuzz::messageCount;
    game.updateHighScores();
    const std::string now = fuzz::readFile("highscores.dat");
    int files = 0;
    DIR* d = opendir(".");
    while (dirent* e = readdir(d)) files += e->d_name[0] != '.';
    closedir(d);
    FUZZ_CHECK(files == 2, "a temporary file was left behind");
    if (fuzz::messageCount != messages) {
        FUZZ_CHECK(now == old && game.recordMoves > moves, "a damaged table was changed or claimed a record");
        return 0;
    }
    FUZZ_CHECK(game.recordNote.empty(), "a note for a table that was written: %s", game.recordNote.c_str());
    if (game.recordMoves != -1) {
        FUZZ_CHECK(now == old && game.recordMoves >= 0 && game.recordMoves <= moves, "kept record %d", game.recordMoves);
        return 0;
    }
    game.updateHighScores();
    FUZZ_CHECK(fuzz::messageCount == messages && game.recordMoves == moves && fuzz::readFile("highscores.dat") == now,
               "the new table does not hold the record: %d", game.recordMoves);
    return 0;
}
