// The small bit-packed records shared by many tags: RECT, MATRIX, CXFORM
// (with and without alpha) and colours.
#pragma once

#include "player/core/bit_reader.h"
#include "player/core/movie_data.h"

namespace kelpo::player {

struct TwipsRect {
    int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

TwipsRect ReadRect(ByteReader& reader);
Matrix ReadMatrix(ByteReader& reader);
ColorTransform ReadColorTransform(ByteReader& reader, bool withAlpha);
uint32_t ReadRgb(ByteReader& reader);   // 0xFFRRGGBB
uint32_t ReadRgba(ByteReader& reader);  // 0xAARRGGBB

}  // namespace kelpo::player
