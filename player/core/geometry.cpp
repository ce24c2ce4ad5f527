// Matrix and path geometry; see geometry.h.
#include "player/core/geometry.h"

#include <algorithm>
#include <cmath>

namespace kelpo::player {

Matrix Multiply(const Matrix& o, const Matrix& i) {
    Matrix m;
    m.a = o.a * i.a + o.c * i.b;
    m.b = o.b * i.a + o.d * i.b;
    m.c = o.a * i.c + o.c * i.d;
    m.d = o.b * i.c + o.d * i.d;
    m.tx = o.a * i.tx + o.c * i.ty + o.tx;
    m.ty = o.b * i.tx + o.d * i.ty + o.ty;
    return m;
}

bool Invert(const Matrix& m, Matrix& r) {
    double det = m.a * m.d - m.b * m.c;
    if (det == 0 || !std::isfinite(det)) return false;
    r.a = m.d / det;
    r.b = -m.b / det;
    r.c = -m.c / det;
    r.d = m.a / det;
    r.tx = -(r.a * m.tx + r.c * m.ty);
    r.ty = -(r.b * m.tx + r.d * m.ty);
    return true;
}

Point Transform(const Matrix& m, Point p) {
    return Point{m.a * p.x + m.c * p.y + m.tx, m.b * p.x + m.d * p.y + m.ty};
}

void AddPoint(Bounds& bounds, Point p) {
    if (bounds.empty) {
        bounds = Bounds{p.x, p.y, p.x, p.y, false};
        return;
    }
    bounds.xMin = std::min(bounds.xMin, p.x);
    bounds.yMin = std::min(bounds.yMin, p.y);
    bounds.xMax = std::max(bounds.xMax, p.x);
    bounds.yMax = std::max(bounds.yMax, p.y);
}

void AddBounds(Bounds& bounds, const Bounds& other) {
    if (other.empty) return;
    AddPoint(bounds, Point{other.xMin, other.yMin});
    AddPoint(bounds, Point{other.xMax, other.yMax});
}

Bounds TransformBounds(const Matrix& m, const Bounds& box) {
    Bounds out;
    if (box.empty) return out;
    AddPoint(out, Transform(m, Point{box.xMin, box.yMin}));
    AddPoint(out, Transform(m, Point{box.xMax, box.yMin}));
    AddPoint(out, Transform(m, Point{box.xMin, box.yMax}));
    AddPoint(out, Transform(m, Point{box.xMax, box.yMax}));
    return out;
}

namespace {

// Counts crossings of the ray from `p` towards +x with the chord a-b.
bool Crosses(Point a, Point b, Point p) {
    if ((a.y > p.y) == (b.y > p.y)) return false;
    double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
    return x > p.x;
}

}  // namespace

bool PathContains(const PathSegment* segments, size_t count, Point p) {
    bool inside = false;
    Point start{0, 0}, at{0, 0};
    bool open = false;
    for (size_t i = 0; i < count; ++i) {
        const PathSegment& s = segments[i];
        if (s.moveTo) {
            if (open && Crosses(at, start, p)) inside = !inside;  // implicit close
            start = at = s.to;
            open = true;
            continue;
        }
        if (s.curve) {
            Point from = at;
            for (int k = 1; k <= 8; ++k) {
                double t = k / 8.0, u = 1 - t;
                Point q{u * u * from.x + 2 * u * t * s.control.x + t * t * s.to.x,
                        u * u * from.y + 2 * u * t * s.control.y + t * t * s.to.y};
                if (Crosses(at, q, p)) inside = !inside;
                at = q;
            }
        } else {
            if (Crosses(at, s.to, p)) inside = !inside;
            at = s.to;
        }
    }
    if (open && Crosses(at, start, p)) inside = !inside;
    return inside;
}

}  // namespace kelpo::player
