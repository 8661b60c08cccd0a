#include "shell/game.h"

void Game::chooseLevel() {}
