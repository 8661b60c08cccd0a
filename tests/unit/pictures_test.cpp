// The shipped pictures: each has the size its place on screen needs, is not
// blank, uses the mask colour only where meant to be transparent, and fits
// with the pictures drawn beside it.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "harness.h"

namespace {

bool isMask(int c) { return c == makecol(255, 0, 255); }

TEST(Pictures, EachHasItsSizeIsNotBlankUsesMagentaOnlyWhereTransparentAndFitsItsNeighbours) {
    // Opaque ones are copied or cover their cell; sprites let what is beneath
    // show. Size 0: checked against the others below.
    const struct { const char* name; int w, h; bool sprite; } pictures[] = {
        {"black_rock", 32, 32, false}, {"rock", 32, 32, true}, {"skytop", 32, 32, false}, {"skybottom", 32, 32, false},
        {"skybottom_destroyed", 32, 32, false}, {"dirt_bg3", 640, 480, false}, {"zada", 32, 32, true}, {"bone", 32, 32, true},
        {"zada_wins", 0, 0, false}, {"menu/menu_bg", 640, 480, false}, {"menu/help_bg", 640, 480, false},
        {"menu/play", 0, 0, true}, {"menu/playon", 0, 0, true}, {"menu/options", 0, 0, true}, {"menu/optionson", 0, 0, true},
        {"menu/help", 0, 0, true}, {"menu/helpon", 0, 0, true}, {"menu/quit", 0, 0, true}, {"menu/quiton", 0, 0, true}};
    std::map<std::string, BITMAP*> p;
    for (const auto& want : pictures) {
        BITMAP* b = p[want.name] = load_pcx((harness::dataDir() + "/graphics/" + want.name + ".pcx").c_str(), nullptr);
        ASSERT_NE(b, nullptr) << want.name;
        EXPECT_TRUE(!want.w || (b->w == want.w && b->h == want.h)) << want.name;
        std::set<int> colours;
        int mask = 0, fringe = 0;  // fringe: a soft edge blended toward magenta shows pink
        for (int i = 0; i < b->w * b->h; ++i) {
            int c = getpixel(b, i % b->w, i / b->w);
            mask += isMask(c);
            fringe += !isMask(c) && getr(c) > 190 && getg(c) < 90 && getb(c) > 190;
            colours.insert(c);
        }
        EXPECT_TRUE(colours.size() >= 5 && fringe == 0) << want.name;
        EXPECT_TRUE(want.sprite ? isMask(getpixel(b, 0, 0)) && isMask(getpixel(b, b->w - 1, b->h - 1)) : mask == 0) << want.name;
    }
    // A falling rock (the sprite over a tunnel) looks exactly like the landed one.
    for (int i = 0; i < 32 * 32; ++i) {
        int falling = getpixel(p["rock"], i % 32, i / 32);
        ASSERT_EQ(isMask(falling) ? makecol(0, 0, 0) : falling, getpixel(p["black_rock"], i % 32, i / 32)) << i;
    }
    // Buttons: one size, four fit under the title and the lit one differs;
    // the won picture, centred, ends above the result lines (y 390).
    BITMAP* play = p["menu/play"];
    EXPECT_TRUE(4 * play->h <= 240 && play->w <= 320 && play->h >= 24);
    for (const char* name : {"menu/play", "menu/options", "menu/help", "menu/quit"}) {
        BITMAP *off = p[name], *on = p[std::string(name) + "on"];
        int differ = 0;
        for (int i = 0; i < play->w * play->h; ++i) differ += getpixel(off, i % play->w, i / play->w) != getpixel(on, i % play->w, i / play->w);
        EXPECT_TRUE(off->w == play->w && off->h == play->h && on->w == play->w && on->h == play->h && differ > play->w * play->h / 4) << name;
    }
    EXPECT_TRUE(p["zada_wins"]->w <= 640 && p["zada_wins"]->h >= 120 && 240 + p["zada_wins"]->h - p["zada_wins"]->h / 2 <= 385);
    for (auto& [name, b] : p) destroy_bitmap(b);
}

}  // namespace
