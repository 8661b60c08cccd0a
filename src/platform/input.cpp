#include "app/game.h"
#include "platform/input_latch.h"

#include <initializer_list>

namespace {

bool anyHeld(std::initializer_list<int> scancodes) {
    for (int k : scancodes)
        if (key[k]) return true;  // a held key reads -1 under X11, not 1
    return false;
}

bool anyWaiting(std::initializer_list<int> scancodes) {
    for (int k : scancodes)
        if (inputLatch::pressWaiting(k)) return true;
    return false;
}

}  // namespace

// Whether the input step has anything to do in this mode. It also drives the
// ambient sounds, since the idle main loop polls ten times a second.
bool Game::pollInput() {
    updateAmbientSounds();
    const bool menuPointer = pollMenuPointer();
    switch (screenMode) {
    case MainMenu:
        return menuPointer || anyHeld({KEY_UP, KEY_DOWN, KEY_SPACE, KEY_ENTER, KEY_ESC, KEY_L, KEY_A, KEY_S});
    case Playing:
        // A step or a fall in progress animates on every frame, keys or not;
        // a press already let go still waits to be played; an answer of the
        // advisor is shown.
        return anyHeld({KEY_R, KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_ESC, KEY_S, KEY_O, KEY_U, KEY_BACKSPACE,
                        KEY_H}) ||
               selection != None || rockFalling || adviceWaiting() ||
               anyWaiting({KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_U, KEY_BACKSPACE, KEY_H});
    case LevelWon:
        // The level-won step waits for its own keys, so it runs every frame.
        return true;
    case HelpScreen:
        return anyHeld({KEY_SPACE, KEY_ENTER, KEY_ESC});
    case LevelEditor:
        return (mouse_b & 1) || inputLatch::clickWaiting() || saveNoteExpired() ||
               anyHeld({KEY_ESC, KEY_LEFT, KEY_RIGHT, KEY_L, KEY_S, KEY_N, KEY_T, KEY_E, KEY_V});
    default:
        return false;
    }
}

void Game::handleInput() {
    // A refused step puts the dog back where this step began.
    stepStartColumn = dogColumn;
    stepStartRow = dogRow;
    // Only a handler that changes something visible asks for a new frame.
    redrawNeeded = false;
    updateAmbientSounds();
    switch (screenMode) {
    case MainMenu: handleMenuInput(); break;
    case Playing: handlePlayInput(); break;
    case LevelWon: handleWonInput(); break;
    case HelpScreen: handleHelpInput(); break;
    case LevelEditor: handleEditorInput(); break;
    default: break;
    }
    // A level to play goes to the advisor once, after the step that shows
    // it; its answers wake the main loop.
    if (screenMode == Playing) askAdvisor();
}
