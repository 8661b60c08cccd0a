// The game's window: it shows the 640x480 picture the screens draw, scaled by
// a whole number so that every pixel stays a sharp square: a window of one,
// two or three times the picture, or full screen, where the picture is as
// large as whole scales allow, centred on black. Full screen is a window the
// size of the desktop, so the monitor's mode never changes.
#pragma once

#include <allegro.h>

#include <vector>

#include "storage/preferences.h"

namespace window {

// The picture every screen draws into.
constexpr int kWidth = 640, kHeight = 480;
// The window's title.
constexpr const char* kTitle = "Tunnelwick";
// The largest window offered (1920x1440).
constexpr int kLargestScale = 3;

struct Size {
    int w = 0, h = 0;  // 0 by 0: not known
};

// Where the picture lies in the window, and the window's size.
struct Layout {
    int w = kWidth, h = kHeight;
    int scale = 1, x = 0, y = 0;
    bool fullScreen = false;
    // On a desktop smaller than the picture: the picture's size, scaled
    // down to fit whole (0 by 0: kWidth and kHeight times the scale).
    int downW = 0, downH = 0;
    int pictureW() const { return downW ? downW : kWidth * scale; }
    int pictureH() const { return downH ? downH : kHeight * scale; }
    bool operator==(const Layout& o) const {
        return w == o.w && h == o.h && scale == o.scale && x == o.x && y == o.y && fullScreen == o.fullScreen &&
               downW == o.downW && downH == o.downH;
    }
};

// The largest scale whose window fits in 90 % of the desktop's width and
// height; 1 when the desktop is not known or small.
int fittingScale(Size desktop);
// The sizes to offer the player: each fitting scale, then 0 for full screen
// (only when the desktop is known and holds the picture).
std::vector<int> sizes(Size desktop);
// The window for a choice: the chosen scale (the first start's when none,
// never more than fits), or the whole desktop with the picture centred at
// the largest whole scale it holds. Full screen on an unknown desktop gives
// the window instead; a known desktop smaller than the picture gets full
// screen whatever the choice, the picture scaled down to fit it whole.
Layout layoutFor(const Preferences& choice, Size desktop);

// The desktop's size as the window system tells it.
Size desktop();

enum class Outcome {
    Shown,
    NoFullScreen,  // full screen could not be had: the game is in its window
    Failed,        // no window at all: the game cannot go on
};
// Opens the window for the choice, or changes it (nothing when it is already
// so). A window refused at its scale is tried smaller, down to 640x480.
Outcome show(const Preferences& choice);
// The window as it is now.
const Layout& current();

// Shows a finished 640x480 picture in the window, copying only the rows that
// changed since the last one shown.
void present(BITMAP* picture);

}  // namespace window
