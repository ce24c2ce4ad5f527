// Parsing of date texts such as "Feb 29 2004 10:00:00 GMT+0100" and
// "12/25/2004".
#pragma once

namespace kelpo {

// Parses NUL-terminated ANSI text. Without a zone in the text the fields are
// local time and `localOffsetMs` (milliseconds to add to local time to get
// UTC) is added. True with the time value in *out; false when the text is
// not a date (the reading never goes past the terminator).
bool ParseDateText(const char* text, double localOffsetMs, double* out);

}  // namespace kelpo
