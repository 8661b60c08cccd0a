// The options screen (background volume, ambient noise on/off) and the
// two-line settings file "settings.ini" that keeps both between runs.
#include <sstream>
#include <string>
#include <vector>

#include "screens/styled_screen.h"
#include "platform/background.h"
#include "storage/files.h"
#include "app/game.h"

namespace {

const char* const kSettingsPath = "settings.ini";
// Two short numbers; a file is read no further than this.
const size_t kLargestSettings = 256;

enum class Item { Volume, Ambient };

bool held(int k) { return key[k] != 0; }

void waitForRelease(int k) {
    while (held(k)) rest(50);
}

// The options screen's lines: the selected item's value, the heading and the
// three lines of help.
std::vector<StyledLine> optionsLines(Item selected, int volume, bool ambient) {
    const int H = SCREEN_H;
    const int th = text_height(font);
    const int help = makecol(150, 200, 10);
    const std::string value = selected == Item::Volume
                                  ? "Background volume: %" + std::to_string(volume * 100 / 255)
                                  : std::string("Ambient Noise: ") + (ambient ? "on" : "off");
    return {{value, H / 2, makecol(10, 150, 200)},
            {"Options menu:", H / 4, makecol(10, 200, 150)},
            {"Left and right arrow keys to choose whether to configure", H / 4 + 2 * th, help},
            {"Ambient noise (on / off) or background noise volume", H / 4 + 3 * th, help},
            {"Up and down arrow keys to adjust your selection, press escape to quit", H / 4 + 4 * th, help}};
}

files::Outcome saveSettings(int volume, bool ambient) {
    return files::writeReplacing(kSettingsPath, std::to_string(volume) + "\r\n" + (ambient ? "1" : "0") + "\r\n");
}

// Reads the next integer into value; on a failed read value stays as it was
// (the stream would store 0 or a saturated number there).
void readInto(std::istream& in, int& value) {
    int read = 0;
    if (in >> read) value = read;
}

}  // namespace

void Game::optionsMenu() {
    Item selected = Item::Volume;
    int volume = FSOUND_GetSFXMasterVolume();
    if (volume < 0) volume = 0;
    if (volume > 255) volume = 255;
    // Without its scratch bitmaps the screen still works, drawn straight
    // onto the screen.
    const StyledScreen look(*this);

    // The window's close button leaves as Escape does; the game then quits.
    while (!held(KEY_ESC) && !quitting()) {
        rest(held(KEY_UP) || held(KEY_DOWN) ? 20 : 70);
        look.show(screen, optionsLines(selected, volume, ambientEnabled));

        {
            // Nothing changes on this screen until a key is pressed.
            background::QuietWait quiet;
            while (!held(KEY_UP) && !held(KEY_DOWN) && !held(KEY_RIGHT) && !held(KEY_LEFT) &&
                   !held(KEY_ESC) && !quitting())
                rest(25);
        }

        if (held(KEY_UP)) {
            // Holding Up keeps counting on the volume; the switch flips once.
            if (selected == Item::Volume) {
                if (volume < 255) ++volume;
            } else {
                ambientEnabled = !ambientEnabled;
                waitForRelease(KEY_UP);
            }
        } else if (held(KEY_DOWN)) {
            if (selected == Item::Volume) {
                if (volume > 0) --volume;
            } else {
                ambientEnabled = !ambientEnabled;
                waitForRelease(KEY_DOWN);
            }
        } else if (held(KEY_RIGHT) || held(KEY_LEFT)) {
            selected = selected == Item::Volume ? Item::Ambient : Item::Volume;
            while (held(KEY_RIGHT) || held(KEY_LEFT)) rest(50);
        }
    }

    FSOUND_SetSFXMasterVolume(volume);
    files::Outcome saved = saveSettings(volume, ambientEnabled);
    if (!saved) allegro_message("The options could not be saved (\"settings.ini\"): %s", saved.reason.c_str());
    // Nothing pressed here may reach the screen that follows.
    waitForRelease(KEY_ESC);
    clear_keybuf();
}

void Game::readSettings() {
    std::string bytes;
    if (!files::readRegular(kSettingsPath, kLargestSettings, bytes)) return;
    std::istringstream in(bytes);
    // One variable for both lines: with the first unreadable the second read
    // fails too and 255 decides the switch, so ambient noise is off.
    int value = 255;
    readInto(in, value);
    FSOUND_SetSFXMasterVolume(value);
    readInto(in, value);
    ambientEnabled = (value == 1);
}
