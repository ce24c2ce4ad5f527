// Fills and strokes through GDI+ (gdiplus.dll): anti-aliased edges, alpha
// blended colours, linear and radial gradient brushes, pen caps and joins.
// GDI+ starts on first use and stays for the life of the process; when it
// cannot start, callers draw with plain GDI instead.
#pragma once

#include <windows.h>

#include "player/core/player.h"

namespace kelpo::control {

// A GDI+ graphics over a device context, opened on first use and kept for
// a frame (opening one per path costs more than the path). GDI drawing on
// the same context in between calls Flush first.
class GdiplusCanvas {
public:
    explicit GdiplusCanvas(HDC dc) : dc_(dc) {}
    ~GdiplusCanvas();
    GdiplusCanvas(const GdiplusCanvas&) = delete;
    GdiplusCanvas& operator=(const GdiplusCanvas&) = delete;
    void* graphics();  // a GpGraphics; null when GDI+ is not available
    void Flush();

private:
    HDC dc_;
    void* graphics_ = nullptr;
    bool opened_ = false;
};

// False when GDI+ is not available (nothing was drawn).
bool GdiplusFill(GdiplusCanvas& canvas, const player::PathSegment* segments, size_t count,
                 const player::Paint& paint);
bool GdiplusStroke(GdiplusCanvas& canvas, const player::PathSegment* segments, size_t count,
                   const player::Stroke& stroke);
// Whether GDI+ anti-aliases the edges it fills (Wine's does not).
bool GdiplusSmoothsEdges();

}  // namespace kelpo::control
