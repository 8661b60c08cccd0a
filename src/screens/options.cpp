#include "screens/options.h"

#include <string>

#include "screens/dialogs.h"

namespace {

// Held, Up or Down changes the volume by one this often, once held this long.
const unsigned long kStepMs = 20, kFirstStepMs = 250;

}  // namespace

OptionsScreen::OptionsScreen(Context& c)
    : volume_(c.settings.volume), ambient_(c.settings.ambient), look_(new StyledScreen(c.pictures[MenuBackground])) {}

void OptionsScreen::change(int by) {
    if (item_ == Item::Volume) {
        volume_ += by;
        if (volume_ < 0) volume_ = 0;
        if (volume_ > 255) volume_ = 255;
    } else {
        ambient_ = !ambient_;
    }
}

void OptionsScreen::handle(const input::Event& e, Context& c) {
    if (e.kind != input::Event::Press) return;
    switch (e.scancode) {
    case KEY_UP:
    case KEY_DOWN:
        change(e.scancode == KEY_UP ? 1 : -1);
        heldKey_ = e.scancode;
        nextStep_ = 0;
        break;
    case KEY_LEFT:
    case KEY_RIGHT: item_ = item_ == Item::Volume ? Item::Ambient : Item::Volume; break;
    case KEY_ESC: {
        c.settings.volume = volume_;
        c.settings.ambient = ambient_;
        c.settingsChanged();
        c.nav.close();
        const files::Outcome saved = saveSettings(c.settings);
        if (!saved)
            c.nav.push(std::make_unique<MessageDialog>("The options could not be saved (\"settings.ini\"): " +
                                                       saved.reason));
        break;
    }
    default: break;
    }
}

bool OptionsScreen::update(const input::Held& held, unsigned long nowMs, Context&) {
    // Holding Up or Down keeps counting on the volume; the switch flips once a press.
    holding_ = item_ == Item::Volume && heldKey_ != 0 && held.key(heldKey_);
    if (!holding_) {
        heldKey_ = 0;
        return false;
    }
    if (nextStep_ == 0) nextStep_ = nowMs + kFirstStepMs;
    if (nowMs < nextStep_) return false;
    nextStep_ = nowMs + kStepMs;
    change(heldKey_ == KEY_UP ? 1 : -1);
    return true;
}

void OptionsScreen::draw(BITMAP* target, Context&) {
    const int H = target->h;
    const int th = text_height(font);
    const int help = makecol(150, 200, 10);
    const std::string value = item_ == Item::Volume ? "Background volume: %" + std::to_string(volume_ * 100 / 255)
                                                    : std::string("Ambient Noise: ") + (ambient_ ? "on" : "off");
    look_->show(target, {{value, H / 2, makecol(10, 150, 200)},
                         {"Options menu:", H / 4, makecol(10, 200, 150)},
                         {"Left and right arrow keys to choose whether to configure", H / 4 + 2 * th, help},
                         {"Ambient noise (on / off) or background noise volume", H / 4 + 3 * th, help},
                         {"Up and down arrow keys to adjust your selection, press escape to quit", H / 4 + 4 * th,
                          help}});
}
