#include "shell/game.h"

std::string Game::promptLine(const std::string&) { return {}; }
