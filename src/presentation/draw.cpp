#include "shell/game.h"

void Game::drawScreen(BITMAP*) { redrawNeeded = false; }
