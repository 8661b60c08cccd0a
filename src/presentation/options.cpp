#include "shell/game.h"

void Game::optionsMenu() {}
void Game::readSettings() {}
