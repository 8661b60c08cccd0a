// Fades through black: frames paced by the retrace, brightness moving one way
// only, ending on the full picture or on black.
#include <tuple>
#include <vector>

#include "presentation_fixture.h"

using presentation_test::isColour;
using presentation_test::solid;

namespace {

TEST(Fade, FramesFollowTheSpeedAndBrightnessMovesOneWayToTheEnd) {
    BITMAP* image = solid(640, 480, 255, 255, 255);
    for (auto [in, speed, frames] : {std::tuple{true, 9, 29}, {true, 0, 16}, {true, -3, 16}, {true, 256, 1}, {true, 2147483647, 1},
                                     {false, 9, 28}, {false, 4, 63}, {false, 0, 15}, {false, 255, 0}, {false, 2147483647, 0}}) {
        // The red of one pixel at every retrace: the frame shown before it.
        std::vector<int> reds;
        for (int i = 1; i <= frames + 1; ++i) harness::at(harness::nowMs + 16UL * i, [&] { reds.push_back(getr(getpixel(screen, 50, 50))); });
        clear_to_color(screen, makecol(in ? 0 : 255, in ? 0 : 255, 255));
        const unsigned long before = harness::vsyncCount;
        in ? fadeIn(image, speed) : fadeOut(speed);
        EXPECT_EQ(harness::vsyncCount - before, static_cast<unsigned long>(frames)) << in << " " << speed;
        for (size_t i = 2; i < reds.size(); ++i) EXPECT_TRUE(in ? reds[i] > reds[i - 1] : reds[i] < reds[i - 1]) << speed << " " << i;
        if (reds.size() > 2) EXPECT_TRUE(in ? reds[1] == 0 && reds.back() < 255 : reds[1] < 255 && reds.back() > 0);
        EXPECT_TRUE(isColour(screen, 639, 479, in ? 255 : 0, in ? 255 : 0, in ? 255 : 0)) << in << " " << speed;
        harness::reset();
    }
    destroy_bitmap(image);
    image = solid(100, 80, 200, 100, 50);  // a small picture leaves the rest black; none is harmless
    fadeIn(image, 64);
    EXPECT_TRUE(isColour(screen, 99, 79, 200, 100, 50) && isColour(screen, 100, 10, 0, 0, 0));
    destroy_bitmap(image);
    fadeIn(nullptr, 9);
}

}  // namespace
