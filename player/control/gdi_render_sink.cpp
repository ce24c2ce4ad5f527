// The render sink. Paths go through GDI+ (gdiplus_painter.h); where GDI+
// cannot start, through GDI, with coordinates in 1/16 pixel through a world
// transform so curves and thin shapes keep their sub-pixel positions.
#include "player/control/gdi_render_sink.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "player/control/gdiplus_painter.h"

namespace kelpo::control {

namespace {

constexpr double kSubPixels = 16.0;

COLORREF ColorOf(uint32_t argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

bool Invisible(uint32_t argb) { return (argb >> 24) == 0; }

POINT Scaled(const player::Point& p) {
    return POINT{static_cast<LONG>(std::lround(p.x * kSubPixels)),
                 static_cast<LONG>(std::lround(p.y * kSubPixels))};
}

// Restores the DC's state however the drawing ends.
class SubPixelScope {
public:
    explicit SubPixelScope(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {
        SetGraphicsMode(dc, GM_ADVANCED);
        XFORM scale{static_cast<FLOAT>(1 / kSubPixels), 0, 0,
                    static_cast<FLOAT>(1 / kSubPixels), 0, 0};
        ModifyWorldTransform(dc, &scale, MWT_LEFTMULTIPLY);
    }
    ~SubPixelScope() { RestoreDC(dc_, saved_); }

private:
    HDC dc_;
    int saved_;
};

// Records the segments as the DC's current path; quadratic curves become
// the cubic Beziers with the same shape. Fills close every figure, strokes
// leave open ones open.
void BuildPath(HDC dc, const player::PathSegment* segments, size_t count, bool closeFigures) {
    BeginPath(dc);
    player::Point pen{0, 0};
    bool open = false;
    for (size_t i = 0; i < count; ++i) {
        const player::PathSegment& s = segments[i];
        if (s.moveTo || !open) {
            if (open && closeFigures) CloseFigure(dc);
            POINT p = Scaled(s.moveTo ? s.to : pen);
            MoveToEx(dc, p.x, p.y, nullptr);
            open = true;
            if (s.moveTo) {
                pen = s.to;
                continue;
            }
        }
        if (s.curve) {
            player::Point c1{pen.x + 2.0 / 3.0 * (s.control.x - pen.x),
                             pen.y + 2.0 / 3.0 * (s.control.y - pen.y)};
            player::Point c2{s.to.x + 2.0 / 3.0 * (s.control.x - s.to.x),
                             s.to.y + 2.0 / 3.0 * (s.control.y - s.to.y)};
            POINT points[3] = {Scaled(c1), Scaled(c2), Scaled(s.to)};
            PolyBezierTo(dc, points, 3);
        } else {
            POINT p = Scaled(s.to);
            LineTo(dc, p.x, p.y);
        }
        pen = s.to;
    }
    if (open && closeFigures) CloseFigure(dc);
    EndPath(dc);
}

GdiTarget& TargetOf(void* user) { return *static_cast<GdiTarget*>(user); }

void SinkClear(void* user, uint32_t argb) {
    GdiTarget& target = TargetOf(user);
    if (target.keepBackground) return;
    if (target.canvas) target.canvas->Flush();
    if (target.background >= 0) argb = 0xFF000000u | static_cast<uint32_t>(target.background);
    HBRUSH brush = CreateSolidBrush(ColorOf(argb));
    FillRect(target.dc, &target.bounds, brush);
    DeleteObject(brush);
}

void SinkFillPath(void* user, const player::PathSegment* segments, size_t count,
                  const player::Paint& paint) {
    if (count == 0) return;
    GdiTarget& target = TargetOf(user);
    HDC dc = target.dc;
    GdiplusCanvas own(dc);
    if (GdiplusFill(target.canvas ? *target.canvas : own, segments, count, paint)) return;
    uint32_t argb = paint.argb;
    if (Invisible(argb)) return;
    SubPixelScope scope(dc);
    SetPolyFillMode(dc, ALTERNATE);
    HBRUSH brush = CreateSolidBrush(ColorOf(argb));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    BuildPath(dc, segments, count, true);
    FillPath(dc);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
}

void SinkStrokePath(void* user, const player::PathSegment* segments, size_t count,
                    const player::Stroke& stroke) {
    if (count == 0 || Invisible(stroke.argb)) return;
    GdiTarget& target = TargetOf(user);
    HDC dc = target.dc;
    GdiplusCanvas own(dc);
    if (GdiplusStroke(target.canvas ? *target.canvas : own, segments, count, stroke)) return;
    uint32_t argb = stroke.argb;
    double width = stroke.width;
    SubPixelScope scope(dc);
    LOGBRUSH brush{BS_SOLID, ColorOf(argb), 0};
    DWORD penWidth = static_cast<DWORD>(std::lround(std::max(1.0, width) * kSubPixels));
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND, penWidth,
                            &brush, 0, nullptr);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    BuildPath(dc, segments, count, false);
    StrokePath(dc);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void SinkDrawImage(void* user, const uint32_t* pixels, int width, int height,
                   const player::Matrix& toDevice) {
    if (!pixels || width <= 0 || height <= 0) return;
    if (TargetOf(user).canvas) TargetOf(user).canvas->Flush();
    HDC dc = TargetOf(user).dc;
    int saved = SaveDC(dc);
    SetGraphicsMode(dc, GM_ADVANCED);
    XFORM transform{static_cast<FLOAT>(toDevice.a),  static_cast<FLOAT>(toDevice.b),
                    static_cast<FLOAT>(toDevice.c),  static_cast<FLOAT>(toDevice.d),
                    static_cast<FLOAT>(toDevice.tx), static_cast<FLOAT>(toDevice.ty)};
    ModifyWorldTransform(dc, &transform, MWT_LEFTMULTIPLY);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows, as the core gives them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc, HALFTONE);
    // toDevice maps picture pixels (not twips) to the device.
    StretchDIBits(dc, 0, 0, width, height, 0, 0, width, height, pixels, &info, DIB_RGB_COLORS,
                  SRCCOPY);
    RestoreDC(dc, saved);
}

}  // namespace

player::RenderSink MakeGdiSink(GdiTarget& target) {
    player::RenderSink sink;
    sink.user = &target;
    sink.clear = SinkClear;
    sink.fillPath = SinkFillPath;
    sink.strokePath = SinkStrokePath;
    sink.drawImage = SinkDrawImage;
    return sink;
}

}  // namespace kelpo::control
