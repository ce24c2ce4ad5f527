#include "syslib/window_flight.h"

#include <cstdlib>

namespace kelpo {

FlightPath::FlightPath(int x1, int y1, int x2, int y2) : x1_(x1), y1_(y1), x2_(x2), y2_(y2) {
    const int64_t dx = static_cast<int64_t>(x2) - x1, dy = static_cast<int64_t>(y2) - y1;
    steps_ = dx != 0 ? std::llabs(dx) : std::llabs(dy);
}

FlightPoint FlightPath::At(int64_t step) const {
    if (step <= 0) return FlightPoint{x1_, y1_};
    if (step >= steps_) return FlightPoint{x2_, y2_};
    const int64_t dx = static_cast<int64_t>(x2_) - x1_, dy = static_cast<int64_t>(y2_) - y1_;
    if (dx == 0) return FlightPoint{x1_, static_cast<int>(y1_ + (dy > 0 ? step : -step))};
    // The vertical share of `step` horizontal pixels, truncated.
    return FlightPoint{static_cast<int>(x1_ + (dx > 0 ? step : -step)),
                       static_cast<int>(y1_ + dy * step / steps_)};
}

Slide SlideFor(const FlightRect& window, const FlightRect& workArea, int64_t edge, int64_t mode) {
    if (edge < 0 || edge > 3) edge = 3;
    if (mode < 0 || mode > 2) mode = 2;
    const FlightPoint here{window.left, window.top};
    const int width = window.right - window.left, height = window.bottom - window.top;
    FlightPoint beyond = here, atEdge = here;
    switch (edge) {
        case 0:
            beyond.x = workArea.left - width;
            atEdge.x = workArea.left;
            break;
        case 1:
            beyond.y = workArea.top - height;
            atEdge.y = workArea.top;
            break;
        case 2:
            beyond.x = workArea.right;
            atEdge.x = workArea.right - width;
            break;
        default:
            beyond.y = workArea.bottom;
            atEdge.y = workArea.bottom - height;
            break;
    }
    switch (mode) {
        case 0: return Slide{beyond, here};
        case 1: return Slide{here, beyond};
        default: return Slide{here, atEdge};
    }
}

int ClampCoordinate(int64_t value) {
    constexpr int64_t kLimit = 32767;
    return static_cast<int>(value < -kLimit ? -kLimit : value > kLimit ? kLimit : value);
}

}  // namespace kelpo
