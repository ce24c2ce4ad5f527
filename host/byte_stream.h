// Little-endian readers and writers over memory buffers: every project store
// is parsed from and written to memory, never straight from a file.
//
// A read past the end throws CTopBaseException, so a truncated store stops
// its reader at the first missing byte and never reads beyond the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

struct ByteReader {
    const uint8_t* data;
    size_t size;
    size_t position;
};

ByteReader MakeByteReader(const uint8_t* data, size_t size);
inline ByteReader MakeByteReader(const std::vector<uint8_t>& bytes) {
    return MakeByteReader(bytes.data(), bytes.size());
}

size_t RemainingBytes(const ByteReader& reader);
uint8_t ReadU8(ByteReader& reader);
uint16_t ReadU16(ByteReader& reader);
uint32_t ReadU32(ByteReader& reader);
// Returns a pointer to the next `count` bytes inside the buffer and moves past them.
const uint8_t* ReadBytes(ByteReader& reader, size_t count);
void SkipBytes(ByteReader& reader, size_t count);

using ByteWriter = std::vector<uint8_t>;

void WriteU8(ByteWriter& writer, uint8_t value);
void WriteU16(ByteWriter& writer, uint16_t value);
void WriteU32(ByteWriter& writer, uint32_t value);
void WriteBytes(ByteWriter& writer, const void* bytes, size_t count);

uint32_t LoadU32(const uint8_t* bytes);
void StoreU32(uint8_t* bytes, uint32_t value);

}  // namespace kelpo
