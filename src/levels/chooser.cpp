// The level chooser ("Level Skip Mode"): lists the levels on disk with their
// titles and restarts the one the player picks.
#include <string>
#include <vector>

#include "levels/level_file.h"
#include "presentation/allegro_text.h"
#include "presentation/styled_screen.h"
#include "shell/game.h"

namespace {

const int kMostLevels = 99;

void waitForRelease(int scancode) {
    while (key[scancode]) rest(50);
}

}  // namespace

void Game::chooseLevel() {
    const int colour = makecol(50, 150, 200);
    const int lineHeight = text_height(font) + 2;

    fadeOut(90);

    // The list ends at the first number without a file; only first lines are
    // read, once per visit.
    std::string titles[kMostLevels];
    int count = 0;
    for (int number = 1; number <= kMostLevels; ++number) {
        if (!readLevelTitle(levelFilePath(number), titles[number - 1])) break;
        count = number;
    }

    // A level number beyond the list (set in the editor, say) marks no row.
    int mark = levelNumber > 0 ? levelNumber - 1 : 0;

    const StyledScreen look(*this);
    for (;;) {
        // The window's close button leaves as Escape does; the game then quits.
        if (quitting()) {
            redrawNeeded = true;
            return;
        }
        if (key[KEY_ESC]) {
            redrawNeeded = true;
            // The playing screen would take a still-held Escape as leaving
            // to the menu and lose the level in progress.
            waitForRelease(KEY_ESC);
            return;
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
            return;
        }

        std::vector<StyledLine> lines = {
            {"Warning: Level Skip Mode (press ESC to exit and return to game)", 1, colour},
            {"Select which level you want to go to:", lineHeight, colour}};
        for (int j = 0; j < count; ++j)
            lines.push_back({std::string(j == mark ? "--->" : " ") + " Level: \"" +
                                 printableByAllegro(titles[j]) + "\" - #" + std::to_string(j + 1),
                             lineHeight * (j + 4), colour});
        look.show(screen, lines);
    }
}
