// Text handed to Allegro: titles from files made safe for its printf-style
// calls, and long texts broken into lines that fit a width.
#pragma once

#include <string>
#include <vector>

// The text with every byte sequence that Allegro's UTF-8 reader decodes to a
// number beyond any character replaced by '^', the mark Allegro itself
// shows for a broken sequence. Allegro's printf never finishes writing such
// a number back (a level title "\xfe" followed by six bytes 0x99 hangs the
// game). Everything else is left as it is, so the text looks as before.
std::string printableByAllegro(const std::string& text);

// The text broken into lines of at most `width` pixels in the built-in font:
// at its own line breaks, then between words; a word longer than a line is
// cut. An empty line stays (a paragraph break).
std::vector<std::string> wrapText(const std::string& text, int width);

// `before` + title + `after`, the title cut (ending in "...") so that the
// whole fits `width` pixels: what stands around it (a level's number) stays in view.
std::string withTitleFitted(const std::string& before, const std::string& title, const std::string& after, int width);
