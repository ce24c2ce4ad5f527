// Percent-encoding of UTF-16 text as UTF-8 bytes, and its decoding: the
// core of the URI global functions, also used by DataFile for string values.
#pragma once

#include <cstdint>

#include "corelib/text_buffer.h"

namespace kelpo {

// Code units that encodeURIComponent keeps; encodeURI also keeps the
// reserved set.
extern const char kUriUnreserved[];
// Characters whose escapes decodeURI leaves as they stand.
extern const char kUriReserved[];

// Appends the encoding of the text to `out`, keeping the code units of the
// unreserved set and, when `keepReserved` is set, of the reserved set.
// False (with `out` partly written) for a broken surrogate pair.
bool UriEncode(const char16_t* text, uint32_t length, bool keepReserved, TextBuffer* out);

// Appends the decoding of the text to `out`; with `keepReserved` set an
// escape that decodes to a reserved character is copied as it stands.
// False (with `out` partly written) for a malformed escape or sequence.
bool UriDecode(const char16_t* text, uint32_t length, bool keepReserved, TextBuffer* out);

}  // namespace kelpo
