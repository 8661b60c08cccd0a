// The shipped pictures: every one the game loads is there, has the size its
// place on screen needs, and uses the mask colour exactly where it is meant
// to be transparent.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "harness.h"

namespace {

enum class Role { Opaque, Sprite };

struct Picture {
    const char* path;
    int w, h;  // 0: checked by a layout test instead
    Role role;
};

// Everything drawn with a blit must be opaque: magenta would show as magenta.
// Everything drawn with draw_sprite and meant to let the board show through
// is a sprite. Sky tiles and the tunnel's rock are drawn as sprites too, but
// must cover their whole cell.
const Picture kPictures[] = {
    {"graphics/black_rock.pcx", 32, 32, Role::Opaque},
    {"graphics/rock.pcx", 32, 32, Role::Sprite},
    {"graphics/skytop.pcx", 32, 32, Role::Opaque},
    {"graphics/skybottom.pcx", 32, 32, Role::Opaque},
    {"graphics/skybottom_destroyed.pcx", 32, 32, Role::Opaque},
    {"graphics/dirt_bg3.pcx", 640, 480, Role::Opaque},
    {"graphics/zada.pcx", 32, 32, Role::Sprite},
    {"graphics/bone.pcx", 32, 32, Role::Sprite},
    {"graphics/zada_wins.pcx", 0, 0, Role::Opaque},
    {"graphics/menu/menu_bg.pcx", 640, 480, Role::Opaque},
    {"graphics/menu/help_bg.pcx", 640, 480, Role::Opaque},
    {"graphics/menu/play.pcx", 0, 0, Role::Sprite},
    {"graphics/menu/playon.pcx", 0, 0, Role::Sprite},
    {"graphics/menu/options.pcx", 0, 0, Role::Sprite},
    {"graphics/menu/optionson.pcx", 0, 0, Role::Sprite},
    {"graphics/menu/help.pcx", 0, 0, Role::Sprite},
    {"graphics/menu/helpon.pcx", 0, 0, Role::Sprite},
    {"graphics/menu/quit.pcx", 0, 0, Role::Sprite},
    {"graphics/menu/quiton.pcx", 0, 0, Role::Sprite},
};

struct Loaded {
    BITMAP* bmp = nullptr;
    explicit Loaded(const std::string& relative) {
        bmp = load_pcx((harness::dataDir() + "/" + relative).c_str(), nullptr);
    }
    ~Loaded() {
        if (bmp) destroy_bitmap(bmp);
    }
};

bool isMask(BITMAP* b, int x, int y) {
    int c = getpixel(b, x, y);
    return getr(c) == 255 && getg(c) == 0 && getb(c) == 255;
}

// A colour close to the mask but not it: what a soft edge blended against
// magenta leaves behind, and what shows as a pink fringe on the board.
bool isNearMask(BITMAP* b, int x, int y) {
    int c = getpixel(b, x, y);
    return !isMask(b, x, y) && getr(c) > 190 && getg(c) < 90 && getb(c) > 190;
}

int luminance(int c) { return (getr(c) * 30 + getg(c) * 59 + getb(c) * 11) / 100; }

}  // namespace

TEST(Pictures, EveryPictureLoadsWithItsSizeAndIsNotBlank) {
    for (const Picture& p : kPictures) {
        SCOPED_TRACE(p.path);
        Loaded pic(p.path);
        ASSERT_NE(pic.bmp, nullptr) << "missing or unreadable";
        if (p.w) {
            EXPECT_EQ(pic.bmp->w, p.w);
            EXPECT_EQ(pic.bmp->h, p.h);
        }
        std::set<int> colours;
        for (int y = 0; y < pic.bmp->h; ++y)
            for (int x = 0; x < pic.bmp->w; ++x)
                if (!isMask(pic.bmp, x, y)) colours.insert(getpixel(pic.bmp, x, y));
        EXPECT_GE(colours.size(), 4u) << "looks blank";
    }
}

TEST(Pictures, MagentaOnlyWhereTransparentAndNoPinkFringes) {
    for (const Picture& p : kPictures) {
        SCOPED_TRACE(p.path);
        Loaded pic(p.path);
        ASSERT_NE(pic.bmp, nullptr);
        int mask = 0, fringe = 0;
        for (int y = 0; y < pic.bmp->h; ++y)
            for (int x = 0; x < pic.bmp->w; ++x) {
                mask += isMask(pic.bmp, x, y);
                fringe += isNearMask(pic.bmp, x, y);
            }
        if (p.role == Role::Opaque) {
            EXPECT_EQ(mask, 0) << "an opaque picture has mask-coloured pixels";
        } else {
            EXPECT_GT(mask, 0) << "a sprite with nothing transparent";
            EXPECT_LT(mask, pic.bmp->w * pic.bmp->h) << "a sprite with nothing to show";
            // Transparent corners: the sprite sits on what lies beneath.
            EXPECT_TRUE(isMask(pic.bmp, 0, 0) && isMask(pic.bmp, pic.bmp->w - 1, pic.bmp->h - 1));
        }
        EXPECT_EQ(fringe, 0) << "pixels blended toward the mask colour";
    }
}

TEST(Pictures, FiguresHaveAClearBorderAndASolidMiddle) {
    // The dog and the bone stand free in their cell; the rock covers its middle
    // so that a falling rock hides the tunnel behind it.
    for (const char* path : {"graphics/zada.pcx", "graphics/bone.pcx"}) {
        SCOPED_TRACE(path);
        Loaded pic(path);
        ASSERT_NE(pic.bmp, nullptr);
        int ring = 0;
        for (int i = 0; i < 32; ++i)
            ring += isMask(pic.bmp, i, 0) + isMask(pic.bmp, i, 31) + isMask(pic.bmp, 0, i) + isMask(pic.bmp, 31, i);
        EXPECT_GE(ring, 4 * 32 * 3 / 4) << "the figure fills its cell to the edges";
    }
    Loaded rock("graphics/rock.pcx");
    ASSERT_NE(rock.bmp, nullptr);
    for (int y = 8; y < 24; ++y)
        for (int x = 8; x < 24; ++x) ASSERT_FALSE(isMask(rock.bmp, x, y)) << x << "," << y;
}

TEST(Pictures, MenuButtonsShareOneSizeThatFitsTheColumn) {
    Loaded play("graphics/menu/play.pcx");
    ASSERT_NE(play.bmp, nullptr);
    const int pw = play.bmp->w, ph = play.bmp->h;
    // Four buttons stacked up from the bottom edge must stay on screen and
    // leave the upper part of the menu for its title.
    EXPECT_LE(4 * ph, 480 / 2);
    EXPECT_LE(pw, 640 / 2);
    EXPECT_GE(ph, 24) << "too small to read";
    for (const char* name : {"playon", "options", "optionson", "help", "helpon", "quit", "quiton"}) {
        Loaded b(std::string("graphics/menu/") + name + ".pcx");
        ASSERT_NE(b.bmp, nullptr) << name;
        EXPECT_EQ(b.bmp->w, pw) << name;
        EXPECT_EQ(b.bmp->h, ph) << name;
    }
    // Normal and highlighted forms must look different.
    for (const char* name : {"play", "options", "help", "quit"}) {
        Loaded off(std::string("graphics/menu/") + name + ".pcx");
        Loaded on(std::string("graphics/menu/") + name + "on.pcx");
        ASSERT_TRUE(off.bmp && on.bmp);
        int differ = 0;
        for (int y = 0; y < ph; ++y)
            for (int x = 0; x < pw; ++x) differ += getpixel(off.bmp, x, y) != getpixel(on.bmp, x, y);
        EXPECT_GT(differ, pw * ph / 4) << name;
    }
}

TEST(Pictures, LevelWonPictureLeavesTheTextLinesClear) {
    Loaded won("graphics/zada_wins.pcx");
    ASSERT_NE(won.bmp, nullptr);
    const int rw = won.bmp->w, rh = won.bmp->h;
    EXPECT_LE(rw, 640);
    // Drawn centred; the result lines start at y 390 and 420.
    const int top = 480 / 2 - rh / 2, bottom = top + rh;
    EXPECT_GE(top, 0);
    EXPECT_LE(bottom, 385);
    EXPECT_GE(rh, 120) << "too small to be the screen's picture";
}

TEST(Pictures, UpperSkyJoinsTheGroundLineBelowIt) {
    // Rows 0 and 1 of every board are these two tiles: one gradient runs
    // through both, so no line shows between them.
    Loaded top("graphics/skytop.pcx"), ground("graphics/skybottom.pcx");
    ASSERT_TRUE(top.bmp && ground.bmp);
    for (int x = 0; x < 32; ++x)
        EXPECT_LE(std::abs(luminance(getpixel(top.bmp, x, 31)) - luminance(getpixel(ground.bmp, x, 0))), 6);
}

TEST(Pictures, DugGroundLineOpensOntoTheTunnelBelow) {
    // A dug cell of the ground line sits on a tunnel cell (plain black): its
    // bottom row must be dark in the middle, where the shaft goes down.
    Loaded dug("graphics/skybottom_destroyed.pcx");
    ASSERT_NE(dug.bmp, nullptr);
    for (int x = 12; x < 20; ++x) EXPECT_LT(luminance(getpixel(dug.bmp, x, 31)), 24) << x;
    Loaded whole("graphics/skybottom.pcx");
    ASSERT_NE(whole.bmp, nullptr);
    EXPECT_GT(luminance(getpixel(whole.bmp, 16, 31)), 24);
}

TEST(Pictures, DogStandsOutFromEveryGround) {
    // Against dirt, tunnel and sky most of the dog's body must differ clearly
    // in brightness from the ground, so she is seen at a glance.
    Loaded dog("graphics/zada.pcx"), dirt("graphics/dirt_bg3.pcx"), sky("graphics/skytop.pcx");
    ASSERT_TRUE(dog.bmp && dirt.bmp && sky.bmp);
    auto mean = [](BITMAP* b) {
        long sum = 0;
        for (int y = 0; y < b->h; ++y)
            for (int x = 0; x < b->w; ++x) sum += luminance(getpixel(b, x, y));
        return static_cast<int>(sum / (b->w * b->h));
    };
    for (int ground : {mean(dirt.bmp), 0, mean(sky.bmp)}) {
        SCOPED_TRACE(ground);
        int shown = 0, clear = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                if (isMask(dog.bmp, x, y)) continue;
                ++shown;
                clear += std::abs(luminance(getpixel(dog.bmp, x, y)) - ground) >= 40;
            }
        EXPECT_GE(clear * 100, shown * 60);
    }
}

TEST(Pictures, LandedRockLooksExactlyLikeTheFallingOne) {
    // A falling rock is the rock sprite over a tunnel; when it lands the cell
    // becomes the black rock. The two must agree pixel for pixel.
    Loaded rock("graphics/rock.pcx"), landed("graphics/black_rock.pcx");
    ASSERT_TRUE(rock.bmp && landed.bmp);
    BITMAP* falling = create_bitmap(32, 32);
    clear_to_color(falling, makecol(0, 0, 0));
    draw_sprite(falling, rock.bmp, 0, 0);
    int differ = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) differ += getpixel(falling, x, y) != getpixel(landed.bmp, x, y);
    destroy_bitmap(falling);
    EXPECT_EQ(differ, 0);
}
