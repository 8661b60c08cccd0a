// Every picture the game loads, each made by one function from code and the
// pixel maps in tools/art.
#pragma once

#include <string>

#include "canvas.h"

namespace art {

// The garden's colours, shared so that tiles and screens agree.
namespace palette {
const Rgb skyHigh{104, 168, 228};
const Rgb skyLow{196, 228, 248};
const Rgb grass{98, 172, 62};
const Rgb grassDark{52, 118, 44};
const Rgb grassLight{160, 214, 96};
const Rgb soil{92, 58, 34};
const Rgb dirt{140, 94, 58};
const Rgb dirtDark{98, 62, 38};
const Rgb dirtLight{170, 122, 80};
const Rgb stone{146, 140, 132};
const Rgb stoneLight{214, 208, 196};
const Rgb stoneDark{60, 54, 52};
const Rgb edge{44, 32, 26};
const Rgb cream{250, 240, 214};
}  // namespace palette

// The sprites drawn from pixel maps; loaded once from the art directory.
struct Sprites {
    PixelMap dog;
    PixelMap bone;
};
bool loadSprites(const std::string& artDir, Sprites& out, std::string& error);

// Board pictures, 32 by 32 unless said otherwise.
Canvas makeDirtBackground(int w, int h, uint32_t seed);  // 640 by 480 for the board
Canvas makeRock(bool inTunnel);
Canvas makeSkyTop();
Canvas makeSkyBottom(bool dugThrough);

// Screens.
struct ButtonSize {
    int w, h;
};
const ButtonSize kButton{208, 58};
Canvas makeButton(const std::string& label, bool highlighted, const Sprites& sprites);
Canvas makeMenuBackground(const Sprites& sprites);
Canvas makeHelpBackground(const Sprites& sprites);
Canvas makeWinPicture(const Sprites& sprites);

// Sky, grass line and earth as one landscape, shared by the screens.
void paintSky(Canvas& c, int y0, int y1, uint32_t seed);
void paintGrassLine(Canvas& c, int groundY, uint32_t seed);

}  // namespace art
