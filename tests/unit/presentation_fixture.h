// A real Game in a scratch directory (empty, or with the shipped data), and
// pixel helpers, for the drawing, options, fade and ambient tests.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

#include "harness.h"
#include "presentation/draw.h"
#include "shell/game.h"

namespace presentation_test {

inline BITMAP* solid(int w, int h, int r, int g, int b) {
    BITMAP* bmp = create_bitmap(w, h);
    clear_to_color(bmp, makecol(r, g, b));
    return bmp;
}

// Through getr/getg/getb: the pixel layout differs between drivers.
inline bool isColour(BITMAP* bmp, int x, int y, int r, int g, int b) {
    int c = getpixel(bmp, x, y);
    return getr(c) == r && getg(c) == g && getb(c) == b;
}

// Pixels differing between two bitmaps inside a region.
inline int differences(BITMAP* a, BITMAP* b, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += getpixel(a, x, y) != getpixel(b, x, y);
    return n;
}

// The 8 rows from y show the text centred on x = 320 in the colour, and no
// other pixel of those rows has that colour (the text may lie over a picture).
inline bool lineShows(BITMAP* bmp, int y, const std::string& text, int colour) {
    BITMAP* want = create_bitmap(640, 8);
    clear_bitmap(want);
    textout_centre_ex(want, font, text.c_str(), 320, 0, colour, -1);
    bool same = true;
    for (int i = 0; i < 640 * 8 && same; ++i)
        same = (getpixel(bmp, i % 640, y + i / 640) == colour) == (getpixel(want, i % 640, i / 640) == colour);
    destroy_bitmap(want);
    return same;
}

// Share of the pixels that are plain black.
inline double blackShare(BITMAP* bmp) {
    long n = 0;
    for (int y = 0; y < bmp->h; ++y)
        for (int x = 0; x < bmp->w; ++x) n += isColour(bmp, x, y, 0, 0, 0);
    return static_cast<double>(n) / (bmp->w * bmp->h);
}

template <bool kShippedData>
class GameIn : public testing::Test {
protected:
    // The game owns its pictures: a replaced one is destroyed here, and the
    // board layer forgotten since a new picture may take the old address.
    void setPicture(int slot, BITMAP* picture) {
        if (game->tileImages[slot]) destroy_bitmap(game->tileImages[slot]);
        game->tileImages[slot] = picture;
        forgetBoardLayer(*game);
    }
    void fillBoard(uint8_t code) {
        for (int r = 0; r < game->boardHeight; ++r)
            for (int c = 0; c < game->boardWidth; ++c) game->board[r][c] = code;
    }

    std::atomic<bool> quit{false};
    harness::ScratchDir dir{kShippedData};
    std::unique_ptr<Game> game = std::make_unique<Game>(&quit);
};
using GameFixture = GameIn<false>;
using ShippedGame = GameIn<true>;

}  // namespace presentation_test
