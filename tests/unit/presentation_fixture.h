// A real Game in an empty scratch directory, with test pictures put in its
// slots, for the drawing, options and ambient tests.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

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

class GameFixture : public testing::Test {
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
    harness::ScratchDir dir{false};
    std::unique_ptr<Game> game = std::make_unique<Game>(&quit);
};

}  // namespace presentation_test
