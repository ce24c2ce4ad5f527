// Movie files: the header ("FWS" plain, "CWS" zlib-compressed), the tag
// stream and the definitions it carries. A damaged file yields what was read
// before the damage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "player/core/movie_data.h"

namespace kelpo::player {

// Files claiming more than this uncompressed size are read only this far.
constexpr size_t kMaxMovieBytes = 64u << 20;

// Null when the bytes do not start with a movie header.
std::shared_ptr<MovieDefinition> ReadMovie(const uint8_t* bytes, size_t length);

}  // namespace kelpo::player
