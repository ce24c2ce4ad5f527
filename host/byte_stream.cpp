// Little-endian memory readers and writers.
#include "host/byte_stream.h"

#include "host/host_exceptions.h"

namespace kelpo {

ByteReader MakeByteReader(const uint8_t* data, size_t size) {
    return ByteReader{data, data ? size : 0, 0};
}

size_t RemainingBytes(const ByteReader& reader) { return reader.size - reader.position; }

const uint8_t* ReadBytes(ByteReader& reader, size_t count) {
    if (count > RemainingBytes(reader)) throw CTopBaseException("Unexpected end of data");
    const uint8_t* at = reader.data + reader.position;
    reader.position += count;
    return at;
}

void SkipBytes(ByteReader& reader, size_t count) { ReadBytes(reader, count); }

uint8_t ReadU8(ByteReader& reader) { return *ReadBytes(reader, 1); }

uint16_t ReadU16(ByteReader& reader) {
    const uint8_t* b = ReadBytes(reader, 2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t LoadU32(const uint8_t* b) {
    return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
           (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

void StoreU32(uint8_t* b, uint32_t value) {
    for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t ReadU32(ByteReader& reader) { return LoadU32(ReadBytes(reader, 4)); }

void WriteU8(ByteWriter& writer, uint8_t value) { writer.push_back(value); }

void WriteU16(ByteWriter& writer, uint16_t value) {
    writer.push_back(static_cast<uint8_t>(value));
    writer.push_back(static_cast<uint8_t>(value >> 8));
}

void WriteU32(ByteWriter& writer, uint32_t value) {
    uint8_t b[4];
    StoreU32(b, value);
    writer.insert(writer.end(), b, b + 4);
}

void WriteBytes(ByteWriter& writer, const void* bytes, size_t count) {
    const uint8_t* b = static_cast<const uint8_t*>(bytes);
    writer.insert(writer.end(), b, b + count);
}

}  // namespace kelpo
