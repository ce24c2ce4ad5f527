// Movies as authored, drawn by the control: gradients (their two ends and
// their middle), curves (inside and outside the curved edge), alpha blended
// colours, anti-aliased edges, line caps, texts in embedded fonts (pixels where the glyphs are, none
// between their strokes) and morphs at a ratio. Each picture is also saved
// in the output folder for people to look at.
#include <gtest/gtest.h>

#include <functional>

#include "tests/unit/player_control/control_harness.h"
#include "tests/unit/player_control/drawing_support.h"
#include "tools/movie-writer/movie_assembler.h"

using namespace kelpo::movies;

namespace kelpo::test {
namespace {

constexpr int32_t kPx = kTwipsPerPixel;
constexpr uint32_t kWhite = 0xFFFFFF;

struct ExpectedPixel {
    int x, y;
    uint32_t rgb;
    int tolerance;
};

struct MovieCase {
    const char* name;  // also the saved picture's name
    std::function<void(MovieBuilder&)> build;
    std::vector<ExpectedPixel> pixels;
};

ShapeGradient Gradient(uint8_t type, int32_t centreX, int32_t centreY, int32_t size,
                       std::vector<std::pair<uint8_t, uint32_t>> stops) {
    ShapeGradient g;
    g.type = type;
    g.matrix.scaleX = g.matrix.scaleY = size * kPx / 32768.0;
    g.matrix.translateX = centreX * kPx;
    g.matrix.translateY = centreY * kPx;
    g.stops = std::move(stops);
    return g;
}

const MovieCase kCases[] = {
    {"linear_gradient",
     [](MovieBuilder& movie) {
         ShapeDrawing box = RectangleShape(0, 0, 200 * kPx, 100 * kPx, 0);
         box.gradient = {Gradient(0x10, 100, 50, 200, {{0, 0xFFFF0000}, {255, 0xFF0000FF}})};
         movie.Place(1, movie.Shape(box));
     },
     {{2, 50, 0xFF0000, 16}, {197, 50, 0x0000FF, 16}, {100, 10, 0x80007F, 20}}},
    {"radial_gradient",
     [](MovieBuilder& movie) {
         ShapeDrawing box = RectangleShape(0, 0, 200 * kPx, 100 * kPx, 0);
         box.gradient = {Gradient(0x12, 100, 50, 80, {{0, 0xFFFFFFFF}, {255, 0xFF000000}})};
         movie.Place(1, movie.Shape(box));
     },
     {{100, 50, 0xFFFFFF, 24}, {120, 50, 0x808080, 40}, {150, 50, 0x000000, 8}, {5, 5, 0, 8}}},
    {"curve",
     [](MovieBuilder& movie) {
         ShapeDrawing round;
         round.startX = 60 * kPx;
         round.startY = 50 * kPx;
         round.edges = {{true, 60 * kPx, 10 * kPx, 100 * kPx, 10 * kPx},
                        {true, 140 * kPx, 10 * kPx, 140 * kPx, 50 * kPx},
                        {true, 140 * kPx, 90 * kPx, 100 * kPx, 90 * kPx},
                        {true, 60 * kPx, 90 * kPx, 60 * kPx, 50 * kPx}};
         round.fill = 0x2060A0;
         movie.Place(1, movie.Shape(round));
     },
     // At x = 66 the curved edge passes y = 25.
     {{100, 50, 0x2060A0, 0}, {66, 30, 0x2060A0, 0}, {66, 18, kWhite, 0}, {62, 12, kWhite, 0}}},
    {"alpha",
     [](MovieBuilder& movie) {
         movie.Place(1, movie.Shape(RectangleShape(0, 0, 100 * kPx, 100 * kPx, 0xFF0000)));
         ShapeDrawing veil = RectangleShape(50 * kPx, 0, 150 * kPx, 100 * kPx, 0x800000FF);
         veil.alpha = true;
         movie.Place(2, movie.Shape(veil));
     },
     {{25, 50, 0xFF0000, 0}, {75, 50, 0x7F0080, 6}, {125, 50, 0x7F7FFF, 6}}},
    {"text",
     [](MovieBuilder& movie) {
         uint16_t font = movie.Font("H");
         movie.Place(1, movie.Text(font, "H", 20 * kPx, 90 * kPx, 80 * kPx, 0xFF203040));
     },
     // Cells of 7.8 pixels from (20, 35.3): the stems, the bar, the gaps.
     {{23, 50, 0x203040, 0},
      {55, 40, 0x203040, 0},
      {39, 62, 0x203040, 0},
      {39, 47, kWhite, 0},
      {39, 80, kWhite, 0},
      {70, 50, kWhite, 0}}},
    {"smooth_edge",
     [](MovieBuilder& movie) {
         movie.Place(1, movie.Shape(TriangleShape(0, 0, 200 * kPx, 0, 0, 100 * kPx, 0)));
     },
     // The edge x = 200 - 2y cuts pixel (99, 50) in half: anti-aliased, it is grey.
     {{50, 50, 0, 0}, {99, 50, 0x808080, 0x40}, {150, 50, kWhite, 0}}},
    {"line_caps",
     [](MovieBuilder& movie) {
         // Lines 20 pixels wide from x 50 to 150: without caps, then with square caps.
         for (int i = 0; i < 2; ++i) {
             ShapeDrawing line;
             line.startX = 50 * kPx;
             line.startY = (25 + 50 * i) * kPx;
             line.edges = {{false, 0, 0, 150 * kPx, (25 + 50 * i) * kPx}};
             line.filled = false;
             line.shape4 = true;
             line.lineWidth = 20 * kPx;
             line.lineColor = 0xFF000000;
             line.cap = i == 0 ? 1 : 2;
             movie.Place(1 + i, movie.Shape(line));
         }
     },
     {{100, 25, 0, 0},
      {45, 25, kWhite, 0},
      {155, 25, kWhite, 0},
      {100, 75, 0, 0},
      {45, 75, 0, 0},
      {155, 75, 0, 0},
      {100, 50, kWhite, 0}}},
    {"morph",
     [](MovieBuilder& movie) {
         uint16_t morph = movie.MorphShape(RectangleShape(0, 0, 50 * kPx, 100 * kPx, 0xFF000000),
                                           RectangleShape(0, 0, 150 * kPx, 100 * kPx, 0xFFFFFF00));
         Placement place;
         place.character = morph;
         place.hasRatio = true;
         place.ratio = 32768;
         movie.Place(place);
     },
     {{90, 50, 0x808000, 2}, {110, 50, kWhite, 0}}},
};

TEST(ControlMovieDrawing, ShapesGradientsTextsAndMorphsAsAuthored) {
    for (const MovieCase& c : kCases) {
        SCOPED_TRACE(c.name);
        MovieHeader header;
        header.widthTwips = 200 * kPx;
        header.heightTwips = 100 * kPx;
        MovieBuilder movie(header);
        movie.Background(kWhite);
        c.build(movie);
        movie.ShowFrame();
        std::wstring name(c.name, c.name + strlen(c.name));
        std::wstring path = WriteScratchFile(name + L".swf", movie.Bytes());
        HostedControl control(false);
        ASSERT_EQ(control.Put(L"Movie", Variant(path.c_str())), S_OK);
        MemoryBitmap bitmap(200, 100);
        ASSERT_EQ(DrawInto(control, bitmap, RECTL{0, 0, 200, 100}), S_OK);
        SaveBitmap(OutputFolder() + L"movie_" + name + L".bmp", bitmap.bits(), 200, 100);
        for (const ExpectedPixel& p : c.pixels)
            EXPECT_TRUE(Near(bitmap.Pixel(p.x, p.y), p.rgb, p.tolerance))
                << "at " << p.x << "," << p.y << ": " << std::hex << bitmap.Pixel(p.x, p.y)
                << " for " << p.rgb;
    }
}

}  // namespace
}  // namespace kelpo::test
