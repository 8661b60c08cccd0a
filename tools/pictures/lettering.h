// Display lettering of our own: round-ended strokes along glyph outlines
// (lines and arcs), painted in layers (shadow, outline, body, shine). Also
// Allegro's built-in 8-pixel font, drawn into a canvas at any whole scale.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"

namespace art {

// Distance from every pixel of a region to the centre lines of a text.
struct StrokeText {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // bounds of the centre lines, pixels
    std::vector<float> segs;               // ax, ay, bx, by per segment
    float distance(float x, float y) const;
};

// Lays out `text` with its baseline at y, cap height `capPx` pixels, starting
// at x (or centred on x when `centred`). Letters it does not know are skipped
// with a blank's width.
StrokeText layoutText(const std::string& text, float x, float y, float capPx, bool centred);
bool glyphKnown(char c);

struct LetterStyle {
    float stroke;     // half the stroke width, pixels
    float outline;    // outline width beyond the stroke
    Rgb top, bottom;  // body gradient from cap line to baseline
    Rgb edge;         // outline
    Rgb shadow;
    float shadowDx, shadowDy;
    float shine;  // strength of the light line along the upper part of strokes
};

// Paints the text in its layers; capTop/base are the y of cap line and baseline.
void paintText(Canvas& c, const StrokeText& t, const LetterStyle& s, float capTop, float base);

// Allegro's font, scaled by `factor`, left-aligned at x or centred on it.
void drawFontText(Canvas& c, const std::string& text, int x, int y, Rgb colour, int factor, bool centred);
int fontTextWidth(const std::string& text, int factor);

}  // namespace art
