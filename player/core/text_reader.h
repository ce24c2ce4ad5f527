// Embedded fonts and static texts: DefineFont, DefineFont2 and DefineFont3
// (glyph outlines, advances, code table), DefineFontInfo (codes), and
// DefineText / DefineText2, whose glyphs are laid out into a shape when read
// (fonts precede the texts that use them).
#pragma once

#include "player/core/bit_reader.h"
#include "player/core/movie_data.h"

namespace kelpo::player {

// `reader` is positioned after the font id; `tagCode` is 10, 48 or 75.
FontDefinition ReadFont(ByteReader& reader, int tagCode);
// DefineFontInfo(2) after the font id: the code table of `font`.
void ReadFontInfo(ByteReader& reader, int tagCode, FontDefinition& font);
// `reader` is positioned after the character id; `tagCode` is 11 or 33.
ShapeDefinition ReadText(ByteReader& reader, int tagCode, const MovieDefinition& movie);

}  // namespace kelpo::player
