// Case mapping of single UTF-16 code units.
//
// One table-free mapping shared by String's toLowerCase/toUpperCase and by
// case-insensitive regular expressions, so every build (whatever its C
// runtime's locale tables) maps the same way: ASCII, Latin-1, Latin
// Extended-A, basic Greek and Cyrillic, and the full-width Latin letters.
// Units outside those ranges map to themselves.
#pragma once

namespace kelpo {

char16_t LowerUnit(char16_t c);
char16_t UpperUnit(char16_t c);

}  // namespace kelpo
