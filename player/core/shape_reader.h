// DefineShape to DefineShape4 and DefineMorphShape(2): style arrays (solid,
// gradient and bitmap fills; line styles with caps and joins) and shape
// records, read into outlines of absolute edges; shape_builder.h turns
// outlines into paths.
#pragma once

#include "player/core/bit_reader.h"
#include "player/core/movie_data.h"

namespace kelpo::player {

// `reader` is positioned after the character id; `tagCode` is 2, 22, 32 or 83.
ShapeDefinition ReadShape(ByteReader& reader, int tagCode);
// `tagCode` is 46 or 84.
MorphDefinition ReadMorphShape(ByteReader& reader, int tagCode);
// A glyph's SHAPE (bit counts and records, no style arrays), filled with style 1.
ShapeOutline ReadGlyphOutline(ByteReader& reader);

}  // namespace kelpo::player
