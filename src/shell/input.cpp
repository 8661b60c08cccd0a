#include "shell/game.h"

bool Game::pollInput() { return false; }
void Game::handleInput() {}
