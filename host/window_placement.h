// Placing the main window for a movie. This is the basic placement (the
// client area sized to the movie, centred on the screen, shown normally);
// the appearance settings (border styles, size and position presets, keep
// ratio, shapes) replace it when they take effect.
#pragma once

#include <windows.h>

namespace kelpo {

void PlaceWindowForMovie(HWND frame, SIZE movie);

}  // namespace kelpo
