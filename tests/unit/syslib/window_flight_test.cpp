// Window.fly2's stepped line and Window.fly's slides, as plain arithmetic.
#include <gtest/gtest.h>

#include <string>

#include "syslib/window_flight.h"

namespace kelpo::test {
namespace {

std::string Path(int x1, int y1, int x2, int y2) {
    FlightPath path(x1, y1, x2, y2);
    std::string out;
    for (int64_t step = 0; step <= path.Steps(); ++step) {
        FlightPoint at = path.At(step);
        out += (step ? " " : "") + std::to_string(at.x) + "," + std::to_string(at.y);
    }
    return out;
}

TEST(WindowFlight, OnePixelPerStep) {
    EXPECT_EQ("0,0 1,2 2,4 3,6 4,8", Path(0, 0, 4, 8));
    // y follows by its truncated share of the vertical distance.
    EXPECT_EQ("10,0 9,0 8,1 7,2", Path(10, 0, 7, 2));
    // Straight up or down when x stays.
    EXPECT_EQ("5,3 5,2 5,1", Path(5, 3, 5, 1));
    EXPECT_EQ("5,3", Path(5, 3, 5, 3));
    EXPECT_EQ(0, FlightPath(5, 3, 5, 3).Steps());
}

TEST(WindowFlight, SlidesByEdgeAndMode) {
    const FlightRect window{100, 200, 300, 250}, work{0, 0, 1000, 700};
    struct Case {
        int64_t edge, mode;
        FlightPoint from, to;
    } cases[] = {
        {0, 0, {-200, 200}, {100, 200}},  // in from the left
        {1, 1, {100, 200}, {100, -50}},   // out at the top
        {2, 2, {100, 200}, {800, 200}},   // to the right edge
        {3, 2, {100, 200}, {100, 650}},   // to the bottom
        {3, 1, {100, 200}, {100, 700}},
        {9, 9, {100, 200}, {100, 650}},  // out of range: bottom, to the edge
        {-1, 0, {100, 700}, {100, 200}},
    };
    for (const Case& c : cases) {
        Slide slide = SlideFor(window, work, c.edge, c.mode);
        EXPECT_EQ(c.from.x, slide.from.x) << c.edge << " " << c.mode;
        EXPECT_EQ(c.from.y, slide.from.y) << c.edge << " " << c.mode;
        EXPECT_EQ(c.to.x, slide.to.x) << c.edge << " " << c.mode;
        EXPECT_EQ(c.to.y, slide.to.y) << c.edge << " " << c.mode;
    }
}

TEST(WindowFlight, CoordinatesFromScriptsAreBounded) {
    EXPECT_EQ(32767, ClampCoordinate(int64_t(1) << 40));
    EXPECT_EQ(-32767, ClampCoordinate(-(int64_t(1) << 40)));
    EXPECT_EQ(-5, ClampCoordinate(-5));
}

}  // namespace
}  // namespace kelpo::test
