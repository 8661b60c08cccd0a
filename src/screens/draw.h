// The two ways of drawing the board cells: straight onto the target, cell by
// cell, and through the layer the game keeps between frames. Both give the
// same pixels; the first is the plain reference for the second.
#pragma once

#include "app/game.h"

// Each cell's piece of the dirt background, then its tile as a sprite.
void drawBoardCellsDirect(const Game& game, BITMAP* target);
// The same picture, composing again only the cells whose picture changed
// since the last call, then copied to the target.
void drawBoardCellsLayered(Game& game, BITMAP* target);
// Throws the layer away: the next board pass composes every cell. Needed
// only when a picture is replaced while the game runs (tests do that).
void forgetBoardLayer(Game& game);

// Where a main-menu button (0 Play, 1 Options, 2 Help, 3 Quit) stands on a
// W by H screen, and the button at a pixel (-1: none). Clicks and drawing
// both go by this.
struct MenuButton { int x, y, w, h; };
MenuButton menuButton(const Game& game, int item, int W, int H);
int menuItemAt(const Game& game, int x, int y, int W, int H);
