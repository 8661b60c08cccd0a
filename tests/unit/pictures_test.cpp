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

// Blitted pictures, and sprites that must cover their whole cell (sky, the
// tunnel's rock), are opaque; the rest let what lies beneath show through.
// A size of 0 is checked by a layout test instead.
struct Picture {
    const char* path;
    int w, h;
    Role role;
};

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

TEST(Pictures, EveryPictureLoadsWithItsSizeIsNotBlankAndUsesMagentaOnlyWhereTransparent) {
    for (const Picture& p : kPictures) {
        SCOPED_TRACE(p.path);
        Loaded pic(p.path);
        ASSERT_NE(pic.bmp, nullptr) << "missing or unreadable";
        BITMAP* b = pic.bmp;
        if (p.w) {
            EXPECT_EQ(std::make_pair(b->w, b->h), std::make_pair(p.w, p.h));
        }
        std::set<int> colours;
        int mask = 0, fringe = 0;
        for (int y = 0; y < b->h; ++y)
            for (int x = 0; x < b->w; ++x) {
                mask += isMask(b, x, y);
                fringe += isNearMask(b, x, y);
                if (!isMask(b, x, y)) colours.insert(getpixel(b, x, y));
            }
        EXPECT_GE(colours.size(), 4u) << "looks blank";
        EXPECT_EQ(fringe, 0) << "pixels blended toward the mask colour";
        if (p.role == Role::Opaque) {
            EXPECT_EQ(mask, 0) << "an opaque picture has mask-coloured pixels";
        } else {
            // Transparent corners: the sprite sits on what lies beneath.
            EXPECT_TRUE(isMask(b, 0, 0) && isMask(b, b->w - 1, b->h - 1));
        }
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
    // All the same size; normal and highlighted forms look different.
    for (const char* name : {"play", "options", "help", "quit"}) {
        Loaded off(std::string("graphics/menu/") + name + ".pcx");
        Loaded on(std::string("graphics/menu/") + name + "on.pcx");
        ASSERT_TRUE(off.bmp && on.bmp) << name;
        for (BITMAP* b : {off.bmp, on.bmp}) EXPECT_EQ(std::make_pair(b->w, b->h), std::make_pair(pw, ph)) << name;
        int differ = 0;
        for (int y = 0; y < ph; ++y)
            for (int x = 0; x < pw; ++x) differ += getpixel(off.bmp, x, y) != getpixel(on.bmp, x, y);
        EXPECT_GT(differ, pw * ph / 4) << name;
    }
}

TEST(Pictures, LevelWonPictureLeavesTheTextLinesClear) {
    // Drawn centred; the result lines start at y 390 and 420.
    Loaded won("graphics/zada_wins.pcx");
    ASSERT_NE(won.bmp, nullptr);
    EXPECT_LE(won.bmp->w, 640);
    EXPECT_GE(won.bmp->h, 120) << "too small to be the screen's picture";
    EXPECT_LE(240 - won.bmp->h / 2 + won.bmp->h, 385);
}

TEST(Pictures, GroundLineJoinsTheSkyAboveAndOpensOntoTheTunnelWhenDug) {
    // Rows 0 and 1 of every board are upper sky over ground line: one
    // gradient runs through both, so no line shows between them. A dug cell
    // sits on a tunnel (plain black): its bottom is dark where the shaft goes.
    Loaded top("graphics/skytop.pcx"), ground("graphics/skybottom.pcx"), dug("graphics/skybottom_destroyed.pcx");
    ASSERT_TRUE(top.bmp && ground.bmp && dug.bmp);
    for (int x = 0; x < 32; ++x)
        EXPECT_LE(std::abs(luminance(getpixel(top.bmp, x, 31)) - luminance(getpixel(ground.bmp, x, 0))), 6);
    for (int x = 12; x < 20; ++x) EXPECT_LT(luminance(getpixel(dug.bmp, x, 31)), 24) << x;
    EXPECT_GT(luminance(getpixel(ground.bmp, 16, 31)), 24);
}

TEST(Pictures, DogStandsOutFromEveryGround) {
    // Against dirt, tunnel and sky most of the dog's body must differ clearly
    // in brightness from the ground, so she is seen at a glance.
    Loaded dog("graphics/zada.pcx"), dirt("graphics/dirt_bg3.pcx"), sky("graphics/skytop.pcx");
    ASSERT_TRUE(dog.bmp && dirt.bmp && sky.bmp);
    auto mean = [](BITMAP* b) {
        long sum = 0;
        for (int i = 0; i < b->w * b->h; ++i) sum += luminance(getpixel(b, i % b->w, i / b->w));
        return static_cast<int>(sum / (b->w * b->h));
    };
    for (int ground : {mean(dirt.bmp), 0, mean(sky.bmp)}) {
        int shown = 0, clear = 0;
        for (int i = 0; i < 32 * 32; ++i) {
            int c = getpixel(dog.bmp, i % 32, i / 32);
            shown += !isMask(dog.bmp, i % 32, i / 32);
            clear += !isMask(dog.bmp, i % 32, i / 32) && std::abs(luminance(c) - ground) >= 40;
        }
        EXPECT_GE(clear * 100, shown * 60) << "ground brightness " << ground;
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
