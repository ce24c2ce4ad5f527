// Shapes as authored: gradient fills reach the sink with their stops,
// spread and matrix in device space; DefineShape4 line styles keep caps and
// joins; new styles inside a shape start another set; morph shapes are
// drawn at their placement's ratio.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "player/core/geometry.h"
#include "tests/unit/player/player_test_support.h"

namespace kelpo::player::testing {
namespace {

std::vector<DrawnPath> DrawMovie(const std::vector<uint8_t>& bytes, const Matrix& toDevice,
                                 PlayerFixture& fixture) {
    EXPECT_TRUE(fixture.Load(bytes));
    RecordingSink sink;
    RenderFrame(fixture.get(), toDevice, sink.sink);
    return sink.paths;
}

struct GradientCase {
    const char* name;
    uint8_t type;
    uint8_t spread;
    double focal;
    PaintKind kind;
    Spread expectedSpread;
};

TEST(ShapesTest, ShapeGradientsReachTheSinkInDeviceSpace) {
    const GradientCase cases[] = {
        {"linear, pad", 0x10, 0, 0, PaintKind::LinearGradient, Spread::Pad},
        {"radial, reflect", 0x12, 1, 0, PaintKind::RadialGradient, Spread::Reflect},
        {"focal radial, repeat", 0x13, 2, 0.5, PaintKind::RadialGradient, Spread::Repeat},
    };
    for (const GradientCase& c : cases) {
        SCOPED_TRACE(c.name);
        movies::MovieBuilder movie;
        movies::ShapeDrawing drawing = movies::RectangleShape(0, 0, 2000, 1000, 0);
        movies::ShapeGradient gradient;
        gradient.type = c.type;
        gradient.spread = c.spread;
        gradient.focal = c.focal;
        gradient.matrix.scaleX = gradient.matrix.scaleY = 1000.0 / 32768;  // 1000 twips wide
        gradient.matrix.translateX = 1000;
        gradient.matrix.translateY = 500;
        gradient.stops = {{0, 0xFFFF0000}, {128, 0x8000FF00}, {255, 0xFF0000FF}};
        drawing.gradient = {gradient};
        movie.PlaceAt(1, movie.Shape(drawing), movies::Translate(200, 0)).ShowFrame();
        PlayerFixture fixture;
        auto paths = DrawMovie(movie.Bytes(), Matrix{0.05, 0, 0, 0.05, 0, 0}, fixture);
        ASSERT_EQ(1u, paths.size());
        const Paint& paint = paths[0].paint;
        EXPECT_EQ(c.kind, paint.kind);
        EXPECT_EQ(c.expectedSpread, paint.spread);
        EXPECT_NEAR(c.focal, paint.focal, 1e-9);
        ASSERT_EQ(3, paint.stopCount);
        EXPECT_EQ(0.0, paint.stops[0].position);
        EXPECT_NEAR(128 / 255.0, paint.stops[1].position, 1e-9);
        EXPECT_EQ(1.0, paint.stops[2].position);
        EXPECT_EQ(0xFFFF0000u, paint.stops[0].argb);
        EXPECT_EQ(0x8000FF00u, paint.stops[1].argb);
        // Gradient space -1..1 spans the 1000 twips around the centre: 50 pixels.
        Point left = Transform(paint.matrix, Point{-1, 0});
        Point right = Transform(paint.matrix, Point{1, 0});
        EXPECT_NEAR((200 + 500) * 0.05, left.x, 0.01);
        EXPECT_NEAR((200 + 1500) * 0.05, right.x, 0.01);
        EXPECT_NEAR(25, left.y, 0.01);
    }
}

TEST(ShapesTest, ColourTransformsTintEveryGradientStop) {
    movies::MovieBuilder movie;
    movies::ShapeDrawing drawing = movies::RectangleShape(0, 0, 200, 200, 0);
    movies::ShapeGradient gradient;
    gradient.stops = {{0, 0xFF204060}, {255, 0xFF6080A0}};
    drawing.gradient = {gradient};
    uint16_t shape = movie.Shape(drawing);
    movies::TimelineBuilder sprite;
    sprite.Place(1, shape).ShowFrame();
    movie.Place(1, movie.Sprite(sprite), "clip").ShowFrame();
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(movie.Bytes()));
    ASSERT_TRUE(TSetPropertyNum(fixture.get(), "clip", 6, 50));  // _alpha
    RecordingSink sink;
    RenderFrame(fixture.get(), Matrix(), sink.sink);
    ASSERT_EQ(1u, sink.paths.size());
    EXPECT_EQ(0x80204060u, sink.paths[0].paint.stops[0].argb);
    EXPECT_EQ(0x806080A0u, sink.paths[0].paint.stops[1].argb);
}

struct LineCase {
    uint8_t cap, join;
    LineCap expectedCap;
    LineJoin expectedJoin;
};

TEST(ShapesTest, FourthVersionLineStylesKeepCapsAndJoins) {
    const LineCase cases[] = {
        {0, 0, LineCap::Round, LineJoin::Round},
        {1, 1, LineCap::None, LineJoin::Bevel},
        {2, 2, LineCap::Square, LineJoin::Miter},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.cap));
        movies::MovieBuilder movie;
        movies::ShapeDrawing drawing = movies::TriangleShape(0, 0, 400, 0, 0, 400, 0xFF112233);
        drawing.edges[1] = movies::ShapeEdge{true, 400, 400, 0, 400};
        drawing.shape4 = true;
        drawing.cap = c.cap;
        drawing.join = c.join;
        drawing.lineWidth = 60;
        drawing.lineColor = 0x80445566;
        movie.Place(1, movie.Shape(drawing)).ShowFrame();
        PlayerFixture fixture;
        auto paths = DrawMovie(movie.Bytes(), Matrix(), fixture);
        ASSERT_EQ(2u, paths.size());
        EXPECT_EQ(0xFF112233u, paths[0].argb);
        const Stroke& stroke = paths[1].stroke;
        EXPECT_EQ(0x80445566u, stroke.argb);
        EXPECT_EQ(60, stroke.width);
        EXPECT_EQ(c.expectedCap, stroke.startCap);
        EXPECT_EQ(c.expectedCap, stroke.endCap);
        EXPECT_EQ(c.expectedJoin, stroke.join);
        // The curve stays a curve with its control point.
        auto curve = std::find_if(paths[1].segments.begin(), paths[1].segments.end(),
                                  [](const PathSegment& s) { return s.curve; });
        ASSERT_NE(paths[1].segments.end(), curve);
        EXPECT_EQ(400, curve->control.x);
        EXPECT_EQ(400, curve->control.y);
    }
}

// Bits written most significant first, as shape records are.
class BitWriter {
public:
    void Put(uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            if (used_ == 0) bytes.push_back(0);
            if ((value >> i) & 1) bytes.back() |= static_cast<uint8_t>(0x80 >> used_);
            used_ = (used_ + 1) % 8;
        }
    }
    void Bytes(std::initializer_list<uint8_t> more) {
        used_ = 0;
        bytes.insert(bytes.end(), more);
    }
    std::vector<uint8_t> bytes;

private:
    int used_ = 0;
};

// A square of 100 twips at x: a move there with fill style 1 (and line style 1), four edges.
void PutSquare(BitWriter& bits, int x, bool line) {
    bits.Put(0, 1);
    bits.Put(0x01 | 0x04 | (line ? 0x08 : 0), 5);
    bits.Put(12, 5);
    bits.Put(static_cast<uint32_t>(x), 12);
    bits.Put(0, 12);
    bits.Put(1, 1);  // fill style 1
    if (line) bits.Put(1, 1);
}

void PutEdges(BitWriter& bits) {
    const int d[4][2] = {{100, 0}, {0, 100}, {-100, 0}, {0, -100}};
    for (const auto& e : d) {
        bits.Put(0x3, 2);  // straight edge
        bits.Put(7, 4);    // 9 bits
        bits.Put(1, 1);
        bits.Put(static_cast<uint32_t>(e[0]) & 0x1FF, 9);
        bits.Put(static_cast<uint32_t>(e[1]) & 0x1FF, 9);
    }
}

TEST(ShapesTest, NewStylesInsideAShapeStartAnotherSet) {
    // DefineShape2: a red fill and a black line; a square; new styles with
    // one blue fill; another square. The second set paints over the first.
    BitWriter bits;
    bits.Bytes({1, 0, 0x00});  // id 1; bounds: an empty RECT (5 bits of zero)
    bits.Bytes({1, 0x00, 0xFF, 0, 0, 1, 20, 0, 0, 0, 0});  // red fill; a black line 20 wide
    bits.Put(1, 4);
    bits.Put(1, 4);
    PutSquare(bits, 0, true);
    PutEdges(bits);
    // The new style arrays follow the flags' fields, byte aligned.
    bits.Put(0, 1);
    bits.Put(0x10, 5);
    bits.Bytes({1, 0x00, 0, 0, 0xFF, 0});
    bits.Put(1, 4);
    bits.Put(0, 4);
    PutSquare(bits, 1000, false);
    PutEdges(bits);
    bits.Put(0, 6);
    movies::MovieBuilder movie;
    movie.RawTag(22, bits.bytes);
    movie.Place(1, 1).ShowFrame();
    PlayerFixture fixture;
    auto paths = DrawMovie(movie.Bytes(), Matrix(), fixture);
    ASSERT_EQ(3u, paths.size());
    EXPECT_EQ(0xFFFF0000u, paths[0].argb);
    EXPECT_FALSE(paths[1].fill);
    EXPECT_EQ(0xFF000000u, paths[1].argb);
    EXPECT_EQ(0xFF0000FFu, paths[2].argb);
    double left = 1e9;
    for (const PathSegment& s : paths[2].segments) left = std::min(left, s.to.x);
    EXPECT_EQ(1000, left);
}

struct MorphCase {
    uint16_t ratio;
    double right;  // x of the right edge
    uint32_t argb;
};

TEST(ShapesTest, MorphShapesAreDrawnAtTheRatioOfTheirPlacement) {
    const MorphCase cases[] = {
        {0, 100, 0xFF000000},
        {65535, 300, 0xFFFFFFFF},
        {32768, 200, 0xFF808080},
    };
    for (const MorphCase& c : cases) {
        SCOPED_TRACE(c.ratio);
        movies::MovieBuilder movie;
        movies::ShapeDrawing start = movies::RectangleShape(0, 0, 100, 100, 0xFF000000);
        movies::ShapeDrawing end = movies::RectangleShape(0, 0, 300, 100, 0xFFFFFFFF);
        uint16_t morph = movie.MorphShape(start, end);
        movies::Placement place;
        place.character = morph;
        place.hasRatio = true;
        place.ratio = c.ratio;
        movie.Place(place).ShowFrame();
        PlayerFixture fixture;
        auto paths = DrawMovie(movie.Bytes(), Matrix(), fixture);
        ASSERT_EQ(1u, paths.size());
        double right = 0;
        for (const PathSegment& s : paths[0].segments) right = std::max(right, s.to.x);
        EXPECT_NEAR(c.right, right, 0.01);
        EXPECT_EQ(c.argb, paths[0].argb);
    }
}

TEST(ShapesTest, AMorphFollowsItsRatioFromFrameToFrameAndBack) {
    movies::MovieBuilder movie;
    uint16_t morph = movie.MorphShape(movies::TriangleShape(0, 0, 100, 0, 0, 100, 0xFF0000FF),
                                      movies::TriangleShape(0, 0, 500, 0, 0, 500, 0xFF0000FF));
    movies::Placement place;
    place.character = morph;
    place.hasRatio = true;
    movie.Place(place).ShowFrame();
    place.character = 0;
    place.move = true;
    place.ratio = 65535;
    movie.Place(place).ShowFrame();
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(movie.Bytes()));
    auto width = [&] {
        RecordingSink sink;
        RenderFrame(fixture.get(), Matrix(), sink.sink);
        double right = 0;
        for (const PathSegment& s : sink.paths.at(0).segments) right = std::max(right, s.to.x);
        return right;
    };
    EXPECT_NEAR(100, width(), 0.01);
    GotoFrame(fixture.get(), 1);
    EXPECT_NEAR(500, width(), 0.01);
    GotoFrame(fixture.get(), 0);
    EXPECT_NEAR(100, width(), 0.01);
}

}  // namespace
}  // namespace kelpo::player::testing
