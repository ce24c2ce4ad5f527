// The zlib side of StringStream: compression and decompression of a whole
// content into a new ByteStream, and the CRC-32 of a content.
#pragma once

#include <cstddef>
#include <cstdint>

#include "syslib/byte_stream.h"

namespace kelpo {

// The zlib (RFC 1950) compression of the bytes at `level` (0 to 9),
// appended to `out`; false on any zlib or allocation failure.
bool CompressInto(const uint8_t* bytes, size_t length, int level, ByteStream* out);

// The decompression of one complete zlib stream at the start of the bytes
// (what follows its end is ignored), appended to `out`. False when the
// data is not zlib data, is damaged, ends before the end of its stream, or
// would grow `out` past its limit.
bool UncompressInto(const uint8_t* bytes, size_t length, ByteStream* out);

// zlib's crc32 of the bytes, from the start value 0.
uint32_t Crc32Of(const uint8_t* bytes, size_t length);

}  // namespace kelpo
