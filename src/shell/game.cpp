#include "shell/game.h"

Game::Game(std::atomic<bool>* quit) : quitFlag(quit) {}
Game::~Game() {}
