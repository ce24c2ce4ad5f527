// The view matrix helpers for the control; see ViewState in player.h.
#include <algorithm>
#include <cmath>

#include "player/core/geometry.h"
#include "player/core/player.h"

namespace kelpo::player {

namespace {

// Offset of content `size` pixels long inside `space` pixels.
double Aligned(double space, double size, bool first, bool last) {
    if (first && !last) return 0;
    if (last && !first) return space - size;
    return (space - size) / 2;
}

}  // namespace

Matrix ViewMatrix(const MovieInfo& info, int width, int height, const ViewState& view) {
    double movieWidth = info.xMax - info.xMin, movieHeight = info.yMax - info.yMin;
    double originX = info.xMin, originY = info.yMin;
    int mode = view.scaleMode;
    if (view.hasZoomRect && view.zoomRight > view.zoomLeft && view.zoomBottom > view.zoomTop) {
        movieWidth = view.zoomRight - view.zoomLeft;
        movieHeight = view.zoomBottom - view.zoomTop;
        originX = view.zoomLeft;
        originY = view.zoomTop;
        mode = 0;
    }
    Matrix m;
    if (movieWidth <= 0 || movieHeight <= 0 || width <= 0 || height <= 0) {
        m.a = m.d = 1.0 / 20;
        return m;
    }
    double sx = width / movieWidth, sy = height / movieHeight;  // pixels per twip
    switch (mode) {
        case 1: sx = sy = std::max(sx, sy); break;
        case 2: break;
        case 3: sx = sy = 1.0 / 20; break;
        default: sx = sy = std::min(sx, sy); break;
    }
    m.a = sx;
    m.d = sy;
    if (mode == 2) {
        m.tx = -originX * sx;
        m.ty = -originY * sy;
    } else {
        m.tx = Aligned(width, movieWidth * sx, view.align & 1, view.align & 2) - originX * sx;
        m.ty = Aligned(height, movieHeight * sy, view.align & 4, view.align & 8) - originY * sy;
    }
    if (view.zoom != 1 && view.zoom > 0) {
        double cx = width / 2.0, cy = height / 2.0;
        Matrix zoom{view.zoom, 0, 0, view.zoom, cx - view.zoom * cx, cy - view.zoom * cy};
        m = Multiply(zoom, m);
    }
    m.tx += view.panX;
    m.ty += view.panY;
    return m;
}

void ZoomView(ViewState& view, int percent) {
    if (percent <= 0) {
        view.zoom = 1;
        view.panX = view.panY = 0;
        view.hasZoomRect = false;
        return;
    }
    view.zoom = std::clamp(view.zoom * 100.0 / percent, 1.0 / 64, 64.0);
}

void PanView(ViewState& view, double dx, double dy, int mode, int width, int height) {
    if (mode == 1) {
        dx = dx * width / 100;
        dy = dy * height / 100;
    }
    view.panX += dx;
    view.panY += dy;
}

void SetZoomRect(ViewState& view, double left, double top, double right, double bottom) {
    view.hasZoomRect = right > left && bottom > top;
    view.zoomLeft = left;
    view.zoomTop = top;
    view.zoomRight = right;
    view.zoomBottom = bottom;
    view.zoom = 1;
    view.panX = view.panY = 0;
}

bool DeviceToMovie(const Matrix& toDevice, double x, double y, double& movieX, double& movieY) {
    Matrix inverse;
    if (!Invert(toDevice, inverse)) return false;
    Point p = Transform(inverse, Point{x, y});
    movieX = p.x;
    movieY = p.y;
    return true;
}

}  // namespace kelpo::player
