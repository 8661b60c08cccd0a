// The game's window: it shows the 640x480 picture the screens draw.
#pragma once

#include <allegro.h>

namespace window {

// The picture every screen draws into.
constexpr int kWidth = 640, kHeight = 480;

// Copies a finished picture into the window.
void present(BITMAP* picture);

}  // namespace window
