#include "shell/game.h"

void Game::handleMenuInput() {}
void Game::handleWonInput() {}
void Game::handleHelpInput() {}
bool Game::handlePlayCommandKeys() { return true; }
