// Shape-mask regions mapped from movie pixels into the player's client area
// by the four scale modes.
#include <gtest/gtest.h>

#include <cstring>

#include "hostobjects/region_scaling.h"

namespace kelpo::test {
namespace {

struct Rect {
    int32_t left, top, right, bottom;
};

std::vector<uint8_t> Region(const std::vector<Rect>& rects, uint32_t count) {
    std::vector<uint8_t> data(32 + rects.size() * 16, 0);
    auto put = [&](size_t at, int32_t v) { std::memcpy(&data[at], &v, 4); };
    put(0, 32);
    put(4, 1);
    put(8, static_cast<int32_t>(count));
    for (size_t i = 0; i < rects.size(); ++i) {
        put(32 + i * 16, rects[i].left);
        put(36 + i * 16, rects[i].top);
        put(40 + i * 16, rects[i].right);
        put(44 + i * 16, rects[i].bottom);
    }
    return data;
}

std::vector<int32_t> Numbers(const std::vector<uint8_t>& data) {
    std::vector<int32_t> out(data.size() / 4);
    std::memcpy(out.data(), data.data(), out.size() * 4);
    return out;
}

TEST(RegionScaling, FourScaleModes) {
    // A 400 by 300 movie with two rectangles, in an 800 by 450 client.
    const std::vector<Rect> rects = {{0, 0, 400, 300}, {100, 50, 200, 150}};
    struct Case {
        int scaleMode;
        std::vector<int32_t> expected;  // bounds, then the rectangles
    } cases[] = {
        // Show all: scale 1.5, centred horizontally (800 - 600) / 2 = 100.
        {0, {100, 0, 700, 450, 100, 0, 700, 450, 250, 75, 400, 225}},
        // No border: scale 2, centred vertically (450 - 600) / 2 = -75.
        {1, {0, -75, 800, 525, 0, -75, 800, 525, 200, 25, 400, 225}},
        // Exact fit: 2 across, 1.5 down, no offset.
        {2, {0, 0, 800, 450, 0, 0, 800, 450, 200, 75, 400, 225}},
        // No scale: 1:1, centred.
        {3, {200, 75, 600, 375, 200, 75, 600, 375, 300, 125, 400, 225}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> scaled;
        ASSERT_TRUE(ScaleRegionData(Region(rects, 2), {400, 300, 800, 450, c.scaleMode}, scaled));
        std::vector<int32_t> n = Numbers(scaled);
        ASSERT_EQ(8u + 8u, n.size());
        EXPECT_EQ(2, n[2]);
        EXPECT_EQ(32, n[3]);
        EXPECT_EQ(c.expected, std::vector<int32_t>(n.begin() + 4, n.end())) << c.scaleMode;
    }
}

TEST(RegionScaling, ExactFitDoublesInBothDirections) {
    std::vector<uint8_t> scaled;
    ASSERT_TRUE(ScaleRegionData(Region({{10, 20, 110, 70}}, 1), {400, 300, 800, 600, 2}, scaled));
    std::vector<int32_t> n = Numbers(scaled);
    EXPECT_EQ((std::vector<int32_t>{20, 40, 220, 140}),
              std::vector<int32_t>(n.begin() + 8, n.end()));
}

TEST(RegionScaling, BrokenAndUnscaledData) {
    std::vector<uint8_t> scaled;
    EXPECT_FALSE(ScaleRegionData(std::vector<uint8_t>(31, 0), {}, scaled));
    // More rectangles counted than present: only the present ones count.
    ASSERT_TRUE(ScaleRegionData(Region({{1, 2, 3, 4}}, 1000), {400, 300, 800, 600, 2}, scaled));
    EXPECT_EQ(48u, scaled.size());
    // Without a movie size the rectangles stay.
    ASSERT_TRUE(ScaleRegionData(Region({{1, 2, 3, 4}}, 1), {0, 0, 800, 600, 2}, scaled));
    std::vector<int32_t> n = Numbers(scaled);
    EXPECT_EQ((std::vector<int32_t>{1, 2, 3, 4}), std::vector<int32_t>(n.begin() + 8, n.end()));
}

}  // namespace
}  // namespace kelpo::test
