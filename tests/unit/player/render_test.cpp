// Drawing: the sink receives the background, then each shape's fill and
// stroke paths in device coordinates; and the view matrix for each scale
// mode, alignment, zoom and pan.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "tests/unit/player/player_test_support.h"

namespace kelpo::player::testing {
namespace {

std::set<std::pair<double, double>> Corners(const DrawnPath& path) {
    std::set<std::pair<double, double>> points;
    for (const PathSegment& s : path.segments) points.emplace(s.to.x, s.to.y);
    return points;
}

TEST(RenderTest, APlacedRectangleIsDrawnUnderItsMatrixAndTheView) {
    movies::MovieBuilder movie;
    movie.Background(0x102030);
    movies::ShapeDrawing drawing = movies::RectangleShape(0, 0, 200, 100, 0xFF8000);
    drawing.lineWidth = 40;
    drawing.lineColor = 0x0000FF;
    uint16_t box = movie.Shape(drawing);
    movies::TestMatrix matrix = movies::Translate(1000, 2000);
    matrix.scaleX = 2;
    movie.PlaceAt(1, box, matrix).ShowFrame();
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(movie.Bytes()));

    RecordingSink sink;
    Matrix toDevice{0.05, 0, 0, 0.05, 10, 0};  // twips to pixels, 10 pixels to the right
    RenderFrame(fixture.get(), toDevice, sink.sink);
    ASSERT_EQ((std::vector<uint32_t>{0xFF102030}), sink.clears);
    ASSERT_EQ(2u, sink.paths.size());
    const DrawnPath& fill = sink.paths[0];
    EXPECT_TRUE(fill.fill);
    EXPECT_EQ(0xFFFF8000u, fill.argb);
    // x: (1000 + 2 * {0, 200}) / 20 + 10; y: (2000 + {0, 100}) / 20.
    std::set<std::pair<double, double>> expected = {{60, 100}, {80, 100}, {80, 105}, {60, 105}};
    EXPECT_EQ(expected, Corners(fill));
    EXPECT_TRUE(fill.segments.front().moveTo);
    const DrawnPath& stroke = sink.paths[1];
    EXPECT_FALSE(stroke.fill);
    EXPECT_EQ(0xFF0000FFu, stroke.argb);
    EXPECT_EQ(expected, Corners(stroke));
    EXPECT_NEAR(40 * 0.05 * std::sqrt(2.0), stroke.width, 1e-9);
}

TEST(RenderTest, ColourTransformsAndVisibilityApplyToWhatIsDrawn) {
    movies::MovieBuilder movie;
    uint16_t tri = movie.Shape(movies::TriangleShape(0, 0, 100, 0, 0, 100, 0x204060));
    movies::TimelineBuilder sprite;
    sprite.Place(1, tri).ShowFrame();
    uint16_t clip = movie.Sprite(sprite);
    movie.Place(1, clip, "a").Place(2, clip, "b").ShowFrame();
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(movie.Bytes()));
    ASSERT_TRUE(TSetPropertyNum(fixture.get(), "a", 6, 50));
    ASSERT_TRUE(TSetPropertyNum(fixture.get(), "b", 7, 0));
    RecordingSink sink;
    RenderFrame(fixture.get(), Matrix(), sink.sink);
    ASSERT_EQ(1u, sink.paths.size());
    EXPECT_EQ(0x80204060u, sink.paths[0].argb);
    EXPECT_EQ(4u, sink.paths[0].segments.size());  // move and three edges
}

TEST(RenderTest, CurvedEdgesKeepTheirControlPoints) {
    movies::MovieBuilder movie;
    movies::ShapeDrawing drawing;
    drawing.startX = 0;
    drawing.startY = 0;
    drawing.edges = {{true, 100, -100, 200, 0}, {false, 0, 0, 0, 0}};
    uint16_t lens = movie.Shape(drawing);
    movie.Place(1, lens).ShowFrame();
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(movie.Bytes()));
    RecordingSink sink;
    RenderFrame(fixture.get(), Matrix(), sink.sink);
    ASSERT_EQ(1u, sink.paths.size());
    bool curve = false;
    for (const PathSegment& s : sink.paths[0].segments)
        if (s.curve) {
            curve = true;
            EXPECT_EQ(100, s.control.x);
            EXPECT_EQ(-100, s.control.y);
        }
    EXPECT_TRUE(curve);
}

TEST(RenderTest, ViewMatrixFollowsScaleModeAlignmentZoomAndPan) {
    MovieInfo info;
    info.xMax = 400 * 20;  // a 400 x 200 pixel movie
    info.yMax = 200 * 20;
    const struct {
        const char* name;
        int mode, align;
        double a, d, tx, ty;  // in a window of 800 x 800 pixels
    } cases[] = {
        {"show all, centred", 0, 0, 0.1, 0.1, 0, 200},
        {"show all, top", 0, 4, 0.1, 0.1, 0, 0},
        {"show all, bottom", 0, 8, 0.1, 0.1, 0, 400},
        {"no border, centred", 1, 0, 0.2, 0.2, -400, 0},
        {"no border, left", 1, 1, 0.2, 0.2, 0, 0},
        {"no border, right", 1, 2, 0.2, 0.2, -800, 0},
        {"exact fit", 2, 0, 0.1, 0.2, 0, 0},
        {"no scale, centred", 3, 0, 0.05, 0.05, 200, 300},
        {"no scale, top left", 3, 5, 0.05, 0.05, 0, 0},
        {"no scale, bottom right", 3, 10, 0.05, 0.05, 400, 600},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ViewState view;
        view.scaleMode = c.mode;
        view.align = c.align;
        Matrix m = ViewMatrix(info, 800, 800, view);
        EXPECT_NEAR(c.a, m.a, 1e-12);
        EXPECT_NEAR(c.d, m.d, 1e-12);
        EXPECT_NEAR(c.tx, m.tx, 1e-9);
        EXPECT_NEAR(c.ty, m.ty, 1e-9);
    }

    ViewState view;
    ZoomView(view, 50);  // twice the size about the window's centre
    Matrix zoomed = ViewMatrix(info, 800, 800, view);
    EXPECT_NEAR(0.2, zoomed.a, 1e-12);
    EXPECT_NEAR(-400, zoomed.tx, 1e-9);
    EXPECT_NEAR(0, zoomed.ty, 1e-9);
    PanView(view, 10, 50, 1, 800, 800);  // percent of the window
    Matrix panned = ViewMatrix(info, 800, 800, view);
    EXPECT_NEAR(-320, panned.tx, 1e-9);
    EXPECT_NEAR(400, panned.ty, 1e-9);
    ZoomView(view, 0);
    Matrix reset = ViewMatrix(info, 800, 800, view);
    EXPECT_NEAR(0.1, reset.a, 1e-12);
    EXPECT_NEAR(200, reset.ty, 1e-9);

    SetZoomRect(view, 0, 0, 2000, 1000);  // the top-left quarter fills the window
    Matrix rect = ViewMatrix(info, 800, 800, view);
    EXPECT_NEAR(0.4, rect.a, 1e-12);
    EXPECT_NEAR(200, rect.ty, 1e-9);
    double x = 0, y = 0;
    ASSERT_TRUE(DeviceToMovie(rect, 400, 400, x, y));
    EXPECT_NEAR(1000, x, 1e-9);
    EXPECT_NEAR(500, y, 1e-9);
}

}  // namespace
}  // namespace kelpo::player::testing
