// Tile codes of the board cells; a code is also the slot of its picture.
#pragma once

#include <cstdint>

enum TileCode : uint8_t {
    BlackRock = 0,
    Rock = 1,
    SkyTop = 2,
    DirtMarker = 15,
    Dirt = 16,
    Tunnel = 17,
    SkyBottom = 19,
    DirtBackground = 20,
    SkyBottomDestroyed = 21,
    BoneTile = 254,
    DogTile = 255,
};

// The dog may enter exactly the codes with the bit of value 16 set.
inline bool isPassable(uint8_t code) { return (code & 16) != 0; }
// Only rocks fall.
inline bool isRock(uint8_t code) { return code == BlackRock || code == Rock; }
