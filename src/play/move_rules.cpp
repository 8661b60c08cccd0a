#include "shell/game.h"

void Game::handlePlayInput() {}
void Game::startMove(bool, bool, bool, bool) {}
void Game::stepTick() {}
void Game::fallTick() {}
void Game::stopStep() {}
void Game::startNextFall() {}
