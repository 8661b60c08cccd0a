#include "shell/game.h"

void Game::openAmbientSounds() {}
void Game::updateAmbientSounds() {}
