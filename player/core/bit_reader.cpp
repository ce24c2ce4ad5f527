// Byte and bit reading over a bounded buffer; see bit_reader.h.
#include "player/core/bit_reader.h"

#include <cstring>

namespace kelpo::player {

ByteReader MakeReader(const uint8_t* bytes, size_t length) {
    ByteReader reader;
    reader.bytes = bytes;
    reader.length = bytes ? length : 0;
    return reader;
}

size_t Remaining(const ByteReader& reader) {
    return reader.position < reader.length ? reader.length - reader.position : 0;
}

void AlignBits(ByteReader& reader) {
    if (reader.bitPosition != 0) {
        reader.bitPosition = 0;
        ++reader.position;
    }
}

uint8_t ReadU8(ByteReader& reader) {
    AlignBits(reader);
    if (reader.position >= reader.length) {
        reader.failed = true;
        return 0;
    }
    return reader.bytes[reader.position++];
}

uint16_t ReadU16(ByteReader& reader) {
    uint16_t low = ReadU8(reader);
    return static_cast<uint16_t>(low | ReadU8(reader) << 8);
}

uint32_t ReadU32(ByteReader& reader) {
    uint32_t low = ReadU16(reader);
    return low | static_cast<uint32_t>(ReadU16(reader)) << 16;
}

int16_t ReadS16(ByteReader& reader) { return static_cast<int16_t>(ReadU16(reader)); }

float ReadFloat(ByteReader& reader) {
    uint32_t bits = ReadU32(reader);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double ReadActionDouble(ByteReader& reader) {
    uint64_t high = ReadU32(reader);
    uint64_t low = ReadU32(reader);
    uint64_t bits = high << 32 | low;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string ReadString(ByteReader& reader) {
    AlignBits(reader);
    size_t start = reader.position;
    while (reader.position < reader.length && reader.bytes[reader.position] != 0) ++reader.position;
    if (reader.position >= reader.length) {
        reader.failed = true;
        return std::string();
    }
    std::string text(reinterpret_cast<const char*>(reader.bytes + start), reader.position - start);
    ++reader.position;  // the terminator
    return text;
}

void Skip(ByteReader& reader, size_t count) {
    AlignBits(reader);
    if (count > Remaining(reader)) {
        reader.position = reader.length;
        reader.failed = true;
        return;
    }
    reader.position += count;
}

uint32_t ReadUBits(ByteReader& reader, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        if (reader.position >= reader.length) {
            reader.failed = true;
            return 0;
        }
        uint32_t bit = (reader.bytes[reader.position] >> (7 - reader.bitPosition)) & 1;
        value = value << 1 | bit;
        if (++reader.bitPosition == 8) {
            reader.bitPosition = 0;
            ++reader.position;
        }
    }
    return value;
}

int32_t ReadSBits(ByteReader& reader, int count) {
    if (count <= 0) return 0;
    uint32_t raw = ReadUBits(reader, count);
    if (count < 32 && (raw >> (count - 1)) & 1) raw |= ~0u << count;
    return static_cast<int32_t>(raw);
}

double ReadFixedBits(ByteReader& reader, int count) { return ReadSBits(reader, count) / 65536.0; }

}  // namespace kelpo::player
