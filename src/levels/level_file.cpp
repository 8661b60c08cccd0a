#include "shell/game.h"

bool Game::loadLevel(int32_t) { return false; }
bool Game::loadLevelFile(const std::string&) { return false; }
bool Game::saveLevel() { return false; }
void Game::restartLevel() {}
void Game::setLevelTitle(const std::string& title) { levelTitle = title; }
void Game::setLevelNumber(int32_t number) { levelNumber = number; }
std::string levelFilePath(int32_t number) { return "levels/" + std::to_string(number) + ".lvl"; }
