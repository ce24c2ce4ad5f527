// Outlines to paths: the edges of each fill style chained into closed
// contours, the edges of each line style into strokes, and the shape in
// between the two outlines of a morph.
#pragma once

#include "player/core/movie_data.h"

namespace kelpo::player {

// Bounds are left to the caller.
ShapeDefinition BuildShape(const ShapeOutline& outline);
// The shape at `ratio` (0 the start, 65535 the end).
ShapeDefinition MorphAt(const MorphDefinition& morph, uint16_t ratio);

}  // namespace kelpo::player
