// What Allegro cannot ask of an X11 window manager (or XWayland's
// compositor): to show the game's desktop-sized window full screen, without
// borders and without changing the monitor's mode.
#pragma once

namespace window {
namespace x11 {

// Asks for the full-screen state on or off; nothing outside X11.
void askFullScreen(bool on);

}  // namespace x11
}  // namespace window
