// Block letters for test and demo movies: each glyph is a grid of 5 by 9
// cells (7 rows above the baseline, 2 below for descenders), turned into
// outlines by the movie builder's Font.
#pragma once

namespace kelpo::movies {

constexpr int kBlockColumns = 5;
constexpr int kBlockRows = 9;
constexpr int kBlockBaselineRow = 7;  // rows from here on lie below the baseline

// The rows of `c` ('#' filled, top row first), or null for characters
// without a glyph (they are drawn as blanks).
const char* const* BlockGlyph(char c);

}  // namespace kelpo::movies
