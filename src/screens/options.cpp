#include "screens/options.h"

#include <algorithm>
#include <string>

#include "screens/dialogs.h"

namespace {

// Held, Left or Right changes a volume by a step this often, once held this long.
const unsigned long kStepMs = 100, kFirstStepMs = 300;

// The panel's layout: a heading, the lines, the keys along the bottom (the
// panel as wide as their line).
const int kPanelLeft = 64, kPanelRight = 575, kFirstLineY = 150, kLineStep = 32;
const int kLabelX = 128, kValueX = 336, kBarWidth = 120;

const char* const kLabels[OptionsScreen::kLines] = {"Background volume", "Effects volume", "Garden volume",
                                                    "Ambient noise",     "Sound effects",  "Window size"};

bool isVolume(int line) { return line == OptionsScreen::Volume || line == OptionsScreen::EffectsVolume || line == OptionsScreen::GardenVolume; }

// The next multiple of 5 per cent up or down, within 0..100.
int stepPercent(int percent, int by) {
    return std::clamp(by > 0 ? (percent / 5 + 1) * 5 : ((percent + 4) / 5 - 1) * 5, 0, 100);
}

// The background volume (0..255) at a per cent: the least value shown as it.
int fromPercent(int percent) { return (percent * 255 + 99) / 100; }
int toPercent(int volume) { return volume * 100 / 255; }

std::string sizeName(int size) { return size == 0 ? "Full screen" : std::to_string(size) + "x"; }

int currentSize(const Preferences& p) { return p.fullScreen ? 0 : std::max(1, p.windowScale); }

void textLeft(BITMAP* t, const std::string& text, int x, int y, int colour) {
    drawOutlinedText(t, text, x + text_length(font, text.c_str()) / 2, y, colour);
}

}  // namespace

OptionsScreen::OptionsScreen(Context& c)
    : settings_(c.settings),
      preferences_(c.preferences),
      opened_(c.preferences),
      sizes_(c.windowSizes()),
      look_(new StyledScreen(c.pictures[MenuBackground])) {
    if (sizes_.empty()) sizes_.push_back(1);
}

int* OptionsScreen::percent() {
    return line_ == EffectsVolume ? &preferences_.effectsVolume
           : line_ == GardenVolume ? &preferences_.gardenVolume
                                   : nullptr;
}

void OptionsScreen::change(int by) {
    switch (line_) {
    // Every step a whole 5 %, so that what is shown changes with what is heard.
    case Volume: settings_.volume = fromPercent(stepPercent(toPercent(settings_.volume), by)); break;
    case EffectsVolume:
    case GardenVolume: *percent() = stepPercent(*percent(), by); break;
    case Ambient: settings_.ambient = !settings_.ambient; break;
    case Effects: preferences_.effects = !preferences_.effects; break;
    case WindowSize: {
        // Round the sizes the desktop allows: 1x, 2x, 3x, full screen.
        auto at = std::find(sizes_.begin(), sizes_.end(), currentSize(preferences_));
        int i = at == sizes_.end() ? 0 : static_cast<int>(at - sizes_.begin());
        i = (i + by + static_cast<int>(sizes_.size())) % static_cast<int>(sizes_.size());
        preferences_.fullScreen = sizes_[i] == 0;
        if (sizes_[i] > 0) preferences_.windowScale = sizes_[i];
        break;
    }
    default: break;
    }
}

void OptionsScreen::leave(Context& c) {
    c.settings = settings_;
    // A window size not changed here stays as F11 may have left it meanwhile.
    if (preferences_.fullScreen == opened_.fullScreen && preferences_.windowScale == opened_.windowScale) {
        preferences_.fullScreen = c.preferences.fullScreen;
        preferences_.windowScale = c.preferences.windowScale;
    }
    c.preferences = preferences_;
    c.settingsChanged();
    c.nav.close();
    std::string failed;
    const files::Outcome saved = saveSettings(c.settings);
    if (!saved) failed = "The options could not be saved (\"settings.ini\"): " + saved.reason;
    // Rewritten only when the player changed something kept there.
    const files::Outcome kept = preferences_ != opened_ ? savePreferences(c.preferences) : files::Outcome{};
    if (saved && !kept) failed = "The options could not be saved (\"preferences.ini\"): " + kept.reason;
    if (!failed.empty()) c.nav.push(std::make_unique<MessageDialog>(failed));
}

int OptionsScreen::lineAt(int y) const {
    const int line = (y - kFirstLineY + kLineStep / 2) / kLineStep;
    return y >= kFirstLineY - kLineStep / 2 && line >= 0 && line < kLines ? line : -1;
}

void OptionsScreen::handle(const input::Event& e, Context& c) {
    if (e.kind == input::Event::Click) {
        const int line = lineAt(e.y);
        if (line < 0 || e.x < kPanelLeft || e.x > kPanelRight) return;
        line_ = line;
        if (isVolume(line) && e.x >= kValueX && e.x < kValueX + kBarWidth) {
            // The nearest 5 % to the place clicked on the bar.
            const int at = std::clamp(((e.x - kValueX) * 100 / (kBarWidth - 1) + 2) / 5 * 5, 0, 100);
            if (percent()) *percent() = at;
            else settings_.volume = fromPercent(at);
        } else if (e.x >= kValueX)
            change(e.x >= kValueX + kBarWidth / 2 ? 1 : -1);
        c.hear({Cue::Click});
        return;
    }
    if (e.kind != input::Event::Press) return;
    switch (e.scancode) {
    case KEY_UP: line_ = (line_ + kLines - 1) % kLines, c.hear({Cue::Click}); break;
    case KEY_DOWN: line_ = (line_ + 1) % kLines, c.hear({Cue::Click}); break;
    case KEY_LEFT:
    case KEY_RIGHT:
        change(e.scancode == KEY_RIGHT ? 1 : -1);
        heldKey_ = e.scancode;
        nextStep_ = 0;
        c.hear({Cue::Click});
        break;
    case KEY_ESC: leave(c); break;
    default: break;
    }
}

bool OptionsScreen::update(const input::Held& held, unsigned long nowMs, Context&) {
    // Holding Left or Right keeps stepping a volume; a switch flips once a press.
    holding_ = isVolume(line_) && heldKey_ != 0 && held.key(heldKey_);
    if (!holding_) {
        heldKey_ = 0;
        return false;
    }
    if (nextStep_ == 0) nextStep_ = nowMs + kFirstStepMs;
    if (nowMs < nextStep_) return false;
    nextStep_ = nowMs + kStepMs;
    change(heldKey_ == KEY_RIGHT ? 1 : -1);
    return true;
}

void OptionsScreen::draw(BITMAP* target, Context&) {
    look_->backdrop(target);
    drawPanel(target, kPanelLeft, 88, kPanelRight, 364);
    drawOutlinedText(target, "Options", target->w / 2, 104, makecol(255, 230, 120));
    const int plain = makecol(230, 220, 200), lit = makecol(255, 214, 64);
    for (int line = 0; line < kLines; ++line) {
        const int y = kFirstLineY + line * kLineStep - 4;
        const int colour = line == line_ ? lit : plain;
        if (line == line_) textLeft(target, ">", kLabelX - 16, y, lit);
        textLeft(target, kLabels[line], kLabelX, y, colour);
        std::string value;
        if (isVolume(line)) {
            // A bar of the volume, and the per cent beside it.
            const int shown = line == Volume         ? toPercent(settings_.volume)
                              : line == EffectsVolume ? preferences_.effectsVolume
                                                      : preferences_.gardenVolume;
            const int filled = shown * (kBarWidth - 2) / 100;
            rect(target, kValueX, y - 2, kValueX + kBarWidth - 1, y + 9, makecol(206, 156, 90));
            if (filled > 0) rectfill(target, kValueX + 1, y - 1, kValueX + filled, y + 8, colour);
            textLeft(target, std::to_string(shown) + "%", kValueX + kBarWidth + 12, y, colour);
            continue;
        }
        switch (line) {
        case Ambient: value = settings_.ambient ? "on" : "off"; break;
        case Effects: value = preferences_.effects ? "on" : "off"; break;
        case WindowSize: value = sizeName(currentSize(preferences_)); break;
        default: break;
        }
        textLeft(target, "< " + value + " >", kValueX, y, colour);
    }
    drawOutlinedText(target, "Up/Down: choose   Left/Right: change   Escape: save and go back", target->w / 2, 340,
                     makecol(200, 200, 200));
}
