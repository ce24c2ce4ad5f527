// Conversion between UTF-16 script text and the ANSI code page.
//
// Narrow text crosses every boundary of the engine in the ANSI code page: the
// system's active code page on Windows, Windows-1252 elsewhere. Characters the
// code page cannot represent become '?'; nothing is ever "best fitted".
#pragma once

#include <cstddef>

namespace kelpo {

// Converts `length` ANSI bytes into UTF-16 code units. With a null `out`
// returns the number of units needed; otherwise writes at most `capacity`
// units and returns how many were written (0 when the conversion failed).
size_t AnsiToUtf16(const char* text, size_t length, char16_t* out, size_t capacity);

// Converts `length` UTF-16 units into ANSI bytes, two bytes per unit at most.
// Same conventions as AnsiToUtf16; the output is not NUL-terminated.
size_t Utf16ToAnsi(const char16_t* text, size_t length, char* out, size_t capacity);

}  // namespace kelpo
