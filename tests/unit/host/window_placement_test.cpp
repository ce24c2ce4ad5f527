// The main window's frame styles, size modes, positions and keep-ratio
// correction, as plain arithmetic.
#include <gtest/gtest.h>

#include "host/frame_styles.h"
#include "host/window_placement.h"

namespace kelpo::test {
namespace {

using namespace frame_bits;

TEST(FrameStyles, BorderStylesAndIcons) {
    struct Case {
        uint32_t borderStyle, borderIcons;
        uint32_t style, exStyle;  // applied to an empty pair
    } cases[] = {
        // A popup loses the maximize and help icons but keeps the others.
        {kBorderNone, 0x1111, kPopup | kMinimizeBox | kSysMenu, kExAppWindow},
        {kBorderSingle, 0, kCaption, kExAppWindow},
        {kBorderResizable, kIconMaximize | kIconMinimize | kIconSystemMenu,
         kCaption | kThickFrame | kMaximizeBox | kMinimizeBox | kSysMenu, kExAppWindow},
        // Single wins over resizable; a small caption is a tool window.
        {kBorderSingle | kBorderResizable | kBorderSmallCaption, kIconHelp, kCaption,
         kExToolWindow | kExContextHelp | kExAppWindow},
        // A popup never gets a small caption.
        {kBorderNone | kBorderSmallCaption, 0, kPopup, kExAppWindow},
        {kBorderSingle | kBorderHideTaskbarButton, 0, kCaption, 0},
        {0, 0, 0, kExAppWindow},
    };
    for (const Case& c : cases) {
        uint32_t style = 0, exStyle = 0;
        ApplyStyleChange(FrameStylesFor(c.borderStyle, c.borderIcons), style, exStyle);
        EXPECT_EQ(c.style, style) << c.borderStyle << " " << c.borderIcons;
        EXPECT_EQ(c.exStyle, exStyle) << c.borderStyle << " " << c.borderIcons;
    }
}

TEST(FrameStyles, OldBitsAreRemovedAndOthersKept) {
    // WS_VISIBLE and WS_CLIPCHILDREN stay; the client edge goes only for "none".
    uint32_t style = 0x80CF0000 | 0x10000000 | 0x02000000, exStyle = 0x404A0 | 0x200 | 0x8;
    ApplyStyleChange(FrameStylesFor(kBorderSingle, 0), style, exStyle);
    EXPECT_EQ(0x10000000u | 0x02000000u | kCaption, style);
    EXPECT_EQ(0x200u | 0x8u | kExAppWindow, exStyle);
    exStyle = 0x200;
    ApplyStyleChange(FrameStylesFor(kBorderNone, 0), style, exStyle);
    EXPECT_EQ(kExAppWindow, exStyle);
}

TEST(FrameStyles, PlayerScaleModes) {
    EXPECT_EQ(0, PlayerScaleModeFor(kScaleShowAll));
    EXPECT_EQ(1, PlayerScaleModeFor(kScaleNoBorder));
    EXPECT_EQ(2, PlayerScaleModeFor(kScaleExactFit));
    EXPECT_EQ(3, PlayerScaleModeFor(kScaleNoScale));
    EXPECT_EQ(-1, PlayerScaleModeFor(0));
    EXPECT_EQ(-1, PlayerScaleModeFor(3));
}

SizeAndPosSettings Settings(uint32_t size, uint16_t width, uint16_t height, uint32_t pos,
                            uint16_t left = 0, uint16_t top = 0) {
    SizeAndPosSettings s{};
    s.windowSize = size;
    s.width = width;
    s.height = height;
    s.pos = pos;
    s.left = left;
    s.top = top;
    return s;
}

// A 1024 by 768 screen; the window is 308 by 229 around a 300 by 200 client.
const PlacementInput kInput{{1024, 768}, {308, 229}, {300, 200}, {400, 300}};

TEST(WindowPlacement, EveryPositionForACustomSize) {
    // 501 by 301: the halves of odd differences truncate.
    const int w = 501, h = 301, dx = 1024 - w, dy = 768 - h;
    struct Case {
        uint32_t pos;
        int x, y;
    } cases[] = {
        {0, 0, 0},           {1, dx / 2, 0},  {2, dx, 0},     {3, 0, dy / 2},
        {4, dx / 2, dy / 2}, {5, dx, dy / 2}, {6, 0, dy},     {7, dx / 2, dy},
        {8, dx, dy},         {9, 17, 23},     {10, 256, 384},  // 25% and 50%
        {11, 0, 0},
    };
    for (const Case& c : cases) {
        const uint16_t left = c.pos == 10 ? 25 : 17, top = c.pos == 10 ? 50 : 23;
        Placement p = PlaceMainWindow(Settings(3, w, h, c.pos, left, top), kInput);
        EXPECT_EQ(PlacementAction::Move, p.action);
        EXPECT_EQ(c.x, p.rect.left) << c.pos;
        EXPECT_EQ(c.y, p.rect.top) << c.pos;
        EXPECT_EQ(w, p.rect.Width());
        EXPECT_EQ(h, p.rect.Height());
    }
}

TEST(WindowPlacement, SizeModes) {
    // Movie size: the frame's overhead around the movie.
    Placement movie = PlaceMainWindow(Settings(0, 0, 0, 0), kInput);
    EXPECT_EQ(PlacementAction::Move, movie.action);
    EXPECT_EQ(408, movie.rect.Width());
    EXPECT_EQ(329, movie.rect.Height());
    // Without a movie size the window keeps its size.
    PlacementInput noMovie = kInput;
    noMovie.movie = PixelSize{0, 0};
    Placement kept = PlaceMainWindow(Settings(0, 0, 0, 4), noMovie);
    EXPECT_EQ(308, kept.rect.Width());
    EXPECT_EQ((1024 - 308) / 2, kept.rect.left);
    // Maximized remembers the movie-size rectangle, then maximizes.
    Placement maximized = PlaceMainWindow(Settings(2, 0, 0, 4), kInput);
    EXPECT_EQ(PlacementAction::Maximize, maximized.action);
    EXPECT_EQ(408, maximized.rect.Width());
    // Full screen covers the screen whatever the position.
    Placement full = PlaceMainWindow(Settings(1, 0, 0, 8), kInput);
    EXPECT_EQ(PlacementAction::FullScreen, full.action);
    EXPECT_EQ(0, full.rect.left);
    EXPECT_EQ(1024, full.rect.right);
    EXPECT_EQ(768, full.rect.bottom);
    // Percentage: the height field for both directions, the width ignored.
    Placement half = PlaceMainWindow(Settings(4, 999, 50, 0), kInput);
    EXPECT_EQ(512, half.rect.Width());
    EXPECT_EQ(384, half.rect.Height());
    EXPECT_EQ(PlacementAction::None, PlaceMainWindow(Settings(5, 0, 0, 0), kInput).action);
}

TEST(WindowPlacement, LargerThanTheScreenGivesNegativeEdges) {
    Placement p = PlaceMainWindow(Settings(3, 1501, 900, 4), kInput);
    EXPECT_EQ(-238, p.rect.left);  // (1024 - 1501) / 2 truncates toward zero
    EXPECT_EQ(-66, p.rect.top);
    Placement corner = PlaceMainWindow(Settings(3, 1500, 900, 8), kInput);
    EXPECT_EQ(-476, corner.rect.left);
    EXPECT_EQ(1024, corner.rect.right);
}

TEST(KeepRatio, HeightOnlyResizeAdjustsTheWidth) {
    // Frame overhead 8 by 29; ratio 4:3.
    PixelRect start{100, 100, 508, 429};
    PixelRect now{100, 100, 508, 529};  // the user made it 100 taller
    PixelRect corrected;
    ASSERT_TRUE(KeepRatioRect(now, start, PixelSize{400, 400}, 4.0f / 3, corrected));
    EXPECT_EQ(100 + 8 + 533, corrected.right);
    EXPECT_EQ(529, corrected.bottom);
    // A width change makes the height follow.
    PixelRect wider{100, 100, 608, 429};
    ASSERT_TRUE(KeepRatioRect(wider, start, PixelSize{500, 300}, 4.0f / 3, corrected));
    EXPECT_EQ(608, corrected.right);
    EXPECT_EQ(100 + 29 + 375, corrected.bottom);
    EXPECT_FALSE(KeepRatioRect(wider, start, PixelSize{500, 300}, 0, corrected));
}

}  // namespace
}  // namespace kelpo::test
