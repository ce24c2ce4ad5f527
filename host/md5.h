// MD5 message digest (RFC 1321), used for the integrity digest of the ID
// resource and for settings identities. Not a security boundary.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelpo {

struct Md5State {
    uint32_t a, b, c, d;
    uint64_t length;  // bytes hashed so far
    uint8_t block[64];
};

void Md5Begin(Md5State& state);
void Md5Add(Md5State& state, const void* bytes, size_t length);
void Md5End(Md5State& state, uint8_t digest[16]);
void Md5(const void* bytes, size_t length, uint8_t digest[16]);

}  // namespace kelpo
