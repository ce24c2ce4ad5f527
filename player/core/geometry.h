// Matrices, points and paths: composition, inversion, bounds and the
// even-odd point-in-path test used for hit testing.
#pragma once

#include <cstddef>

#include "player/core/player.h"

namespace kelpo::player {

struct Bounds {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    bool empty = true;
};

// `outer` applied after `inner`.
Matrix Multiply(const Matrix& outer, const Matrix& inner);
bool Invert(const Matrix& m, Matrix& inverse);
Point Transform(const Matrix& m, Point p);
void AddPoint(Bounds& bounds, Point p);
void AddBounds(Bounds& bounds, const Bounds& other);
// The box around a rectangle after `m`.
Bounds TransformBounds(const Matrix& m, const Bounds& box);
// Even-odd containment; curves are followed as short chords.
bool PathContains(const PathSegment* segments, size_t count, Point p);

}  // namespace kelpo::player
