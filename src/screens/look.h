// The look that the game's own screens of text share with the main menu:
// the garden picture of the menu, dimmed, with a wooden panel behind the
// text, and every letter outlined so that it reads on any part of it.
// Dialogs use the same panel over the dimmed screen beneath them.
#pragma once

#include <allegro.h>

#include <string>
#include <vector>

// One line of text, centred on x (by default the middle of the target),
// with y its top row.
struct StyledLine {
    std::string text;
    int y;
    int colour;
    int x = -1;
};

// Where a panel or a text was drawn: its box, a text's with its outline.
struct DrawnBox {
    bool panel;
    int x0, y0, x1, y1;  // inclusive
    std::string text;
};
// While `into` is set, every panel and outlined text drawn is added to it,
// so that a screen's layout can be checked against its panels.
void recordLayout(std::vector<DrawnBox>* into);

// A text in the built-in font with a dark outline (a light one for dark letters).
void drawOutlinedText(BITMAP* target, const std::string& text, int x, int y, int colour);
// A dark translucent board with the two-tone wooden edge of the menu buttons.
void drawPanel(BITMAP* target, int x0, int y0, int x1, int y1);
// The panel fitted around the lines, then the lines.
void drawLines(BITMAP* target, const std::vector<StyledLine>& lines);
// Darkens what is already drawn, as behind a question: it stays readable.
void dimBeneath(BITMAP* target);

// For one visit of a screen: the dimmed garden is made once, then each
// show() draws it, the panel and the lines.
class StyledScreen {
public:
    // `garden`: the menu picture (may be null: dark earth alone).
    explicit StyledScreen(BITMAP* garden);
    ~StyledScreen();
    StyledScreen(const StyledScreen&) = delete;
    StyledScreen& operator=(const StyledScreen&) = delete;

    void show(BITMAP* target, const std::vector<StyledLine>& lines) const;
    // The dimmed garden alone.
    void backdrop(BITMAP* target) const;

private:
    BITMAP* backdrop_;  // null when it could not be made: drawn each time
    BITMAP* garden_;    // not owned; may be null
};
