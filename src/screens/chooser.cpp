// The level chooser ("Level Skip Mode"): lists the levels on disk with their
// titles and the player's progress, and restarts the one the player picks.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "session/chooser_rows.h"
#include "storage/level.h"
#include "storage/level_file.h"
#include "storage/highscores.h"
#include "rules/tiles.h"
#include "screens/allegro_text.h"
#include "screens/styled_screen.h"
#include "app/game.h"

namespace {

const int kMostLevels = 99;
const int kFirstRowLine = 4;  // rows start on the fifth line, below the headings

void waitForRelease(int scancode) {
    while (key[scancode]) rest(50);
}

// The blank layout with the dog and the bone nowhere: a file that does not
// place them is not played by the solver ("fewest ?").
Level unplacedLevel() {
    Level level;
    for (int r = 0; r < Level::kRows; ++r)
        for (int c = 0; c < Level::kColumns; ++c) level.cells[r][c] = r == 0 ? SkyTop : r == 1 ? SkyBottom : Dirt;
    level.dogColumn = level.dogRow = level.boneColumn = level.boneRow = -1;
    return level;
}

}  // namespace

bool Game::chooseLevel() {
    const int colour = makecol(50, 150, 200);
    const int lineHeight = text_height(font) + 2;
    // 44 rows in the 480-pixel window; a longer list scrolls.
    const int rowsShown = (SCREEN_H - kFirstRowLine * lineHeight) / lineHeight;

    fadeOut(90);

    // The list ends at the first number without a file; each file is read
    // once per visit.
    std::vector<std::string> titles;
    std::vector<RuleState> positions;
    for (int number = 1; number <= kMostLevels; ++number) {
        Level level = unplacedLevel();
        if (!readLevelFile(levelFilePath(number), level)) break;
        titles.push_back(level.title);
        positions.emplace_back();
        placeLevel(level, positions.back());
    }
    const int count = static_cast<int>(titles.size());
    const std::map<int32_t, int32_t> records = readRecords();

    // A level number beyond the list (set in the editor, say) marks no row.
    int mark = levelNumber > 0 ? levelNumber - 1 : 0;
    int first = firstShownRow(0, mark, count, rowsShown);

    // The fewest moves fill in while the list shows, the marked level's
    // first; leaving stops the work.
    FewestMovesWork fewest(positions, mark < count ? mark : 0);

    const StyledScreen look(*this);
    for (;;) {
        // The window's close button leaves as Escape does; the game then quits.
        if (quitting()) {
            redrawNeeded = true;
            return false;
        }
        if (key[KEY_ESC]) {
            redrawNeeded = true;
            // The playing screen would take a still-held Escape as leaving
            // to the menu and lose the level in progress.
            waitForRelease(KEY_ESC);
            return false;
        }
        rest(60);
        vsync();

        if (key[KEY_UP]) {
            if (--mark < 0) mark = count - 1;
            waitForRelease(KEY_UP);
        } else if (key[KEY_DOWN]) {
            if (++mark > count - 1) mark = 0;
            waitForRelease(KEY_DOWN);
        } else if (key[KEY_ENTER]) {
            levelNumber = mark + 1;
            restartLevel();
            waitForRelease(KEY_ENTER);
            return true;
        }
        first = firstShownRow(first, mark, count, rowsShown);

        std::vector<StyledLine> lines = {
            {"Warning: Level Skip Mode (press ESC to exit and return to game)", 1, colour},
            {"Select which level you want to go to:", lineHeight, colour}};
        for (int j = first; j < count && j < first + rowsShown; ++j) {
            const auto record = records.find(j + 1);
            // Made printable whole: a title cut short may end in half a character.
            const std::string row = chooserRow(j == mark, titles[j], j + 1,
                                               record == records.end() ? -1 : record->second, fewest.fewest(j));
            lines.push_back({printableByAllegro(row), lineHeight * (j - first + kFirstRowLine), colour});
        }
        look.show(screen, lines);
    }
}
