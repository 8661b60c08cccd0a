// The level editor's input step: brushes, painting with the mouse, and the
// keys that save, reload, name, number and clear the level.
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <future>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <system_error>

#include "rules/level_check.h"
#include "rules/solver.h"
#include "rules/tiles.h"
#include "screens/styled_screen.h"
#include "app/game.h"
#include "platform/input_latch.h"

namespace {

// How long the save note stays on screen, and how long a check runs before
// it says that it is working.
const std::time_t kNoteSeconds = 3;
const std::chrono::milliseconds kMoment{300};
const std::chrono::milliseconds kPoll{20};

// The brush after b + stepping in the cycle
// 0, 1, 2, 16, 17, 19, 21, 254, 255: codes outside it are jumped over.
int nextBrush(int b, int stepping) {
    b += stepping;
    if (b < 0) return DogTile;
    if (b > 255) return BlackRock;
    if (b >= 3 && b <= 15) return stepping > 0 ? Dirt : SkyTop;
    if (b == 18) return stepping > 0 ? SkyBottom : Tunnel;
    if (b == 20) return stepping > 0 ? SkyBottomDestroyed : SkyBottom;
    if (b >= 22 && b <= 253) return stepping > 0 ? BoneTile : SkyBottomDestroyed;
    return b;
}

// Text to a level number as atoi reads it (blanks, a sign, the digits up to
// the first other character); 0 for text that gives no number or one that
// does not fit in 32 bits, so that it is refused like any other 0.
int32_t levelNumberFromText(const std::string& text) {
    errno = 0;
    long value = std::strtol(text.c_str(), nullptr, 10);
    if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return 0;
    return static_cast<int32_t>(value);
}

}  // namespace

// S: saves the board under its number. A file the board was neither loaded
// from nor last saved to is replaced only when the player says so: the
// random board the editor opens with would otherwise wipe out a level.
void Game::saveFromEditor() {
    const std::string path = levelFilePath(levelNumber);
    struct stat st;
    const bool askFirst = boardFile != levelNumber && lstat(path.c_str(), &st) == 0;
    if (askFirst) {
        while (key[KEY_S] && !quitting()) rest(20);
        bool yes = askYesNo("Replace " + path + "? (Y/N)");
        // N held on would open the number prompt at the next step.
        while ((key[KEY_Y] || key[KEY_N]) && !quitting()) rest(20);
        if (!yes) return;
    }
    std::string reason;
    saveNote = saveLevel(&reason) ? "Saved " + path : "Could not save " + path + ": " + reason;
    saveNoteUntil = std::time(nullptr) + kNoteSeconds;
}

bool Game::saveNoteExpired() const { return !saveNote.empty() && std::time(nullptr) >= saveNoteUntil; }

void Game::checkFromEditor() {
    // The board as edited, as the player would start on it.
    RuleState edited = rules;
    edited.stopStep();
    edited.rockFalling = false;
    edited.moveCount = 0;
    edited.beginTick();

    std::atomic<bool> cancel{false};
    SolveLimits limits;
    limits.cancel = &cancel;
    SolveResult result;
    std::future<SolveResult> answer;
    try {
        answer = std::async(std::launch::async, [&] { return solve(edited, limits); });
    } catch (const std::system_error&) {
        answer = std::async(std::launch::deferred, [&] { return solve(edited, limits); });  // the player waits
    }
    // The game stays responsive while the search runs: after a moment it says
    // so, and Escape stops it. The wait is on the worker, in real time.
    const auto started = std::chrono::steady_clock::now();
    bool shown = false;
    while (answer.wait_for(kPoll) == std::future_status::timeout) {
        if (key[KEY_ESC] || quitting()) cancel = true;
        if (!shown && !cancel && std::chrono::steady_clock::now() - started >= kMoment) {
            StyledScreen(*this).show(screen, {{"Checking whether the level can be won...", SCREEN_H / 2 - 12,
                                               makecol(255, 255, 255)},
                                              {"Escape stops the check", SCREEN_H / 2 + 4, makecol(200, 200, 200)}});
            shown = true;
        }
    }
    result = answer.get();
    redrawNeeded = true;
    if (cancel || quitting()) return;
    allegro_message("%s", levelCheckText(result).c_str());
}

void Game::handleEditorInput() {
    if (saveNoteExpired()) {
        saveNote.clear();
        redrawNeeded = true;
    }
    const int b = selection;
    const int stepping = key[KEY_LEFT] ? -1 : key[KEY_RIGHT] ? 1 : 0;

    if (stepping != 0) {
        const int brush = nextBrush(b, stepping);
        redrawNeeded = true;
        // The dirt picture is all mask colour; its marker stands in as pointer.
        set_mouse_sprite(tileImages[brush == Dirt ? DirtMarker : brush]);
        selection = brush;
    } else {
        if (key[KEY_ESC]) {
            selection = 0;
            screenMode = MainMenu;
            set_mouse_sprite(nullptr);
            redrawNeeded = true;
        } else if (key[KEY_S]) {
            saveFromEditor();
            redrawNeeded = true;
        } else if (key[KEY_L]) {
            loadLevel(levelNumber);
            redrawNeeded = true;
        } else if (key[KEY_T]) {
            std::string title = promptLine("Enter the new level title:");
            if (quitting()) return;  // closed: no message box in the way
            if (title.empty())
                allegro_message("Previous level name used.");
            else
                setLevelTitle(title);
        } else if (key[KEY_N]) {
            int32_t number = levelNumberFromText(promptLine("Enter the new level #:"));
            if (quitting()) return;
            if (number == 0) {
                allegro_message("Invalid level # input");
            } else {
                // The board is no longer that of the file its number names.
                if (number != levelNumber) boardEdited = true;
                setLevelNumber(number);
            }
        } else if (key[KEY_V]) {
            checkFromEditor();
            while (key[KEY_V] && !quitting()) rest(20);
        } else if (key[KEY_E]) {
            resetBoard(0);
            boardEdited = true;
            redrawNeeded = true;
        }

        // A click shorter than the gap between two steps was caught when made.
        int x = mouse_x, y = mouse_y;
        const bool clicked = inputLatch::takeClick(x, y);
        if (clicked || (mouse_b & 1)) {
            // Division truncates toward zero, so a pixel just left of or above
            // the board would land in column or row 0 without this check.
            if (x >= 0 && y >= 0) {
                const int c = x / 32, r = y / 32;
                if (c < boardWidth && r < boardHeight) {
                    redrawNeeded = true;
                    boardEdited = true;
                    if (b == BoneTile) {
                        boneColumn = c;
                        boneRow = r;
                    } else if (b == DogTile) {
                        dogColumn = c;
                        dogRow = r;
                    } else {
                        board[r][c] = static_cast<uint8_t>(b);
                    }
                }
            }
            while (mouse_b & 1) rest(20);
        }
    }

    // Also keeps the Escape that ends a prompt from leaving the editor.
    while (key[KEY_SPACE] || key[KEY_LEFT] || key[KEY_RIGHT] || key[KEY_ESC]) rest(20);
}
