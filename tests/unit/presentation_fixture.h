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

// Colour comparisons go through getr/getg/getb: the pixel layout differs
// between drivers.
inline bool isColour(BITMAP* bmp, int x, int y, int r, int g, int b) {
    int c = getpixel(bmp, x, y);
    return getr(c) == r && getg(c) == g && getb(c) == b;
}

// Pixels differing between two bitmaps of the same size inside a region.
inline int differences(BITMAP* a, BITMAP* b, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (getpixel(a, x, y) != getpixel(b, x, y)) ++n;
    return n;
}

class GameFixture : public testing::Test {
protected:
    void SetUp() override {
        dir = std::make_unique<harness::ScratchDir>(false);
        game = std::make_unique<Game>(&quit);
        if (!game->board) {
            // Until the board is built by the game itself, lend it one.
            ownBoard = true;
            game->boardWidth = 20;
            game->boardHeight = 15;
            game->board = new uint8_t*[15];
            for (int r = 0; r < 15; ++r) game->board[r] = new uint8_t[20]();
        }
    }

    void TearDown() override {
        if (ownBoard) {
            for (int r = 0; r < game->boardHeight; ++r) delete[] game->board[r];
            delete[] game->board;
            game->board = nullptr;
            game->boardHeight = 0;
            game->boardWidth = 0;
        }
        game.reset();
        dir.reset();
    }

    // The game owns its pictures: a replaced one is destroyed here.
    void setPicture(int slot, BITMAP* picture) {
        if (game->tileImages[slot]) destroy_bitmap(game->tileImages[slot]);
        game->tileImages[slot] = picture;
        // A new picture may take the old one's address.
        forgetBoardLayer(*game);
    }

    void clearPictures() {
        for (int slot = 0; slot < 256; ++slot) setPicture(slot, nullptr);
    }

    void fillBoard(uint8_t code) {
        for (int r = 0; r < game->boardHeight; ++r)
            for (int c = 0; c < game->boardWidth; ++c) game->board[r][c] = code;
    }

    std::atomic<bool> quit{false};
    std::unique_ptr<harness::ScratchDir> dir;
    std::unique_ptr<Game> game;
    bool ownBoard = false;
};

}  // namespace presentation_test
