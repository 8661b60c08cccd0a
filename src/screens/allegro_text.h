// Text from files (level titles) handed to Allegro's printf-style calls.
#pragma once

#include <string>

// The text with every byte sequence that Allegro's UTF-8 reader decodes to a
// number beyond any character replaced by '^', the mark Allegro itself
// shows for a broken sequence. Allegro's printf never finishes writing such
// a number back (a level title "\xfe" followed by six bytes 0x99 hangs the
// game). Everything else is left as it is, so the text looks as before.
std::string printableByAllegro(const std::string& text);
