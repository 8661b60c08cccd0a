// Drawing the board as the playing screen and the editor show it: the cells
// (composed again only where they changed since the last frame), the dog,
// the bone and the falling rock, and the texts over the sky.
#pragma once

#include <allegro.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/pictures.h"
#include "rules/rules.h"

class Play;

// The side of a board cell in pixels.
constexpr int kCell = RuleState::cellSize;

class BoardView {
public:
    BoardView() = default;
    ~BoardView();
    BoardView(const BoardView&) = delete;
    BoardView& operator=(const BoardView&) = delete;

    // The cells with the loose rocks marked, then the dog (facing left on a
    // step Left when `playing`), the bone and the falling rock.
    void draw(BITMAP* target, const RuleState& board, const Pictures& pictures, bool playing);
    // The cells alone, through the layer kept between frames.
    void drawCells(BITMAP* target, const RuleState& board, const Pictures& pictures);
    // The layer is thrown away: the next pass composes every cell (needed
    // when a picture is replaced while the game runs; tests do that).
    void forget();

private:
    BITMAP* layer_ = nullptr;
    BITMAP* background_ = nullptr;
    std::vector<std::pair<BITMAP*, BITMAP*>> composed_;  // each cell's grass and tile as composed
    std::vector<bool> valid_;
};

// A rock over an open tunnel, which falls once its column moves (not the
// one on the bone, which the bone holds up).
bool isLoose(const RuleState& board, int column, int row);

// Each cell's piece of the dirt background, then its tile as a sprite,
// straight onto the target: the plain reference for the layered pass.
void drawCellsDirect(BITMAP* target, const RuleState& board, const Pictures& pictures);

// Dark text with a light halo, readable on the sky. `align`: -1 left edge
// at x, 0 centred on x, 1 right edge at x.
void drawSkyText(BITMAP* target, const std::string& text, int x, int y, int align = 0);
// "Level #N: "title"" centred on the top row.
std::string captionText(int number, const std::string& title);
void drawCaption(BITMAP* target, int number, const std::string& title);
// The moves made, the best and the fewest possible beside the caption.
void drawScoreLine(BITMAP* target, const std::string& caption, int32_t moves, int32_t best, int32_t fewest);
// The hint or dead-end notice under the caption, and the hint's arrow.
void drawNotice(BITMAP* target, const RuleState& board, const Play& play);
// A fewest-moves value as the score line shows it: "...", "-", "?" or the count.
std::string fewestText(int32_t value);
