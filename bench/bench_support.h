// Allegro without a display (screen is a 640x480 memory bitmap) and one game
// per process, started in the shipped data tree so every picture is loaded.
#pragma once

#include <string>

#include "app/app.h"

namespace bench {

// Starts Allegro headless once.
void startAllegro();
// The process's one game (started on first use).
App& app();
// The desktop the window system tells of (1024x768 at first).
void setDesktop(int w, int h);
// The shipped data directory.
std::string dataDir();

}  // namespace bench
