// n.format(fmt): a number through a script-supplied printf-style format.
#pragma once

#include <cstdint>

#include "corelib/text_buffer.h"

namespace kelpo {

// The formatted text is at most this many code units (a 256-unit buffer
// with its terminator).
constexpr uint32_t kNumberFormatLimit = 255;

// Appends the number (an Integer or a Float) formatted with `format` to
// `out`. See number_format.cpp for the directives accepted.
void FormatNumber(const Value& number, const char16_t* format, uint32_t length, TextBuffer* out);

}  // namespace kelpo
