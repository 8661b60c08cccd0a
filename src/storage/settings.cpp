#include "storage/settings.h"

#include <sstream>
#include <string>

namespace {

const char* const kSettingsPath = "settings.ini";
// Two short numbers; a file is read no further than this.
const size_t kLargestSettings = 256;

// Reads the next integer into value; on a failed read value stays as it was
// (the stream would store 0 or a saturated number there).
void readInto(std::istream& in, int& value) {
    int read = 0;
    if (in >> read) value = read;
}

int clamp(int volume) { return volume < 0 ? 0 : volume > 255 ? 255 : volume; }

}  // namespace

void readSettings(Settings& settings) {
    std::string bytes;
    if (!files::readRegular(kSettingsPath, kLargestSettings, bytes)) return;
    std::istringstream in(bytes);
    int value = 255;
    readInto(in, value);
    settings.volume = clamp(value);
    readInto(in, value);
    settings.ambient = (value == 1);
}

files::Outcome saveSettings(const Settings& settings) {
    return files::writeReplacing(
        kSettingsPath, std::to_string(clamp(settings.volume)) + "\r\n" + (settings.ambient ? "1" : "0") + "\r\n");
}
