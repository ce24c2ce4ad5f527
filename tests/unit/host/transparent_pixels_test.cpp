// Transparent mode's pixels: coverage from the renderings over black and
// over white, the opaque runs of the region fallback, and the sprite
// bounds read from movie variables.
#include <gtest/gtest.h>

#include "host/transparent_pixels.h"

namespace kelpo::test {
namespace {

TEST(TransparentPixels, AlphaFromTwoRenderings) {
    struct Case {
        uint32_t black, white, out;
    } cases[] = {
        {0x00336699, 0x00336699, 0xFF336699},  // the same over both: opaque
        {0x00000000, 0x00FFFFFF, 0x00000000},  // background only: clear
        {0x00404040, 0x00C0C0C0, 0x7F404040},  // half covered
        {0x00102030, 0x00102090, 0x9F102030},  // the largest channel difference counts
        {0x12000000, 0x34000000, 0xFF000000},  // the fourth byte of the renderings is ignored
    };
    for (const Case& c : cases) {
        uint32_t out = 0;
        DeriveAlpha(&c.black, &c.white, &out, 1);
        EXPECT_EQ(c.out, out) << std::hex << c.black << " " << c.white;
    }
}

TEST(TransparentPixels, OpaqueRunsPerRow) {
    const uint32_t O = 0xFF000000, T = 0x80000000;
    const uint32_t image[] = {
        O, O, T, O,  //
        T, T, T, T,  //
        T, O, O, O,  //
    };
    std::vector<PixelRect> runs = OpaqueRuns(image, 4, 3);
    ASSERT_EQ(3u, runs.size());
    EXPECT_EQ((PixelRect{0, 0, 2, 1}.right), runs[0].right);
    EXPECT_EQ(3, runs[1].left);
    EXPECT_EQ(4, runs[1].right);
    EXPECT_EQ(1, runs[2].left);
    EXPECT_EQ(2, runs[2].top);
    EXPECT_EQ(3, runs[2].bottom);
    EXPECT_TRUE(OpaqueRuns(image, 0, 0).empty());
}

TEST(TransparentPixels, MoviePixelsOfVariableTexts) {
    struct Case {
        const char* text;
        int pixels;
    } cases[] = {
        {"12", 12}, {"12.9", 12}, {"-3.7", -3},         {"", 0},
        {"abc", 0}, {"5px", 0},   {"1e12", 1000000000},
    };
    for (const Case& c : cases) EXPECT_EQ(c.pixels, MoviePixelsOf(c.text)) << c.text;
}

}  // namespace
}  // namespace kelpo::test
