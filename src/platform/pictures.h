// The game's pictures by slot: a tile code is also the slot of its picture
// (rules/tiles.h); the menu, help and won pictures have slots of their own.
// A file that cannot be loaded leaves its slot null, and drawing skips it.
#pragma once

#include <allegro.h>

#include <string>
#include <vector>

enum PictureSlot {
    OptionsButton = 242,
    OptionsButtonOn = 243,
    HelpBackground = 244,
    PlayButton = 245,
    PlayButtonOn = 246,
    HelpButton = 247,
    HelpButtonOn = 248,
    QuitButton = 249,
    QuitButtonOn = 250,
    MenuBackground = 251,
    WinPicture = 253,
};

class Pictures {
public:
    Pictures() = default;
    ~Pictures();
    Pictures(const Pictures&) = delete;
    Pictures& operator=(const Pictures&) = delete;

    // Loads every picture file and makes the placeholder tiles; the files
    // that could not be loaded are kept in missing().
    void load();
    BITMAP* operator[](int slot) const { return slot >= 0 && slot < 256 ? slots_[slot] : nullptr; }
    // Replaces a slot's picture (owned from then on); tests use it.
    void set(int slot, BITMAP* picture);
    const std::vector<std::string>& missing() const { return missing_; }

private:
    BITMAP* slots_[256] = {};
    std::vector<std::string> missing_;
};
