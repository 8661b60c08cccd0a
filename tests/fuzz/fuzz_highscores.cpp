// The score table on any bytes (level, moves, then the file): damage reported and kept, records no worse, a repeat is a tie, no temporary left.
#include <dirent.h>

#include "fuzz_support.h"
#include "storage/highscores.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    fuzz::session();  // the scratch directory
    const int32_t level = static_cast<int8_t>(data[0]) % 12, moves = data[1];
    const std::string old(reinterpret_cast<const char*>(data + 2), size - 2);
    fuzz::writeFile("highscores.dat", old);
    const WinRecord first = recordWin(level, moves);
    const std::string now = fuzz::readFile("highscores.dat");
    int files = 0;
    DIR* d = opendir(".");
    while (dirent* e = readdir(d)) files += e->d_name[0] != '.';
    closedir(d);
    FUZZ_CHECK(files == 2, "a temporary file was left behind");
    if (first.outcome == WinRecord::Unreadable) {
        FUZZ_CHECK(now == old, "a damaged table was changed");
        return 0;
    }
    FUZZ_CHECK(first.outcome != WinRecord::NotSaved, "a table that could be read could not be written: %s", first.reason.c_str());
    if (first.outcome == WinRecord::NotBeaten) {
        FUZZ_CHECK(now == old && first.record >= 0 && first.record <= moves, "kept record %d", first.record);
        return 0;
    }
    const WinRecord again = recordWin(level, moves);
    FUZZ_CHECK(again.outcome == WinRecord::NotBeaten && again.record == moves && fuzz::readFile("highscores.dat") == now,
               "the new table does not hold the record: %d", again.record);
    return 0;
}
