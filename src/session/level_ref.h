// A level named by its pack and its number: the shipped set (pack "") in
// "levels/", or the folder "packs/<pack>/". Progress, replays and records
// name levels this way, and a level file's checksum tells whether the level
// a saved move log was made on is still the same.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>

struct LevelRef {
    std::string pack;  // "" for the shipped set, else the folder's name in "packs/"
    int32_t number = 1;

    bool shipped() const { return pack.empty(); }
    bool operator==(const LevelRef& o) const { return pack == o.pack && number == o.number; }
    bool operator!=(const LevelRef& o) const { return !(*this == o); }
    bool operator<(const LevelRef& o) const { return std::tie(pack, number) < std::tie(o.pack, o.number); }
};

// How a pack is written in the game's text files (progress.txt, replays.txt,
// pending-records.txt): "levels" for the shipped set, "packs/<folder>" else.
inline std::string packKey(const std::string& pack) { return pack.empty() ? "levels" : "packs/" + pack; }

// The reverse; false for anything else (a key naming no pack folder).
inline bool packFromKey(const std::string& key, std::string& pack) {
    if (key == "levels") {
        pack.clear();
        return true;
    }
    if (key.compare(0, 6, "packs/") != 0 || key.size() == 6) return false;
    std::string folder = key.substr(6);
    if (folder == "." || folder == ".." || folder.find('/') != std::string::npos) return false;
    pack = folder;
    return true;
}

// FNV-1a over a level file's bytes, as 16 lower-case hex digits.
inline std::string levelChecksum(const std::string& bytes) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    static const char* hex = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, h >>= 4) out[i] = hex[h & 15];
    return out;
}
