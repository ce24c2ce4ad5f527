// Draws the core's frames into any device context: paths through GDI+
// (anti-aliased, alpha blended, gradient brushes), falling back to GDI
// (opaque solid colours) when GDI+ is missing; the background and pictures
// through GDI.
#pragma once

#include <windows.h>

#include "player/control/gdiplus_painter.h"
#include "player/core/player.h"

namespace kelpo::control {

struct GdiTarget {
    HDC dc;
    RECT bounds;                      // what clear() fills
    long background = -1;             // 0xRRGGBB replacing the movie's own, or -1
    bool keepBackground = false;      // clear() leaves the DC's pixels alone
    GdiplusCanvas* canvas = nullptr;  // kept for the frame; null: one per path
};

// A sink whose user pointer is `target`; the target must outlive the sink.
player::RenderSink MakeGdiSink(GdiTarget& target);

}  // namespace kelpo::control
