// One "key=value" a line. A line that cannot be read leaves the default for
// its key; a line of a key this game does not know is kept for the next
// write, so a newer game's file survives an older game's save.
#include "storage/preferences.h"

#include <sstream>

namespace {

const char* const kPath = "preferences.ini";
// Far more than the few lines it holds: a larger file is read this far.
const std::size_t kLargest = 64 * 1024;
// A line longer than this is nobody's: it is neither read nor kept.
const std::size_t kLongestLine = 256;

// "on"/"off" only; anything else leaves `value` as it was.
void readSwitch(const std::string& text, bool& value) {
    if (text == "on") value = true;
    if (text == "off") value = false;
}

// A per cent: one to three digits, 0..100; anything else leaves `value`.
void readPercent(const std::string& text, int& value) {
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) return;
    const int read = std::stoi(text);
    if (read <= 100) value = read;
}

// Text a person could have written: printable, no control bytes.
bool printable(const std::string& line) {
    for (unsigned char c : line)
        if ((c < 0x20 && c != '\t') || c == 0x7f) return false;
    return true;
}

bool ours(const std::string& key) {
    return key == "window-scale" || key == "full-screen" || key == "sound-effects" || key == "effects-volume" ||
           key == "garden-volume" || key == "rule-notes-told";
}

// A list of names with commas between; a name of anything but letters, digits and '-' is left out.
void readNames(const std::string& text, std::set<std::string>& names) {
    std::istringstream list(text);
    for (std::string name; std::getline(list, name, ',');)
        if (!name.empty() && name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-") == std::string::npos)
            names.insert(name);
}

}  // namespace

bool operator==(const Preferences& a, const Preferences& b) {
    return a.windowScale == b.windowScale && a.fullScreen == b.fullScreen && a.effects == b.effects &&
           a.effectsVolume == b.effectsVolume && a.gardenVolume == b.gardenVolume && a.notesTold == b.notesTold && a.others == b.others;
}

Preferences readPreferences(const std::string& path) {
    Preferences preferences;
    std::string text;
    if (!files::readRegular(path, kLargest + 1, text)) return preferences;
    // Cut short: the last line may be a piece of one, so it is left out.
    if (text.size() > kLargest) text.erase(text.rfind('\n', kLargest) == std::string::npos ? 0 : text.rfind('\n', kLargest));
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.size() > kLongestLine || !printable(line)) continue;
        const std::size_t equals = line.find('=');
        const std::string key = line.substr(0, equals), value = equals == std::string::npos ? "" : line.substr(equals + 1);
        // A number is taken only when it is exactly one of the sizes offered.
        if (key == "window-scale" && value.size() == 1 && value[0] >= '1' && value[0] <= '3')
            preferences.windowScale = value[0] - '0';
        else if (key == "full-screen")
            readSwitch(value, preferences.fullScreen);
        else if (key == "sound-effects")
            readSwitch(value, preferences.effects);
        else if (key == "effects-volume")
            readPercent(value, preferences.effectsVolume);
        else if (key == "garden-volume")
            readPercent(value, preferences.gardenVolume);
        else if (key == "rule-notes-told")
            readNames(value, preferences.notesTold);
        else if (!ours(key) && equals != std::string::npos && equals > 0)
            preferences.others.push_back(line);
    }
    return preferences;
}

files::Outcome savePreferences(const Preferences& preferences, const std::string& path) {
    std::string text;
    if (preferences.windowScale >= 1 && preferences.windowScale <= 3)
        text += "window-scale=" + std::to_string(preferences.windowScale) + "\n";
    text += std::string("full-screen=") + (preferences.fullScreen ? "on" : "off") + "\n";
    text += std::string("sound-effects=") + (preferences.effects ? "on" : "off") + "\n";
    auto percent = [](int value) { return std::to_string(value < 0 ? 0 : value > 100 ? 100 : value); };
    text += "effects-volume=" + percent(preferences.effectsVolume) + "\n";
    text += "garden-volume=" + percent(preferences.gardenVolume) + "\n";
    std::string names;
    for (const std::string& name : preferences.notesTold) names += (names.empty() ? "" : ",") + name;
    if (!names.empty()) text += "rule-notes-told=" + names + "\n";
    for (const std::string& line : preferences.others) text += line + "\n";
    return files::writeReplacing(path, text);
}

Preferences readPreferences() { return readPreferences(kPath); }

files::Outcome savePreferences(const Preferences& preferences) { return savePreferences(preferences, kPath); }
