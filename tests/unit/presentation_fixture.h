// A Game in a scratch directory (empty, or with the shipped data), and pixel helpers, for the drawing, options, fade and ambient tests.
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

inline bool isColour(BITMAP* bmp, int x, int y, int r, int g, int b) { return getpixel(bmp, x, y) == makecol(r, g, b); }

// The 8 rows from y show the text centred on x = 320 in the colour, and no other pixel of those rows has that colour (the text may lie over a picture).
inline bool lineShows(BITMAP* bmp, int y, const std::string& text, int colour, int halfWidth = 320) {
    BITMAP* want = create_bitmap(640, 8);
    clear_bitmap(want), textout_centre_ex(want, font, text.c_str(), 320, 0, colour, -1);
    bool same = true;
    for (int i = 0; i < 640 * 8 && same; ++i)
        same = std::abs(i % 640 - 320) > halfWidth ||
               (getpixel(bmp, i % 640, y + i / 640) == colour) == (getpixel(want, i % 640, i / 640) == colour);
    destroy_bitmap(want);
    return same;
}

template <bool kShippedData>
class GameIn : public testing::Test {
protected:
    // The game owns its pictures; the board layer is forgotten, since a new picture may take a destroyed one's address.
    void setPicture(int slot, BITMAP* picture) {
        if (game->tileImages[slot]) destroy_bitmap(game->tileImages[slot]);
        game->tileImages[slot] = picture;
        forgetBoardLayer(*game);
    }
    void drawMode(BITMAP* target, int mode) {
        game->screenMode = mode, game->redrawNeeded = true, game->drawScreen(target);
    }

    std::atomic<bool> quit{false};
    harness::ScratchDir dir{kShippedData};
    std::unique_ptr<Game> game = std::make_unique<Game>(&quit);
};
using GameFixture = GameIn<false>;
using ShippedGame = GameIn<true>;

}  // namespace presentation_test
