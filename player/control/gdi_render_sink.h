// Draws the core's frames with GDI into any device context: paths as
// polygons and Bezier curves filled even-odd, pictures stretched through a
// world transform. Alpha below 255 is drawn opaque; fully transparent
// colours are skipped.
#pragma once

#include <windows.h>

#include "player/core/player.h"

namespace kelpo::control {

struct GdiTarget {
    HDC dc;
    RECT bounds;                  // what clear() fills
    long background = -1;         // 0xRRGGBB replacing the movie's own, or -1
    bool keepBackground = false;  // clear() leaves the DC's pixels alone
};

// A sink whose user pointer is `target`; the target must outlive the sink.
player::RenderSink MakeGdiSink(GdiTarget& target);

}  // namespace kelpo::control
