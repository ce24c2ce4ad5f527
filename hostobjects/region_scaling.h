// Shape-mask regions follow the movie: a mask's rectangles are in movie
// pixels, and the window's region must cover the same parts of the movie as
// the player lays it out in its client area (the scale modes of
// MovieToWindow).
#pragma once

#include <cstdint>
#include <vector>

#include "hostobjects/movie_to_window.h"

namespace kelpo {

// Region data (an RGNDATA: 32-byte header, then nCount rectangles of four
// little-endian i32 each) with every rectangle mapped from movie to client
// pixels and the bounds recomputed. Without a movie size or client area the
// rectangles stay as they are. Rectangles the header counts but the data
// lacks are left out. False when the data is shorter than its header.
bool ScaleRegionData(const std::vector<uint8_t>& data, const MovieLayout& layout,
                     std::vector<uint8_t>& scaled);

}  // namespace kelpo
