// The look that the game's own screens of text share with the main menu:
// the garden picture of the menu, dimmed, with a wooden panel behind the
// text, and every letter outlined so that it reads on any part of it.
#pragma once

#include <string>
#include <vector>

#include "app/game.h"

// One line of text, centred on x (by default the middle of the target),
// with y its top row.
struct StyledLine {
    std::string text;
    int y;
    int colour;
    int x = -1;
};

// A text in the built-in font with a dark outline; used alone where the
// text lies over the board (the editor's captions).
void drawOutlinedText(BITMAP* target, const std::string& text, int x, int y, int colour);

// For one visit of a screen: the dimmed backdrop is made once, then each
// show() composes backdrop, panel and lines off screen and copies the whole
// picture onto the target in one go, so the text never flickers.
class StyledScreen {
public:
    explicit StyledScreen(const Game& game);
    // The same over another picture (the board the player left for a
    // question), dimmed less than the garden so that it stays readable.
    StyledScreen(const Game& game, BITMAP* picture);
    ~StyledScreen();
    StyledScreen(const StyledScreen&) = delete;
    StyledScreen& operator=(const StyledScreen&) = delete;

    void show(BITMAP* target, const std::vector<StyledLine>& lines) const;

private:
    BITMAP* backdrop_;  // null when it could not be made: drawn each time
    BITMAP* frame_;     // null when it could not be made: drawn on the target
    BITMAP* garden_;    // the menu picture or the given one (not owned); may be null
    int opacity_;
};
