// CountedText: a u32 count N of UTF-16 code units (the terminating NUL
// included) followed by N UTF-16LE units. N = 0 reads as an empty text;
// writers always write the NUL. In memory texts are ANSI.
#pragma once

#include <cstddef>
#include <string>

#include "host/byte_stream.h"

namespace kelpo {

// Path texts live in fixed buffers of this size (at most 259 characters).
constexpr size_t kPathTextSize = 260;

std::string ReadCountedText(ByteReader& reader);
// Reads into a fixed buffer, cutting the text to capacity - 1 bytes.
void ReadCountedTextInto(ByteReader& reader, char* buffer, size_t capacity);
void WriteCountedText(ByteWriter& writer, const std::string& ansiText);

// Copies `text` into a fixed buffer, cut to capacity - 1 bytes.
void CopyToTextBuffer(char* buffer, size_t capacity, const std::string& text);

}  // namespace kelpo
