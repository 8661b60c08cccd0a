// The playing screen's input step: the held keys become moves, the rule
// state advances one tick, and a win shows the won screen and updates the
// high scores. The rules themselves are in play/rules.cpp.
#include "shell/game.h"

// One playing tick. A falling rock freezes everything else; keys are read
// only while the dog stands still.
void Game::handlePlayInput() {
    if (rockFalling) {
        fallTick();
        return;
    }
    if (selection == None) {
        // After the options screen only Right and Left are looked at: an Up
        // or Down still held from the menu must not start a move.
        bool fromOptions = key[KEY_O] != 0;
        if (fromOptions) {
            fadeOut(5);
            optionsMenu();
        }
        startMove(!fromOptions && key[KEY_UP] != 0, !fromOptions && key[KEY_DOWN] != 0, key[KEY_RIGHT] != 0,
                  key[KEY_LEFT] != 0);
        if (!handlePlayCommandKeys()) return;
    }
    if (stepTick()) updateHighScores();
}

void Game::startMove(bool up, bool down, bool right, bool left) { rules.startMove(up, down, right, left); }

bool Game::stepTick() {
    TickOutcome outcome = rules.stepTick();
    if (outcome.changed) redrawNeeded = true;
    if (outcome.won) screenMode = LevelWon;
    return outcome.won;
}

void Game::fallTick() {
    if (rules.fallTick()) redrawNeeded = true;
}

void Game::stopStep() {
    rules.stopStep();
    redrawNeeded = true;
}

void Game::startNextFall() {
    if (rules.startNextFall()) redrawNeeded = true;
}

bool playMove(Game& game, int32_t direction) {
    bool won = playMove(game.rules, direction);
    if (won) game.screenMode = LevelWon;
    game.redrawNeeded = true;
    return won;
}
