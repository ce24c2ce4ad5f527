// Reading movie bytes: little-endian integers, zero-terminated strings and
// bit-packed fields. Reads past the end yield zeros and set `failed`, so a
// caller checks once after a record instead of after every field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelpo::player {

struct ByteReader {
    const uint8_t* bytes = nullptr;
    size_t length = 0;
    size_t position = 0;
    int bitPosition = 0;  // bits of bytes[position] already used (0 = aligned)
    bool failed = false;
};

ByteReader MakeReader(const uint8_t* bytes, size_t length);
size_t Remaining(const ByteReader& reader);
void AlignBits(ByteReader& reader);
uint8_t ReadU8(ByteReader& reader);
uint16_t ReadU16(ByteReader& reader);
uint32_t ReadU32(ByteReader& reader);
int16_t ReadS16(ByteReader& reader);
float ReadFloat(ByteReader& reader);
// The action format's double: two little-endian 32-bit halves, high half first.
double ReadActionDouble(ByteReader& reader);
std::string ReadString(ByteReader& reader);
void Skip(ByteReader& reader, size_t count);
uint32_t ReadUBits(ByteReader& reader, int count);
int32_t ReadSBits(ByteReader& reader, int count);
// 16.16 fixed point read as `count` signed bits.
double ReadFixedBits(ByteReader& reader, int count);

}  // namespace kelpo::player
