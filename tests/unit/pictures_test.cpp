// The shipped pictures: every one the game loads is there, has the size its
// place on screen needs, uses the mask colour exactly where it is meant to
// be transparent, and fits with the pictures it is drawn beside.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "harness.h"

namespace {

// Opaque pictures are copied or must cover their cell; sprites let what lies
// beneath show. A size of 0 is checked against the other pictures below.
const struct { const char* name; int w, h; bool sprite; } kPictures[] = {
    {"black_rock", 32, 32, false}, {"rock", 32, 32, true}, {"skytop", 32, 32, false},
    {"skybottom", 32, 32, false}, {"skybottom_destroyed", 32, 32, false}, {"dirt_bg3", 640, 480, false},
    {"zada", 32, 32, true}, {"bone", 32, 32, true}, {"zada_wins", 0, 0, false},
    {"menu/menu_bg", 640, 480, false}, {"menu/help_bg", 640, 480, false},
    {"menu/play", 0, 0, true}, {"menu/playon", 0, 0, true}, {"menu/options", 0, 0, true}, {"menu/optionson", 0, 0, true},
    {"menu/help", 0, 0, true}, {"menu/helpon", 0, 0, true}, {"menu/quit", 0, 0, true}, {"menu/quiton", 0, 0, true},
};

bool isMask(int c) { return getr(c) == 255 && getg(c) == 0 && getb(c) == 255; }

class Pictures : public testing::Test {
protected:
    void SetUp() override {
        for (const auto& p : kPictures)
            loaded[p.name] = load_pcx((harness::dataDir() + "/graphics/" + p.name + ".pcx").c_str(), nullptr);
    }
    void TearDown() override {
        for (auto& [name, b] : loaded)
            if (b) destroy_bitmap(b);
    }
    int at(const char* name, int x, int y) { return getpixel(loaded[name], x, y); }
    std::map<std::string, BITMAP*> loaded;
};

TEST_F(Pictures, EachHasItsSizeIsNotBlankAndUsesMagentaOnlyWhereTransparent) {
    for (const auto& p : kPictures) {
        SCOPED_TRACE(p.name);
        BITMAP* b = loaded[p.name];
        ASSERT_NE(b, nullptr) << "missing or unreadable";
        if (p.w) EXPECT_EQ(std::make_pair(b->w, b->h), std::make_pair(p.w, p.h));
        std::set<int> colours;
        int mask = 0, fringe = 0;  // fringe: a soft edge blended toward magenta shows pink
        for (int i = 0; i < b->w * b->h; ++i) {
            int c = getpixel(b, i % b->w, i / b->w);
            mask += isMask(c);
            fringe += !isMask(c) && getr(c) > 190 && getg(c) < 90 && getb(c) > 190;
            if (!isMask(c)) colours.insert(c);
        }
        EXPECT_GE(colours.size(), 4u) << "looks blank";
        EXPECT_EQ(fringe, 0);
        if (!p.sprite) EXPECT_EQ(mask, 0);
        else EXPECT_TRUE(isMask(getpixel(b, 0, 0)) && isMask(getpixel(b, b->w - 1, b->h - 1)));
    }
}

TEST_F(Pictures, FitWithWhatTheyAreDrawnBeside) {
    // A falling rock (the sprite over a tunnel) hides the tunnel behind its
    // middle and looks exactly like the landed one.
    int holes = 0;
    for (int i = 0; i < 256; ++i) holes += isMask(at("rock", 8 + i % 16, 8 + i / 16));
    EXPECT_EQ(holes, 0);
    for (int i = 0; i < 32 * 32; ++i) {
        int falling = isMask(at("rock", i % 32, i / 32)) ? makecol(0, 0, 0) : at("rock", i % 32, i / 32);
        ASSERT_EQ(falling, at("black_rock", i % 32, i / 32)) << i;
    }
    // Buttons: one size, four fit under the title and the highlight shows;
    // the won picture, centred, ends above the result lines (y 390).
    BITMAP* play = loaded["menu/play"];
    EXPECT_TRUE(4 * play->h <= 240 && play->w <= 320 && play->h >= 24);
    for (const char* name : {"menu/play", "menu/options", "menu/help", "menu/quit"}) {
        BITMAP *off = loaded[name], *on = loaded[std::string(name) + "on"];
        EXPECT_TRUE(off->w == play->w && off->h == play->h && on->w == play->w && on->h == play->h) << name;
        int differ = 0;
        for (int i = 0; i < play->w * play->h; ++i) differ += getpixel(off, i % play->w, i / play->w) != getpixel(on, i % play->w, i / play->w);
        EXPECT_GT(differ, play->w * play->h / 4) << name;
    }
    BITMAP* won = loaded["zada_wins"];
    EXPECT_TRUE(won->w <= 640 && won->h >= 120 && 240 + won->h - won->h / 2 <= 385);
}

}  // namespace
