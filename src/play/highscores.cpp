#include "shell/game.h"

void Game::updateHighScores() {}
