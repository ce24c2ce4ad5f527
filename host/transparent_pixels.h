// Transparent mode's pixel work: the movie rendered once over black and
// once over white gives each pixel's coverage (where the two agree the
// pixel is opaque; where they differ, by how much the background shows
// through) and, from the black rendering, its colour already multiplied by
// that coverage, as per-pixel-alpha windows want it. Without layered
// windows the opaque pixels make the window's region instead.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/window_placement.h"

namespace kelpo {

// Pixels are 32-bit B, G, R, X (the DIB layout), `count` of them in each
// buffer; `out` receives B, G, R from the black rendering and the alpha.
void DeriveAlpha(const uint32_t* overBlack, const uint32_t* overWhite, uint32_t* out, size_t count);

// The runs of opaque pixels (alpha 255) of a top-down image, one rectangle
// per run, in rows from the top.
std::vector<PixelRect> OpaqueRuns(const uint32_t* pixels, int width, int height);

// A movie variable's text as a number of movie pixels, truncated toward
// zero; 0 when it is not a number.
int MoviePixelsOf(const std::string& text);

}  // namespace kelpo
