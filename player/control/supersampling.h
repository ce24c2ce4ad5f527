// Smooth edges where the 2D library draws them jagged (Wine's GDI+ does not
// anti-alias): the frame is drawn into a bitmap `factor` times as large and
// each block of factor x factor pixels is averaged into one.
#pragma once

#include <windows.h>

#include <functional>

namespace kelpo::control {

// `draw` paints into the large bitmap's DC, whose area is (0, 0) to the
// size of `bounds` times `factor`. False when the bitmap cannot be made
// (nothing was drawn).
bool DrawSupersampled(HDC dc, const RECT& bounds, int factor,
                      const std::function<void(HDC large, const RECT& area)>& draw);

}  // namespace kelpo::control
