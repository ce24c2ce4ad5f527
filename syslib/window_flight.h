// The paths of Window.fly2 and Window.fly: a window moved one pixel per
// step along a line, and the start and end rectangles of a slide to or from
// an edge of the work area. Plain arithmetic, tested natively.
#pragma once

#include <cstdint>

namespace kelpo {

struct FlightPoint {
    int x = 0, y = 0;
};

// The stepped line from (x1, y1) to (x2, y2): one pixel per step along x, y
// following by its share of the vertical distance; straight down or up one
// pixel per step when x1 == x2. Step 0 is the start, step Steps() the end.
class FlightPath {
public:
    FlightPath(int x1, int y1, int x2, int y2);
    int64_t Steps() const { return steps_; }
    FlightPoint At(int64_t step) const;

private:
    int x1_, y1_, x2_, y2_;
    int64_t steps_;
};

struct FlightRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// A slide of `window` to or from an edge of `workArea`.
//   edge: 0 left, 1 top, 2 right, 3 bottom (others: 3);
//   mode: 0 in (from just beyond the edge to where the window is), 1 out
//         (from where it is to just beyond the edge), 2 to the edge (until
//         the window touches it, inside the work area) (others: 2).
struct Slide {
    FlightPoint from, to;
};
Slide SlideFor(const FlightRect& window, const FlightRect& workArea, int64_t edge, int64_t mode);

// Coordinates from scripts are kept to what a window can have.
int ClampCoordinate(int64_t value);

}  // namespace kelpo
