// The level editor: the board, the cell under the pointer outlined and the
// brush drawn beside it. A click paints the brush (the dog and bone brushes
// move them); Left and Right change the brush; E blanks the board, N and T
// ask for the number and the title, S saves (asking before it replaces
// another board's file), L loads, V checks whether the board can be won; F1
// hides or shows the key line at the foot; Escape goes back to the menu.
#pragma once

#include <ctime>
#include <string>

#include "screens/board_view.h"
#include "screens/screen.h"

class EditorScreen : public Screen {
public:
    void handle(const input::Event& event, Context& context) override;
    bool update(const input::Held& held, unsigned long nowMs, Context& context) override;
    void draw(BITMAP* target, Context& context) override;
    // Back on top: a button still held from the dialog paints nothing.
    void resumed(Context&) override { painting_ = false; }
    int brush() const { return brush_; }
    bool keysShown() const { return keysShown_; }

private:
    void save(Context& context);
    void saved(Context& context);
    bool paintAt(int x, int y, Context& context);
    void drawPointerCell(BITMAP* target, const Context& context) const;

    BoardView view_;
    int brush_ = 255;        // the dog
    bool painting_ = false;  // the button went down here and is still held
    std::string note_;       // the outcome of the last S or L: for a few seconds, a failure until the next key or click
    unsigned long noteUntil_ = 0, now_ = 0;
    int pointerX_ = -1, pointerY_ = -1;  // -1: not over the window
    bool keysShown_ = true;              // the key line at the foot (F1)
    bool wasInside_ = false;
};

// The editor's caption: "New level #N" for a board from no file (or from
// another number's), "Editing level #N" for the file it was loaded from or
// saved to, the title after it when there is one.
std::string editorCaption(int32_t number, const std::string& title, int32_t boardFile, int width = 1 << 30,
                          const std::string& brush = "");
// The keys told at the foot of the editor.
extern const char* const kEditorKeysText;

// The brush after `brush` + stepping in the cycle black rock, rock, sky,
// dirt, tunnel, grass, dug grass, bone, dog.
int nextBrush(int brush, int stepping);
// Text to a level number as atoi reads it; 0 for text that gives no number
// or one that does not fit in 32 bits, so that it is refused like any other 0.
int32_t levelNumberFromText(const std::string& text);
