// Movie pixels to the player window's client pixels, as the control lays the
// movie out in each scale mode: 0 show all (uniform, fits, centred), 1 no
// border (uniform, fills, centred), 2 exact fit (stretched, no offset),
// 3 no scale (centred at 1:1).
#pragma once

namespace kelpo {

struct MovieLayout {
    int movieWidth = 0, movieHeight = 0;
    int clientWidth = 0, clientHeight = 0;
    int scaleMode = 0;
};

struct WindowRect {
    int left = 0, right = 0, top = 0, bottom = 0;
};

// False without a movie size or a client area.
bool MovieToWindow(const MovieLayout& layout, double xMin, double xMax, double yMin, double yMax,
                   WindowRect& out);

}  // namespace kelpo
