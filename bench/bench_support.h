// Allegro without a display (screen is a 640x480 memory bitmap) and one Game
// per process, built in the shipped data tree so every picture is loaded.
#pragma once

#include <string>

#include "app/game.h"

namespace bench {

// Starts Allegro headless once.
void startAllegro();
// The process's one Game (built on first use).
Game& game();
// The shipped data directory.
std::string dataDir();

}  // namespace bench
