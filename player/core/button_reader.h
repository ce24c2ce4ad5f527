// DefineButton and DefineButton2: the records that show each state and the
// actions (one release action list, or condition action records).
#pragma once

#include "player/core/bit_reader.h"
#include "player/core/movie_data.h"

namespace kelpo::player {

// `reader` covers the tag body and is positioned after the character id;
// `bodyOffset` is where the body starts within `bytes` (for action blocks).
ButtonDefinition ReadButton(ByteReader& reader, int tagCode, const MovieBytes& bytes,
                            size_t bodyOffset);

}  // namespace kelpo::player
