#include <memory>
#include <tuple>
#include <vector>

#include "presentation_fixture.h"

using presentation_test::isColour;
using presentation_test::solid;

namespace {

// The red level of one screen pixel at every retrace: the frame shown before
// it (each frame is copied to the screen right after its retrace).
std::shared_ptr<std::vector<int>> watchRetraces(int frames) {
    auto reds = std::make_shared<std::vector<int>>();
    for (int i = 1; i <= frames + 1; ++i) harness::at(16UL * i, [reds] { reds->push_back(getr(getpixel(screen, 50, 50))); });
    return reds;
}

TEST(Fade, FrameCountsFollowTheSpeed) {
    BITMAP* image = solid(640, 480, 255, 255, 255);
    for (auto [in, speed, frames] : {std::tuple{true, 9, 29}, {true, 16, 16}, {true, 0, 16}, {true, -3, 16}, {true, 255, 2},
                                     {true, 256, 1}, {true, 2147483647, 1}, {false, 9, 28}, {false, 5, 50}, {false, 4, 63},
                                     {false, 3, 84}, {false, 90, 2}, {false, 0, 15}, {false, -1, 15}, {false, 254, 1},
                                     {false, 255, 0}, {false, 2147483647, 0}}) {
        unsigned long before = harness::vsyncCount;
        in ? fadeIn(image, speed) : fadeOut(speed);
        EXPECT_EQ(harness::vsyncCount - before, static_cast<unsigned long>(frames)) << in << " " << speed;
    }
    destroy_bitmap(image);
}

TEST(Fade, InRisesFromBlackOutFallsToBlackNeverAtFullBrightness) {
    BITMAP* image = solid(640, 480, 255, 255, 255);
    clear_to_color(screen, makecol(0, 0, 255));
    auto reds = watchRetraces(29);
    fadeIn(image, 9);
    ASSERT_EQ(reds->size(), 29u);  // [0]: the screen before the first, black, frame
    EXPECT_EQ((*reds)[1], 0);
    for (size_t i = 2; i < reds->size(); ++i) EXPECT_GT((*reds)[i], (*reds)[i - 1]);
    EXPECT_NEAR(reds->back(), 243, 3);
    EXPECT_TRUE(isColour(screen, 639, 479, 255, 255, 255));

    harness::reset();
    reds = watchRetraces(28);
    fadeOut(9);
    ASSERT_EQ(reds->size(), 28u);
    EXPECT_EQ((*reds)[0], 255);
    EXPECT_NEAR((*reds)[1], 246, 3);
    for (size_t i = 2; i < reds->size(); ++i) EXPECT_LT((*reds)[i], (*reds)[i - 1]);
    EXPECT_GT(reds->back(), 0);
    EXPECT_TRUE(isColour(screen, 0, 0, 0, 0, 0) && isColour(screen, 639, 479, 0, 0, 0));
    clear_to_color(screen, makecol(255, 255, 255));
    fadeOut(300);  // no frame at all: black all the same
    EXPECT_TRUE(isColour(screen, 639, 479, 0, 0, 0));
    destroy_bitmap(image);

    // A small picture leaves the rest black; a missing one is harmless.
    image = solid(100, 80, 200, 100, 50);
    clear_to_color(screen, makecol(0, 0, 255));
    fadeIn(image, 64);
    EXPECT_TRUE(isColour(screen, 99, 79, 200, 100, 50) && isColour(screen, 100, 10, 0, 0, 0));
    destroy_bitmap(image);
    fadeIn(nullptr, 9);
}

}  // namespace
