// MD5 after RFC 1321.
#include "host/md5.h"

#include <cstring>

namespace kelpo {

namespace {

const uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

const uint8_t kShift[64] = {
    7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 5,  9,  14, 20, 5,  9,
    14, 20, 5,  9,  14, 20, 5,  9,  14, 20, 4,  11, 16, 23, 4,  11, 16, 23, 4,  11, 16, 23,
    4,  11, 16, 23, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21,
};

uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

void Transform(Md5State& s, const uint8_t* block) {
    uint32_t m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = block[4 * i] | (block[4 * i + 1] << 8) | (block[4 * i + 2] << 16) |
               (static_cast<uint32_t>(block[4 * i + 3]) << 24);
    uint32_t a = s.a, b = s.b, c = s.c, d = s.d;
    for (int i = 0; i < 64; ++i) {
        uint32_t f;
        int g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
        }
        uint32_t next = d;
        d = c;
        c = b;
        b = b + RotateLeft(a + f + kSine[i] + m[g], kShift[i]);
        a = next;
    }
    s.a += a;
    s.b += b;
    s.c += c;
    s.d += d;
}

}  // namespace

void Md5Begin(Md5State& state) {
    state.a = 0x67452301;
    state.b = 0xefcdab89;
    state.c = 0x98badcfe;
    state.d = 0x10325476;
    state.length = 0;
}

void Md5Add(Md5State& state, const void* bytes, size_t length) {
    const uint8_t* in = static_cast<const uint8_t*>(bytes);
    size_t used = static_cast<size_t>(state.length % 64);
    state.length += length;
    while (length > 0) {
        size_t take = 64 - used < length ? 64 - used : length;
        std::memcpy(state.block + used, in, take);
        used += take;
        in += take;
        length -= take;
        if (used == 64) {
            Transform(state, state.block);
            used = 0;
        }
    }
}

void Md5End(Md5State& state, uint8_t digest[16]) {
    uint64_t bits = state.length * 8;
    static const uint8_t kPad[64] = {0x80};
    size_t used = static_cast<size_t>(state.length % 64);
    Md5Add(state, kPad, used < 56 ? 56 - used : 120 - used);
    uint8_t lengthBytes[8];
    for (int i = 0; i < 8; ++i) lengthBytes[i] = static_cast<uint8_t>(bits >> (8 * i));
    Md5Add(state, lengthBytes, 8);
    const uint32_t words[4] = {state.a, state.b, state.c, state.d};
    for (int i = 0; i < 16; ++i) digest[i] = static_cast<uint8_t>(words[i / 4] >> (8 * (i % 4)));
}

void Md5(const void* bytes, size_t length, uint8_t digest[16]) {
    Md5State state;
    Md5Begin(state);
    Md5Add(state, bytes, length);
    Md5End(state, digest);
}

}  // namespace kelpo
