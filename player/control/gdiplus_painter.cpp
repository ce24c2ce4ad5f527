// GDI+ fills and strokes; see gdiplus_painter.h.
//
// Gradients are drawn in gradient space: the graphics' world transform is
// the paint's matrix, and the path is taken back into that space, so the
// brushes only ever need the plain forms GDI+ draws everywhere (a
// horizontal line gradient, a circular path gradient). GDI+ has no pad or
// reflect for these brushes, so each brush reaches extent beyond the gradient
// (kReach times its size) with the spread written out as colour stops.
#include "player/control/gdiplus_painter.h"

#include <algorithm>
#include <cmath>
#include <vector>

// GDI+'s headers want min and max; the flat API lives in Gdiplus::DllExports.
#include <objidl.h>  // PROPID, which the lean windows.h leaves out
#include <gdiplus.h>

namespace kelpo::control {

namespace {

namespace gp = Gdiplus;
namespace flat = Gdiplus::DllExports;

constexpr double kPadReach = 64;     // gradient sizes covered with padding
constexpr double kRepeatReach = 16;  // periods written out for repeat and reflect
constexpr int kCirclePoints = 128;
constexpr double kPi = 3.14159265358979323846;

bool Started() {
    static const bool started = [] {
        ULONG_PTR token = 0;
        gp::GdiplusStartupInput input;
        return gp::GdiplusStartup(&token, &input, nullptr) == gp::Ok;
    }();
    return started;
}

// One GDI+ object, deleted however the drawing ends.
template <typename T, gp::GpStatus(WINGDIPAPI* Delete)(T*)>
struct Owned {
    T* object = nullptr;
    ~Owned() {
        if (object) Delete(object);
    }
};

using Graphics = Owned<gp::GpGraphics, flat::GdipDeleteGraphics>;
using Path = Owned<gp::GpPath, flat::GdipDeletePath>;
using Brush = Owned<gp::GpBrush, flat::GdipDeleteBrush>;
using Pen = Owned<gp::GpPen, flat::GdipDeletePen>;
using GpMatrixOwned = Owned<gp::GpMatrix, flat::GdipDeleteMatrix>;

// Path gradient positions run from the outline (0) to the centre (1); some
// GDI+ versions read them the other way, or leave preset blends out of
// path gradients (Wine's). One small drawing tells which.
enum class PathBlend { Inward, Outward, Missing };

PathBlend PathBlendOf() {
    static const PathBlend blend = [] {
        gp::GpBitmap* bitmap = nullptr;
        if (flat::GdipCreateBitmapFromScan0(9, 9, 0, PixelFormat32bppARGB, nullptr, &bitmap) !=
            gp::Ok)
            return PathBlend::Missing;
        Owned<gp::GpImage, flat::GdipDisposeImage> image{bitmap};
        Graphics graphics;
        gp::GpPathGradient* brush = nullptr;
        gp::PointF square[4] = {{0, 0}, {9, 0}, {9, 9}, {0, 9}};
        gp::ARGB colors[2] = {0xFF000000, 0xFFFFFFFF};
        gp::REAL positions[2] = {0, 1};
        gp::ARGB centre = 0;
        if (flat::GdipGetImageGraphicsContext(bitmap, &graphics.object) != gp::Ok ||
            flat::GdipCreatePathGradient(square, 4, gp::WrapModeClamp, &brush) != gp::Ok)
            return PathBlend::Missing;
        Brush owned{brush};
        flat::GdipSetPathGradientCenterColor(brush, 0xFFFF0000);
        flat::GdipSetPathGradientPresetBlend(brush, colors, positions, 2);
        flat::GdipFillRectangle(graphics.object, brush, 0, 0, 9, 9);
        flat::GdipBitmapGetPixel(bitmap, 4, 4, &centre);
        int red = (centre >> 16) & 0xFF, blue = centre & 0xFF;
        if (red > 0xC0 && blue > 0xC0) return PathBlend::Inward;
        if (red < 0x40 && blue < 0x40) return PathBlend::Outward;
        return PathBlend::Missing;
    }();
    return blend;
}

bool OpenGraphics(HDC dc, Graphics& graphics);

}  // namespace

bool GdiplusSmoothsEdges() {
    static const bool smooth = [] {
        if (!Started()) return false;
        // A triangle whose long edge halves the pixels it crosses.
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = 8;
        info.bmiHeader.biHeight = -8;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HDC dc = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!dc || !bitmap) {
            if (bitmap) DeleteObject(bitmap);
            if (dc) DeleteDC(dc);
            return false;
        }
        HGDIOBJ old = SelectObject(dc, bitmap);
        auto* pixels = static_cast<uint32_t*>(bits);
        for (int i = 0; i < 64; ++i) pixels[i] = 0xFFFFFF;
        player::PathSegment triangle[4] = {{false, true, {0, 0}, {0, 0}},
                                           {false, false, {0, 0}, {8, 0}},
                                           {false, false, {0, 0}, {0, 8}},
                                           {false, false, {0, 0}, {0, 0}}};
        player::Paint black;
        {
            GdiplusCanvas canvas(dc);
            GdiplusFill(canvas, triangle, 4, black);
        }
        GdiFlush();
        bool between = false;
        for (int i = 0; i < 64; ++i) {
            uint32_t blue = pixels[i] & 0xFF;
            between = between || (blue > 0x20 && blue < 0xE0);
        }
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        return between;
    }();
    return smooth;
}

namespace {

bool OpenGraphics(HDC dc, Graphics& graphics) {
    if (!Started() || flat::GdipCreateFromHDC(dc, &graphics.object) != gp::Ok) return false;
    flat::GdipSetSmoothingMode(graphics.object, gp::SmoothingModeAntiAlias);
    // Pixel edges lie on whole coordinates, as the core's device space has them.
    flat::GdipSetPixelOffsetMode(graphics.object, gp::PixelOffsetModeHalf);
    return true;
}

gp::PointF Mapped(const player::Matrix& m, player::Point p) {
    return gp::PointF(static_cast<gp::REAL>(m.a * p.x + m.c * p.y + m.tx),
                      static_cast<gp::REAL>(m.b * p.x + m.d * p.y + m.ty));
}

// The segments as a GDI+ path, each point through `m`; quadratic curves
// become the cubic Beziers with the same course.
bool BuildPath(const player::PathSegment* segments, size_t count, const player::Matrix& m,
               bool closeFigures, Path& path) {
    if (flat::GdipCreatePath(gp::FillModeAlternate, &path.object) != gp::Ok) return false;
    player::Point pen{0, 0};
    bool open = false;
    for (size_t i = 0; i < count; ++i) {
        const player::PathSegment& s = segments[i];
        if (s.moveTo) {
            if (open && closeFigures) flat::GdipClosePathFigure(path.object);
            flat::GdipStartPathFigure(path.object);
            pen = s.to;
            open = true;
            continue;
        }
        open = true;
        gp::PointF from = Mapped(m, pen), to = Mapped(m, s.to);
        if (s.curve) {
            player::Point c1{pen.x + 2.0 / 3.0 * (s.control.x - pen.x),
                             pen.y + 2.0 / 3.0 * (s.control.y - pen.y)};
            player::Point c2{s.to.x + 2.0 / 3.0 * (s.control.x - s.to.x),
                             s.to.y + 2.0 / 3.0 * (s.control.y - s.to.y)};
            gp::PointF a = Mapped(m, c1), b = Mapped(m, c2);
            flat::GdipAddPathBezier(path.object, from.X, from.Y, a.X, a.Y, b.X, b.Y, to.X, to.Y);
        } else {
            flat::GdipAddPathLine(path.object, from.X, from.Y, to.X, to.Y);
        }
        pen = s.to;
    }
    if (open && closeFigures) flat::GdipClosePathFigure(path.object);
    return true;
}

struct RampStop {
    double t;  // gradient parameter: 0 to 1 is one period
    uint32_t argb;
};

// The gradient's colours from t = `from` to `to`, as stops with the spread
// written out.
std::vector<RampStop> Ramp(const player::Paint& paint, double from, double to) {
    const player::GradientStop* stops = paint.stops;
    const int count = paint.stopCount;
    std::vector<RampStop> ramp;
    if (paint.spread == player::Spread::Pad) {
        ramp.push_back({from, stops[0].argb});
        for (int i = 0; i < count; ++i) ramp.push_back({stops[i].position, stops[i].argb});
        ramp.push_back({to, stops[count - 1].argb});
        return ramp;
    }
    bool reflect = paint.spread == player::Spread::Reflect;
    for (double n = std::floor(from); n < to; ++n) {
        bool backwards = reflect && std::fmod(std::fabs(n), 2.0) == 1.0;
        for (int k = 0; k < count; ++k) {
            const player::GradientStop& s = stops[backwards ? count - 1 - k : k];
            ramp.push_back({n + (backwards ? 1 - s.position : s.position), s.argb});
        }
    }
    std::vector<RampStop> inside{{from, ramp.front().argb}};
    for (const RampStop& s : ramp)
        if (s.t > from && s.t < to) inside.push_back(s);
    inside.push_back({to, ramp.back().argb});
    return inside;
}

// Positions from 0 to 1 along the brush, and their colours.
void ToBlend(const std::vector<RampStop>& ramp, double from, double to, bool reverse,
             std::vector<gp::ARGB>& colors, std::vector<gp::REAL>& positions) {
    for (const RampStop& s : ramp) {
        double u = std::clamp((s.t - from) / (to - from), 0.0, 1.0);
        colors.push_back(s.argb);
        positions.push_back(static_cast<gp::REAL>(reverse ? 1 - u : u));
    }
    if (reverse) {
        std::reverse(colors.begin(), colors.end());
        std::reverse(positions.begin(), positions.end());
    }
    positions.front() = 0;
    positions.back() = 1;
}

uint8_t Channel(uint32_t argb, int shift) { return static_cast<uint8_t>(argb >> shift); }

// The gradient's colour at t, the spread applied.
uint32_t ColorAt(const player::Paint& paint, double t) {
    if (paint.spread == player::Spread::Repeat) {
        t -= std::floor(t);
    } else if (paint.spread == player::Spread::Reflect) {
        t = std::fmod(std::fabs(t), 2.0);
        if (t > 1) t = 2 - t;
    }
    const player::GradientStop* stops = paint.stops;
    if (t <= stops[0].position) return stops[0].argb;
    for (int i = 1; i < paint.stopCount; ++i) {
        if (t > stops[i].position) continue;
        double span = stops[i].position - stops[i - 1].position;
        double f = span > 0 ? (t - stops[i - 1].position) / span : 1;
        uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            double c = Channel(stops[i - 1].argb, shift) +
                       f * (Channel(stops[i].argb, shift) - Channel(stops[i - 1].argb, shift));
            out |= static_cast<uint32_t>(std::lround(c)) << shift;
        }
        return out;
    }
    return stops[paint.stopCount - 1].argb;
}

// Radial gradients where path gradients lack preset blends: the path as
// clip, then rings of solid colour from the outside in (whole discs when
// every stop is opaque, so anti-aliased ring edges leave no seams).
bool FillRadialRings(gp::GpGraphics* graphics, gp::GpPath* path, const player::Paint& paint) {
    gp::RectF box;
    if (flat::GdipGetPathWorldBounds(path, &box, nullptr, nullptr) != gp::Ok) return false;
    double extent = 0;
    for (double x : {box.X, box.X + box.Width})
        for (double y : {box.Y, box.Y + box.Height}) extent = std::max(extent, std::hypot(x, y));
    double reach = std::min(extent, paint.spread == player::Spread::Pad ? 1.0 : kRepeatReach);
    bool opaque = true;
    for (int i = 0; i < paint.stopCount; ++i)
        opaque = opaque && (paint.stops[i].argb >> 24) == 0xFF;
    gp::GpSolidFill* solid = nullptr;
    if (flat::GdipCreateSolidFill(ColorAt(paint, reach), &solid) != gp::Ok) return false;
    Brush brush{solid};
    flat::GdipSetClipPath(graphics, path, gp::CombineModeIntersect);
    if (!opaque) flat::GdipSetSmoothingMode(graphics, gp::SmoothingModeNone);
    if (extent > reach) {
        Path outside;
        flat::GdipCreatePath(gp::FillModeAlternate, &outside.object);
        flat::GdipAddPathRectangle(outside.object, box.X, box.Y, box.Width, box.Height);
        flat::GdipAddPathEllipse(outside.object, static_cast<gp::REAL>(-reach),
                                 static_cast<gp::REAL>(-reach), static_cast<gp::REAL>(2 * reach),
                                 static_cast<gp::REAL>(2 * reach));
        flat::GdipFillPath(graphics, solid, outside.object);
    }
    const int steps = std::clamp(static_cast<int>(reach * 128), 1, 2048);
    for (int j = steps; j >= 1; --j) {
        double outer = reach * j / steps, inner = reach * (j - 1) / steps;
        flat::GdipSetSolidFillColor(solid, ColorAt(paint, (outer + inner) / 2));
        auto r = static_cast<gp::REAL>(outer);
        if (opaque) {
            flat::GdipFillEllipse(graphics, solid, -r, -r, 2 * r, 2 * r);
            continue;
        }
        Path ring;
        flat::GdipCreatePath(gp::FillModeAlternate, &ring.object);
        flat::GdipAddPathEllipse(ring.object, -r, -r, 2 * r, 2 * r);
        auto q = static_cast<gp::REAL>(inner);
        if (j > 1) flat::GdipAddPathEllipse(ring.object, -q, -q, 2 * q, 2 * q);
        flat::GdipFillPath(graphics, solid, ring.object);
    }
    return true;
}

bool GradientBrush(const player::Paint& paint, Brush& brush) {
    double reach = paint.spread == player::Spread::Pad ? kPadReach : kRepeatReach;
    std::vector<gp::ARGB> colors;
    std::vector<gp::REAL> positions;
    if (paint.kind == player::PaintKind::LinearGradient) {
        // x from -reach to reach; t = (x + 1) / 2.
        double from = (1 - reach) / 2, to = (1 + reach) / 2;
        ToBlend(Ramp(paint, from, to), from, to, false, colors, positions);
        gp::PointF a(static_cast<gp::REAL>(-reach), 0), b(static_cast<gp::REAL>(reach), 0);
        gp::GpLineGradient* line = nullptr;
        if (flat::GdipCreateLineBrush(&a, &b, colors.front(), colors.back(), gp::WrapModeTile,
                                      &line) != gp::Ok)
            return false;
        brush.object = line;
        flat::GdipSetLinePresetBlend(line, colors.data(), positions.data(),
                                     static_cast<INT>(colors.size()));
        return true;
    }
    // Radial: t is the distance from the centre; path gradients run from
    // the outline (0) to the centre (1).
    ToBlend(Ramp(paint, 0, reach), 0, reach, PathBlendOf() == PathBlend::Inward, colors, positions);
    std::vector<gp::PointF> circle;
    for (int i = 0; i < kCirclePoints; ++i) {
        double angle = 2 * kPi * i / kCirclePoints;
        circle.emplace_back(static_cast<gp::REAL>(reach * std::cos(angle)),
                            static_cast<gp::REAL>(reach * std::sin(angle)));
    }
    gp::GpPathGradient* radial = nullptr;
    if (flat::GdipCreatePathGradient(circle.data(), kCirclePoints, gp::WrapModeClamp, &radial) !=
        gp::Ok)
        return false;
    brush.object = radial;
    gp::PointF centre(0, 0);
    flat::GdipSetPathGradientCenterPoint(radial, &centre);
    flat::GdipSetPathGradientPresetBlend(radial, colors.data(), positions.data(),
                                         static_cast<INT>(colors.size()));
    return true;
}

bool FillSolid(gp::GpGraphics* graphics, const player::PathSegment* segments, size_t count,
               uint32_t argb) {
    Path path;
    Brush brush;
    gp::GpSolidFill* solid = nullptr;
    if (!BuildPath(segments, count, player::Matrix(), true, path) ||
        flat::GdipCreateSolidFill(argb, &solid) != gp::Ok)
        return false;
    brush.object = solid;
    return flat::GdipFillPath(graphics, brush.object, path.object) == gp::Ok;
}

}  // namespace

GdiplusCanvas::~GdiplusCanvas() {
    if (graphics_) flat::GdipDeleteGraphics(static_cast<gp::GpGraphics*>(graphics_));
}

void* GdiplusCanvas::graphics() {
    if (!opened_) {
        opened_ = true;
        Graphics opened;
        if (OpenGraphics(dc_, opened)) {
            graphics_ = opened.object;
            opened.object = nullptr;  // the canvas owns it now
        }
    }
    return graphics_;
}

void GdiplusCanvas::Flush() {
    if (graphics_) flat::GdipFlush(static_cast<gp::GpGraphics*>(graphics_), gp::FlushIntentionSync);
}

namespace {

// Gradient fills change the world transform and clip; this puts them back.
struct SavedState {
    gp::GpGraphics* graphics;
    gp::GraphicsState state = 0;
    explicit SavedState(gp::GpGraphics* g) : graphics(g) { flat::GdipSaveGraphics(g, &state); }
    ~SavedState() { flat::GdipRestoreGraphics(graphics, state); }
};

}  // namespace

bool GdiplusFill(GdiplusCanvas& canvas, const player::PathSegment* segments, size_t count,
                 const player::Paint& paint) {
    auto* graphics = static_cast<gp::GpGraphics*>(canvas.graphics());
    if (!graphics) return false;
    const player::Matrix& m = paint.matrix;
    double det = m.a * m.d - m.b * m.c;
    if (paint.kind == player::PaintKind::Solid || paint.stopCount == 0 || std::fabs(det) < 1e-9)
        return FillSolid(graphics, segments, count, paint.argb);
    // Device to gradient space for the path; gradient to device for the graphics.
    player::Matrix inverse{m.d / det, -m.b / det, -m.c / det, m.a / det, 0, 0};
    inverse.tx = -(inverse.a * m.tx + inverse.c * m.ty);
    inverse.ty = -(inverse.b * m.tx + inverse.d * m.ty);
    Path path;
    GpMatrixOwned world;
    if (!BuildPath(segments, count, inverse, true, path) ||
        flat::GdipCreateMatrix2(static_cast<gp::REAL>(m.a), static_cast<gp::REAL>(m.b),
                                static_cast<gp::REAL>(m.c), static_cast<gp::REAL>(m.d),
                                static_cast<gp::REAL>(m.tx), static_cast<gp::REAL>(m.ty),
                                &world.object) != gp::Ok)
        return FillSolid(graphics, segments, count, paint.argb);
    SavedState saved(graphics);
    flat::GdipSetWorldTransform(graphics, world.object);
    bool rings =
        paint.kind == player::PaintKind::RadialGradient && PathBlendOf() == PathBlend::Missing;
    if (rings && FillRadialRings(graphics, path.object, paint)) return true;
    Brush brush;
    if (!GradientBrush(paint, brush)) return false;
    return flat::GdipFillPath(graphics, brush.object, path.object) == gp::Ok;
}

bool GdiplusStroke(GdiplusCanvas& canvas, const player::PathSegment* segments, size_t count,
                   const player::Stroke& stroke) {
    auto* graphics = static_cast<gp::GpGraphics*>(canvas.graphics());
    if (!graphics) return false;
    Path path;
    Pen pen;
    if (!BuildPath(segments, count, player::Matrix(), false, path) ||
        flat::GdipCreatePen1(stroke.argb, static_cast<gp::REAL>(stroke.width), gp::UnitWorld,
                             &pen.object) != gp::Ok)
        return false;
    auto cap = [](player::LineCap c) {
        return c == player::LineCap::None     ? gp::LineCapFlat
               : c == player::LineCap::Square ? gp::LineCapSquare
                                              : gp::LineCapRound;
    };
    flat::GdipSetPenStartCap(pen.object, cap(stroke.startCap));
    flat::GdipSetPenEndCap(pen.object, cap(stroke.endCap));
    flat::GdipSetPenLineJoin(pen.object, stroke.join == player::LineJoin::Bevel ? gp::LineJoinBevel
                                         : stroke.join == player::LineJoin::Miter
                                             ? gp::LineJoinMiterClipped
                                             : gp::LineJoinRound);
    flat::GdipSetPenMiterLimit(pen.object, static_cast<gp::REAL>(stroke.miterLimit));
    return flat::GdipDrawPath(graphics, pen.object, path.object) == gp::Ok;
}

}  // namespace kelpo::control
