// The settings reader on any bytes: the volume handed to the sound layer is
// always within 0..255 and both values follow the reading rules (an integer
// at a time, white space skipped, a failed read keeps the previous value and
// ends the reading).
#include <cctype>
#include <climits>
#include <cstdint>
#include <string>

#include "fuzz_support.h"

namespace {

// One integer as the settings reader takes it; false (value untouched) when
// there is none or it does not fit in 32 bits.
bool readInt(const std::string& text, size_t& at, long long& value) {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    size_t p = at;
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
    if (p >= text.size() || !std::isdigit(static_cast<unsigned char>(text[p]))) return false;
    long long v = 0;
    for (; p < text.size() && std::isdigit(static_cast<unsigned char>(text[p])); ++p) {
        v = v * 10 + (text[p] - '0');
        if (v > 1LL + INT_MAX) return false;
    }
    v = negative ? -v : v;
    if (v < INT_MIN || v > INT_MAX) return false;
    at = p;
    value = v;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Game& game = fuzz::game();
    std::string text(reinterpret_cast<const char*>(data), size);
    fuzz::writeFile("settings.ini", text);

    // Start from the opposite of what the file is likely to say.
    FSOUND_SetSFXMasterVolume(17);
    game.ambientEnabled = true;
    game.readSettings();

    long long value = 255;
    size_t at = 0;
    if (readInt(text, at, value)) {
        long long clamped = value < 0 ? 0 : value > 255 ? 255 : value;
        FUZZ_CHECK(FSOUND_GetSFXMasterVolume() == clamped, "volume %d, expected %lld",
                   FSOUND_GetSFXMasterVolume(), clamped);
        readInt(text, at, value);
    } else {
        FUZZ_CHECK(FSOUND_GetSFXMasterVolume() == 255, "volume %d after an unreadable value",
                   FSOUND_GetSFXMasterVolume());
    }
    FUZZ_CHECK(game.ambientEnabled == (value == 1), "ambient noise %d, expected %d",
               game.ambientEnabled, value == 1);
    return 0;
}
