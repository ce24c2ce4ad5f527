// DefineShape, DefineShape2 and DefineShape3: style arrays and shape records
// turned into closed fill paths per fill style and stroke paths per line
// style, in the shape's twips.
#pragma once

#include "player/core/bit_reader.h"
#include "player/core/movie_data.h"

namespace kelpo::player {

// `reader` is positioned after the character id; `tagCode` is 2, 22 or 32.
ShapeDefinition ReadShape(ByteReader& reader, int tagCode);

}  // namespace kelpo::player
