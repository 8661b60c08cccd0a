// The keys of the main menu, the level-won screen, the help screen and the
// non-arrow keys of play.
#include <cstdint>
#include <initializer_list>
#include <string>

#include "screens/draw.h"
#include "screens/styled_screen.h"
#include "platform/background.h"
#include "app/game.h"
#include "platform/input_latch.h"

namespace {

// Picture slots of the two full-screen backgrounds faded in here.
const int kHelpPicture = 244;
const int kMenuPicture = 251;
const int kDogPicture = 255;

// Menu highlight values.
const int kPlayItem = 0;
const int kOptionsItem = 1;
const int kHelpItem = 2;
const int kQuitItem = 3;

// Both boxes are broken into lines that fit a message box on any screen.
const char* const kAboutText =
    "W00f! Thanks for playing Tunnelwick. Every tunnel in this garden\n"
    "was dug with care, and it makes the whole pack wag to know that\n"
    "someone is out there chasing the bone.\n"
    "\n"
    "Made using SDL2_mixer (for the mp3 playing) and Allegro (for graphics, v %s)\n"
    "\n"
    "And a big thank-you to everyone who plays, builds levels and\n"
    "shares them: you keep this garden growing!";

const char* const kEndOfGameText =
    "Congratulations! You beat all the levels available in Tunnelwick!\n"
    "\n"
    "You can make your own levels with the level editor (press L in the\n"
    "main menu) and share them: every level is a file in the levels\n"
    "folder (1.lvl, 2.lvl, ...). Give a friend your file, and they put\n"
    "it in their own levels folder under the next free number.\n"
    "\n"
    "View the readme for more info: its section \"Making and sharing levels\".";

bool anyHeld(std::initializer_list<int> scancodes) {
    for (int k : scancodes)
        if (key[k]) return true;
    return false;
}

// A key acts once per press: hold here until it is let go, so the next
// poll does not act on it again.
void waitForRelease(std::initializer_list<int> scancodes, unsigned intervalMs) {
    while (anyHeld(scancodes)) rest(intervalMs);
}

}  // namespace

bool Game::pollMenuPointer() {
    const bool moved = mouse_x != pointerX || mouse_y != pointerY;
    pointerX = mouse_x;
    pointerY = mouse_y;
    if (screenMode != MainMenu) return false;
    // Only a pointer that moves takes the highlight: one resting on a button
    // does not undo the arrow keys.
    if (moved) {
        const int item = menuItemAt(*this, mouse_x, mouse_y, SCREEN_W, SCREEN_H);
        if (item >= 0 && item != selection) pointedItem = item;
    }
    return pointedItem >= 0 || (mouse_b & 1);
}

void Game::activateMenuItem(std::initializer_list<int> keys) {
    // Waits until the keys (or the mouse button) that chose the item are let go.
    auto release = [&](unsigned ms) {
        waitForRelease(keys, ms);
        while ((mouse_b & 1) && !quitting()) rest(ms);
    };
    switch (selection) {
    case kPlayItem:
        // The level already loaded is played from where it stands.
        screenMode = Playing;
        redrawNeeded = true;
        release(20);
        stopStep();
        // The arrows that moved the highlight are not moves.
        inputLatch::clear();
        aid.keys.reset();
        break;
    case kHelpItem:
        screenMode = HelpScreen;
        redrawNeeded = true;
        release(20);
        fadeOut(9);
        fadeIn(tileImages[kHelpPicture], 9);
        stopStep();
        break;
    case kOptionsItem:
        redrawNeeded = true;
        release(20);
        fadeOut(9);
        optionsMenu();
        stopStep();  // back on the menu with Play highlighted
        break;
    case kQuitItem:
        release(20);
        fadeOut(4);
        if (quitFlag) *quitFlag = true;
        break;
    default:
        break;
    }
}

void Game::handleMenuInput() {
    // Escape quits, but the rest of the step (an L held with it) still runs.
    if (key[KEY_ESC] && quitFlag) *quitFlag = true;

    if (pointedItem >= 0) {
        selection = pointedItem;
        pointedItem = -1;
        redrawNeeded = true;
    }

    if (mouse_b & 1) {
        // A click on a button is Enter on it; a click beside the buttons is nothing.
        const int item = menuItemAt(*this, mouse_x, mouse_y, SCREEN_W, SCREEN_H);
        if (item >= 0) {
            selection = item;
            activateMenuItem({});
        } else {
            while ((mouse_b & 1) && !quitting()) rest(20);
        }
    } else if (key[KEY_UP]) {
        --selection;
        redrawNeeded = true;
        waitForRelease({KEY_UP}, 20);
    } else if (key[KEY_A]) {
        allegro_message(kAboutText, allegro_id);
        waitForRelease({KEY_A}, 50);
    } else if (key[KEY_DOWN]) {
        ++selection;
        redrawNeeded = true;
        waitForRelease({KEY_DOWN}, 20);
    } else if (key[KEY_ENTER] || key[KEY_SPACE]) {
        activateMenuItem({KEY_ENTER, KEY_SPACE});
    } else if (key[KEY_S]) {
        // The chooser from the menu: Enter there plays the level chosen,
        // Escape comes back here.
        waitForRelease({KEY_S}, 20);
        if (chooseLevel()) {
            screenMode = Playing;
            stopStep();
            // The arrows that moved the marker are not moves.
            inputLatch::clear();
            aid.keys.reset();
        }
        redrawNeeded = true;
    }

    if (selection < kPlayItem) selection = kQuitItem;
    if (selection > kQuitItem) selection = kPlayItem;

    if (key[KEY_L]) {
        waitForRelease({KEY_L}, 30);
        screenMode = LevelEditor;
        redrawNeeded = true;
        selection = kDogPicture;  // the first brush is the dog
        set_mouse_sprite(tileImages[kDogPicture]);
        show_mouse(screen);
        resetBoard(1);  // the level number and title stay those of the loaded level
        inputLatch::clear();  // no click made on the menu paints
        // A random board: no file's, and no record for it.
        boardFile = 0;
        boardEdited = true;
        saveNote.clear();
    }
}

bool Game::handlePlayCommandKeys() {
    if (key[KEY_ESC]) {
        // Leaving throws the level's progress away.
        screenMode = MainMenu;
        selection = kPlayItem;
        redrawNeeded = true;
        restartLevel();
        waitForRelease({KEY_ESC}, 20);
        return false;
    }
    if (key[KEY_R]) {
        waitForRelease({KEY_R}, 20);
        if (askYesNo("Really restart the level (Y/N)?", true)) restartLevel();
        redrawNeeded = true;
    } else if (key[KEY_S]) {
        chooseLevel();
    } else {
        return true;
    }
    // Keys pressed in the question or the chooser are not moves.
    inputLatch::clear();
    aid.keys.reset();
    return true;
}

bool Game::askYesNo(const std::string& question, bool overBoard) {
    // The board as the player left it, drawn afresh behind the question.
    BITMAP* board = overBoard ? create_bitmap(SCREEN_W, SCREEN_H) : nullptr;
    if (board) {
        const bool wanted = redrawNeeded;
        redrawNeeded = true;
        drawScreen(board);
        redrawNeeded = wanted;
    }
    StyledScreen(*this, board).show(screen, {{question, SCREEN_H / 2, makecol(200, 10, 10)}});
    if (board) destroy_bitmap(board);
    // The window's close button also ends the question, as a No, so the
    // game can quit without an answer.
    {
        background::QuietWait quiet;
        while (!key[KEY_Y] && !key[KEY_N] && !quitting()) rest(20);
    }
    return key[KEY_Y] && !quitting();
}

void Game::handleWonInput() {
    // The fewest possible may still be on its way.
    takeAdvice();
    if (!anyHeld({KEY_SPACE, KEY_ENTER, KEY_ESC})) return;

    screenMode = MainMenu;
    redrawNeeded = true;
    stopStep();
    // The highest number there is has no level after it.
    if (levelNumber < INT32_MAX && loadLevel(levelNumber + 1)) {
        clear_keybuf();
        screenMode = Playing;
        redrawNeeded = true;
        stopStep();
    } else {
        // No next level: the whole set is beaten. Back to the menu on level 1.
        fadeOut(3);
        allegro_message("%s", kEndOfGameText);
        loadLevel(1);
    }
    waitForRelease({KEY_SPACE, KEY_ENTER, KEY_ESC}, 20);
}

void Game::handleHelpInput() {
    if (!anyHeld({KEY_SPACE, KEY_ENTER, KEY_ESC})) return;

    selection = kOptionsItem;
    screenMode = MainMenu;
    redrawNeeded = true;
    waitForRelease({KEY_SPACE, KEY_ENTER, KEY_ESC}, 20);
    fadeOut(9);
    fadeIn(tileImages[kMenuPicture], 9);
}
