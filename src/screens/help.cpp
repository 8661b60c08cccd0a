#include "screens/help.h"

void HelpScreen::handle(const input::Event& e, Context& c) {
    const bool leave = e.kind == input::Event::Click ||
                       (e.kind == input::Event::Press && (e.scancode == KEY_ENTER || e.scancode == KEY_ENTER_PAD ||
                                                          e.scancode == KEY_SPACE || e.scancode == KEY_ESC));
    if (leave) c.nav.close();
}

void HelpScreen::draw(BITMAP* target, Context& c) {
    BITMAP* help = c.pictures[HelpBackground];
    clear_to_color(target, makecol(30, 22, 16));
    if (help) blit(help, target, 0, 0, 0, 0, help->w, help->h);
}
