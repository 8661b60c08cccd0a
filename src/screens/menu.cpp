#include "screens/menu.h"

#include <allegro.h>

#include "screens/dialogs.h"
#include "screens/look.h"
#include "session/session.h"
#include "version.h"

const char* const kAboutText =
    "W00f! Thanks for playing Tunnelwick. Every tunnel in this garden\n"
    "was dug with care, and it makes the whole pack wag to know that\n"
    "someone is out there chasing the bone.\n"
    "\n"
    "Made using SDL2_mixer (for the mp3 playing) and Allegro (for graphics, v " ALLEGRO_VERSION_STR
    ")\n"
    "\n"
    "And a big thank-you to everyone who plays, builds levels and\n"
    "shares them: you keep this garden growing!\n"
    "\n"
    "Tunnelwick " TUNNELWICK_VERSION;

namespace {

struct ButtonPictures {
    int normal, lit;
    const char* label;  // drawn when the pictures are missing
};
const ButtonPictures kButtons[MenuScreen::kItems] = {{PlayButton, PlayButtonOn, "Play"},
                                                     {OptionsButton, OptionsButtonOn, "Options"},
                                                     {HelpButton, HelpButtonOn, "Help"},
                                                     {QuitButton, QuitButtonOn, "Quit"}};
// Without the button pictures, plain buttons of this size stand in.
const int kPlainWidth = 208, kPlainHeight = 58;

}  // namespace

MenuButton menuButton(const Pictures& p, int item, int W, int H) {
    // Bottom-up: Quit, Help, Options, Play; all placed by the Play size.
    BITMAP* play = p[PlayButton];
    const int pw = play ? play->w : kPlainWidth, ph = play ? play->h : kPlainHeight;
    return {W - pw, H - (4 - item) * ph, pw, ph};
}

int menuItemAt(const Pictures& p, int x, int y, int W, int H) {
    for (int item = 0; item < MenuScreen::kItems; ++item) {
        const MenuButton b = menuButton(p, item, W, H);
        if (x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h) return item;
    }
    return -1;
}

void MenuScreen::resumed(Context&) {
    // The item the player left stays lit: Help after Help, so that Up, Up,
    // Enter from there reaches Play, not Quit.
    if (opened_ >= 0) selection_ = opened_;
    opened_ = -1;
}

void MenuScreen::activate(int item, Context& c) {
    selection_ = item;
    opened_ = item;
    c.hear({Cue::Click});
    switch (item) {
    case PlayItem:
        // The level loaded is played from where it stands.
        c.nav.open(ScreenId::Playing);
        break;
    case OptionsItem: c.nav.open(ScreenId::Options); break;
    case HelpItem: c.nav.open(ScreenId::Help); break;
    case QuitItem: c.nav.quit(); break;
    default: break;
    }
}

void MenuScreen::handle(const input::Event& e, Context& c) {
    const int W = 640, H = 480;
    switch (e.kind) {
    case input::Event::Move: {
        // Only a pointer that moves takes the highlight: one resting on a
        // button does not undo the arrow keys.
        const int item = menuItemAt(c.pictures, e.x, e.y, W, H);
        if (item >= 0) selection_ = item;
        return;
    }
    case input::Event::Click: {
        // A click on a button is Enter on it; a click beside the buttons is nothing.
        const int item = menuItemAt(c.pictures, e.x, e.y, W, H);
        if (item >= 0) activate(item, c);
        return;
    }
    case input::Event::Press: break;
    default: return;
    }
    switch (e.scancode) {
    case KEY_UP:
        selection_ = (selection_ + kItems - 1) % kItems;
        c.hear({Cue::Click});
        break;
    case KEY_DOWN:
        selection_ = (selection_ + 1) % kItems;
        c.hear({Cue::Click});
        break;
    case KEY_ENTER:
    case KEY_ENTER_PAD:
    case KEY_SPACE: activate(selection_, c); break;
    case KEY_ESC: c.nav.quit(); break;
    case KEY_A: c.nav.push(std::make_unique<MessageDialog>(kAboutText)); break;
    case KEY_S:
        // The chooser leads into play: back from it, Play is lit.
        opened_ = PlayItem;
        c.nav.open(ScreenId::Chooser);
        break;
    case KEY_L:
        opened_ = -1;
        c.session.openEditor();
        c.nav.open(ScreenId::Editor);
        break;
    default: break;
    }
}

void MenuScreen::draw(BITMAP* target, Context& c) {
    BITMAP* background = c.pictures[MenuBackground];
    if (background)
        blit(background, target, 0, 0, 0, 0, background->w, background->h);
    else
        clear_to_color(target, makecol(30, 22, 16));
    for (int item = 0; item < kItems; ++item) {
        const MenuButton b = menuButton(c.pictures, item, target->w, target->h);
        BITMAP* picture = c.pictures[selection_ == item ? kButtons[item].lit : kButtons[item].normal];
        if (picture) {
            draw_sprite(target, picture, b.x, b.y);
            continue;
        }
        // Plain colours when the button pictures could not be loaded.
        drawPanel(target, b.x + 4, b.y + 4, b.x + b.w - 5, b.y + b.h - 5);
        drawOutlinedText(target, kButtons[item].label, b.x + b.w / 2, b.y + b.h / 2 - 4,
                         selection_ == item ? makecol(255, 230, 120) : makecol(230, 220, 200));
    }
}
