// Where the main window goes: the arithmetic of the size modes and the
// eleven positions, and the keep-ratio correction after a user resize.
// Plain numbers in, rectangles out, so every rule is tested without a
// screen.
#pragma once

#include <cstdint>

#include "host/project_settings.h"

namespace kelpo {

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

struct PixelSize {
    int width = 0, height = 0;
};

// What ApplySizeAndPos does with the rectangle.
enum class PlacementAction {
    Move,        // move to the rectangle, repainting (movie size, custom, percentage)
    FullScreen,  // cover the screen (0, 0, W, H)
    Maximize,    // move without repainting, then maximize
    None,        // unknown size mode: leave the window where it is
};

struct PlacementInput {
    PixelSize screen;
    PixelSize window;  // the window's current size, frame included
    PixelSize client;  // its current client area
    PixelSize movie;   // the movie's frame size; 0 by 0 when unknown
};

struct Placement {
    PixelRect rect;
    PlacementAction action = PlacementAction::None;
};

// The window's rectangle for the size-and-position settings.
Placement PlaceMainWindow(const SizeAndPosSettings& settings, const PlacementInput& input);

// Keep-ratio at the end of a user resize: `now` is the window after the
// resize, `atStart` before it, `client` its client size now, `ratio` the
// client width over height to keep. When only the height changed the width
// follows, otherwise the height does. False (no correction) without a ratio.
bool KeepRatioRect(const PixelRect& now, const PixelRect& atStart, PixelSize client, float ratio,
                   PixelRect& corrected);

}  // namespace kelpo
