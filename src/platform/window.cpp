#include "platform/window.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/input.h"
#include "platform/window_x11.h"

namespace window {

namespace {

Layout shown;
bool opened = false;
// The last picture shown, to find the rows that changed, and a band of
// scaled rows they are copied through (a whole scaled picture would hold
// 11 MB at 3x beside the window's own copy).
BITMAP* kept = nullptr;
BITMAP* scaled = nullptr;
const int kBandRows = 32;
bool keptValid = false;

bool holdsPicture(Size desktop, int scale) { return desktop.w >= kWidth * scale && desktop.h >= kHeight * scale; }

Layout windowed(int scale) {
    Layout l;
    l.scale = scale;
    l.w = kWidth * scale;
    l.h = kHeight * scale;
    return l;
}

void forgetPictures() {
    if (kept) destroy_bitmap(kept);
    if (scaled) destroy_bitmap(scaled);
    kept = scaled = nullptr;
    keptValid = false;
}

// Sets the mode and everything that follows it; false when the window system refuses.
bool setMode(const Layout& l) {
    // A full-screen window first leaves that state, or the window manager keeps it desktop-sized.
    if (opened && shown.fullScreen && !l.fullScreen) x11::askFullScreen(false);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, l.w, l.h, 0, 0) != 0 || !screen) return false;
    if (l.fullScreen) x11::askFullScreen(true);
    shown = l;
    opened = true;
    clear_bitmap(screen);  // the border round a centred picture stays black
    forgetPictures();
    // Clicks are told in the picture's pixels whatever the window's size.
    input::setPointerMapping(l.x, l.y, l.pictureW(), l.pictureH());
    return true;
}

// Row `y` of the picture into rows at*s .. at*s+s-1 of the band.
void scaleRow(const BITMAP* picture, BITMAP* to, int y, int at, int s) {
    const uint32_t* from = reinterpret_cast<const uint32_t*>(picture->line[y]);
    uint32_t* out = reinterpret_cast<uint32_t*>(to->line[at * s]);
    if (s == 2) {
        for (int x = 0; x < kWidth; ++x, out += 2) out[0] = out[1] = from[x];
    } else if (s == 3) {
        for (int x = 0; x < kWidth; ++x, out += 3) out[0] = out[1] = out[2] = from[x];
    } else {
        for (int x = 0; x < kWidth; ++x)
            for (int k = 0; k < s; ++k) *out++ = from[x];
    }
    for (int k = 1; k < s; ++k) std::memcpy(to->line[at * s + k], to->line[at * s], sizeof(uint32_t) * kWidth * s);
}

}  // namespace

int fittingScale(Size desktop) {
    int scale = 1;
    // 90 % of the desktop, in whole pixels: 10 * size <= 9 * desktop.
    while (scale < kLargestScale && 10 * kWidth * (scale + 1) <= 9 * desktop.w &&
           10 * kHeight * (scale + 1) <= 9 * desktop.h)
        ++scale;
    return scale;
}

std::vector<int> sizes(Size desktop) {
    std::vector<int> out;
    for (int s = 1; s <= fittingScale(desktop); ++s) out.push_back(s);
    if (holdsPicture(desktop, 1)) out.push_back(0);
    return out;
}

Layout layoutFor(const Preferences& choice, Size desktop) {
    const int fits = fittingScale(desktop);
    if (desktop.w > 0 && desktop.h > 0 && !holdsPicture(desktop, 1)) {
        // A window would lie partly off the screen: the whole screen, the picture as large as fits in its proportions.
        Layout l;
        l.fullScreen = true;
        l.w = desktop.w;
        l.h = desktop.h;
        l.downW = std::min(desktop.w, desktop.h * kWidth / kHeight);
        l.downH = l.downW * kHeight / kWidth;
        l.x = (desktop.w - l.downW) / 2;
        l.y = (desktop.h - l.downH) / 2;
        return l;
    }
    if (!choice.fullScreen || !holdsPicture(desktop, 1))
        return windowed(choice.windowScale > 0 ? std::min(choice.windowScale, fits) : fits);
    Layout l;
    l.fullScreen = true;
    l.w = desktop.w;
    l.h = desktop.h;
    while (holdsPicture(desktop, l.scale + 1)) ++l.scale;
    l.x = (desktop.w - kWidth * l.scale) / 2;
    l.y = (desktop.h - kHeight * l.scale) / 2;
    return l;
}

Size desktop() {
    Size d;
    if (get_desktop_resolution(&d.w, &d.h) != 0 || d.w <= 0 || d.h <= 0) d = Size();
    return d;
}

Outcome show(const Preferences& choice) {
    const Layout want = layoutFor(choice, desktop());
    const bool refused = choice.fullScreen && !want.fullScreen;
    const bool already = opened && shown == want && screen && SCREEN_W == want.w && SCREEN_H == want.h;
    if (already) return refused ? Outcome::NoFullScreen : Outcome::Shown;
    if (setMode(want)) return refused ? Outcome::NoFullScreen : Outcome::Shown;
    // Refused: the window at the chosen scale, then smaller ones.
    Preferences inWindow = choice;
    inWindow.fullScreen = false;
    for (int s = layoutFor(inWindow, desktop()).scale; s >= 1; --s) {
        const Layout l = windowed(s);
        if (!(l == want) && setMode(l)) return choice.fullScreen ? Outcome::NoFullScreen : Outcome::Shown;
    }
    opened = false;
    return Outcome::Failed;
}

const Layout& current() { return shown; }

void present(BITMAP* picture) {
    if (!picture || !screen) return;
    if (shown.downW) {  // a small screen: the picture scaled down whole
        acquire_screen();
        stretch_blit(picture, screen, 0, 0, picture->w, picture->h, shown.x, shown.y, shown.downW, shown.downH);
        release_screen();
        return;
    }
    const int s = shown.scale;
    if (s == 1 && shown.x == 0 && shown.y == 0) {
        acquire_screen();
        blit(picture, screen, 0, 0, 0, 0, picture->w, picture->h);
        release_screen();
        return;
    }
    if (picture->w != kWidth || picture->h != kHeight || bitmap_color_depth(picture) != 32) {
        stretch_blit(picture, screen, 0, 0, picture->w, picture->h, shown.x, shown.y, kWidth * s, kHeight * s);
        return;
    }
    if (!kept) kept = create_bitmap_ex(32, kWidth, kHeight);
    if (!scaled) scaled = create_bitmap_ex(32, kWidth * s, kBandRows * s);
    if (!kept || !scaled) {  // short of memory: slower, but shown
        forgetPictures();
        stretch_blit(picture, screen, 0, 0, kWidth, kHeight, shown.x, shown.y, kWidth * s, kHeight * s);
        return;
    }
    // Only the band of rows that changed is scaled and copied: a sliding dog
    // changes a few dozen rows, not 1440.
    const size_t rowBytes = sizeof(uint32_t) * kWidth;
    int first = 0, last = kHeight;
    if (keptValid) {
        while (first < kHeight && std::memcmp(picture->line[first], kept->line[first], rowBytes) == 0) ++first;
        if (first == kHeight) return;
        while (last > first && std::memcmp(picture->line[last - 1], kept->line[last - 1], rowBytes) == 0) --last;
    }
    acquire_screen();
    for (int top = first; top < last; top += kBandRows) {
        const int rows = std::min(kBandRows, last - top);
        for (int i = 0; i < rows; ++i) {
            scaleRow(picture, scaled, top + i, i, s);
            std::memcpy(kept->line[top + i], picture->line[top + i], rowBytes);
        }
        blit(scaled, screen, 0, 0, shown.x, shown.y + top * s, kWidth * s, rows * s);
    }
    release_screen();
    keptValid = true;
}

}  // namespace window
