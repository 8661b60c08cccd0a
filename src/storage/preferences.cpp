// One "key=value" a line; unknown keys and lines are skipped, so a newer
// game's file still reads.
#include "storage/preferences.h"

#include <sstream>

namespace {

const char* const kPath = "preferences.ini";
const std::size_t kLargest = 4096;  // far more than the few lines it holds

// "on"/"off" only; anything else leaves `value` as it was.
void readSwitch(const std::string& text, bool& value) {
    if (text == "on") value = true;
    if (text == "off") value = false;
}

}  // namespace

Preferences readPreferences(const std::string& path) {
    Preferences preferences;
    std::string text;
    if (!files::readRegular(path, kLargest + 1, text) || text.size() > kLargest) return preferences;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
        // A number is taken only when it is exactly one of the sizes offered.
        if (key == "window-scale" && value.size() == 1 && value[0] >= '1' && value[0] <= '3')
            preferences.windowScale = value[0] - '0';
        else if (key == "full-screen")
            readSwitch(value, preferences.fullScreen);
        else if (key == "sound-effects")
            readSwitch(value, preferences.effects);
    }
    return preferences;
}

files::Outcome savePreferences(const Preferences& preferences, const std::string& path) {
    std::string text;
    if (preferences.windowScale >= 1 && preferences.windowScale <= 3)
        text += "window-scale=" + std::to_string(preferences.windowScale) + "\n";
    text += std::string("full-screen=") + (preferences.fullScreen ? "on" : "off") + "\n";
    text += std::string("sound-effects=") + (preferences.effects ? "on" : "off") + "\n";
    return files::writeReplacing(path, text);
}

Preferences readPreferences() { return readPreferences(kPath); }

files::Outcome savePreferences(const Preferences& preferences) { return savePreferences(preferences, kPath); }
