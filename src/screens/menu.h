// The main menu: Play, Options, Help and Quit down the right, over the
// garden; S opens the level chooser, L the editor, A the about box.
#pragma once

#include "screens/screen.h"

class MenuScreen : public Screen {
public:
    enum Item { PlayItem, OptionsItem, HelpItem, QuitItem, kItems };

    void handle(const input::Event& event, Context& context) override;
    void draw(BITMAP* target, Context& context) override;
    // Back on the menu: the item last opened stays lit.
    void resumed(Context& context) override;
    int selection() const { return selection_; }

private:
    void activate(int item, Context& context);
    int selection_ = PlayItem;
    int opened_ = -1;
};

// Where a button (an Item) stands on a W by H screen, and the button at a
// pixel (-1: none). Clicks and drawing both go by this.
struct MenuButton {
    int x, y, w, h;
};
MenuButton menuButton(const Pictures& pictures, int item, int W, int H);
int menuItemAt(const Pictures& pictures, int x, int y, int W, int H);

// The about box's text.
extern const char* const kAboutText;
