#include "hostobjects/movie_to_window.h"

#include <algorithm>
#include <cmath>

namespace kelpo {
namespace {

// Integral results of the conversion; values beyond the int range (absurd
// coordinates from a script) are pinned instead of overflowing.
int ToPixel(double value) {
    if (!(value == value)) return 0;
    return static_cast<int>(std::max(-2147483647.0, std::min(2147483647.0, std::trunc(value))));
}

}  // namespace

bool MovieToWindow(const MovieLayout& layout, double xMin, double xMax, double yMin, double yMax,
                   WindowRect& out) {
    if (layout.movieWidth <= 0 || layout.movieHeight <= 0 || layout.clientWidth <= 0 ||
        layout.clientHeight <= 0) {
        return false;
    }
    const double w = layout.clientWidth, h = layout.clientHeight;
    const double movieW = layout.movieWidth, movieH = layout.movieHeight;
    double scaleX = 1, scaleY = 1;
    switch (layout.scaleMode) {
        case 1: scaleX = scaleY = std::max(w / movieW, h / movieH); break;
        case 2:
            scaleX = w / movieW;
            scaleY = h / movieH;
            break;
        case 3: break;
        default: scaleX = scaleY = std::min(w / movieW, h / movieH); break;
    }
    double offsetX = 0, offsetY = 0;
    if (layout.scaleMode != 2) {
        offsetX = std::trunc((w - movieW * scaleX) / 2);
        offsetY = std::trunc((h - movieH * scaleY) / 2);
    }
    out.left = ToPixel(xMin * scaleX + offsetX);
    out.right = ToPixel(xMax * scaleX + offsetX);
    out.top = ToPixel(yMin * scaleY + offsetY);
    out.bottom = ToPixel(yMax * scaleY + offsetY);
    return true;
}

}  // namespace kelpo
