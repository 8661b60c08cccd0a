#include "shell/game.h"

void Game::handleEditorInput() {}
