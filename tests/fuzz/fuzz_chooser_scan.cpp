// The level chooser's scan of first lines, on level files of any bytes. The
// input holds up to four level files separated by "@@". Each title is the
// file's first line without its line end (its first 4096 bytes at most). The first byte picks the
// current level and whether the player leaves with Escape or picks the marked
// row with Enter; for one input in four the whole chooser runs on the files
// (its fade makes it slow) and must return leaving a board to play on.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "levels/level_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    Game& game = fuzz::game();
    const uint8_t choice = data[0];
    std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);

    std::vector<std::string> files;
    for (size_t at = 0; files.size() < 4;) {
        size_t next = rest.find("@@", at);
        if (next == std::string::npos || files.size() == 3) {
            files.push_back(rest.substr(at));
            break;
        }
        files.push_back(rest.substr(at, next - at));
        at = next + 2;
    }
    for (int n = 1; n <= 5; ++n) fuzz::removeFile(levelFilePath(n));
    for (size_t i = 0; i < files.size(); ++i) fuzz::writeFile(levelFilePath(int(i) + 1), files[i]);

    for (size_t i = 0; i < files.size(); ++i) {
        std::string title = "unchanged";
        FUZZ_CHECK(readLevelTitle(levelFilePath(int(i) + 1), title), "level %zu not read", i + 1);
        std::string expected;
        // The CR of a CR LF line end is no part of the title; a first line
        // longer than any title keeps only its start.
        std::string line = files[i].substr(0, files[i].find('\n'));
        if (line.size() <= 4096 && !line.empty() && line.back() == '\r') line.pop_back();
        expected = line.substr(0, 4096);
        FUZZ_CHECK(title == expected, "title of level %zu: %zu bytes, expected %zu", i + 1,
                   title.size(), expected.size());
    }

    // The chooser itself: Escape leaves it, Enter restarts the marked level;
    // either key is let go a little later.
    if ((choice & 0x60) != 0x60) return 0;
    const bool enter = choice & 1;
    const int scancode = enter ? KEY_ENTER : KEY_ESC;
    game.screenMode = Playing;
    game.setLevelNumber(1 + (choice >> 1) % 6);
    const int32_t before = game.levelNumber;
    key[scancode] = -1;
    const unsigned long release = fuzz::nowMs + 300;
    fuzz::onRest = [scancode, release] {
        if (fuzz::nowMs >= release) key[scancode] = 0;
    };
    game.chooseLevel();
    fuzz::onRest = nullptr;
    key[scancode] = 0;

    FUZZ_CHECK(game.redrawNeeded, "the chooser returned without asking for a redraw");
    if (!enter) FUZZ_CHECK(game.levelNumber == before, "Escape changed the level");
    FUZZ_CHECK(game.board && game.boardWidth == 20 && game.boardHeight == 15, "no board");
    FUZZ_CHECK(game.dogColumn >= 0 && game.dogColumn < 20 && game.dogRow >= 0 && game.dogRow < 15,
               "dog off the board");
    return 0;
}
