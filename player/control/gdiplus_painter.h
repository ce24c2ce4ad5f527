// Fills and strokes through GDI+ (gdiplus.dll): anti-aliased edges, alpha
// blended colours, linear and radial gradient brushes, pen caps and joins.
// GDI+ starts on first use and stays for the life of the process; when it
// cannot start, callers draw with plain GDI instead.
#pragma once

#include <windows.h>

#include "player/core/player.h"

namespace kelpo::control {

// False when GDI+ is not available (nothing was drawn).
bool GdiplusFill(HDC dc, const player::PathSegment* segments, size_t count,
                 const player::Paint& paint);
bool GdiplusStroke(HDC dc, const player::PathSegment* segments, size_t count,
                   const player::Stroke& stroke);
// Whether GDI+ anti-aliases the edges it fills (Wine's does not).
bool GdiplusSmoothsEdges();

}  // namespace kelpo::control
