// The cryptographic primitives of the Encryption class and of the
// projector's identity digests, and the mail client's CRAM-MD5, from
// libgcrypt: MD5, HMAC-MD5, and Triple DES and Blowfish on whole 8-byte blocks in ECB mode.
//
// Keys are used as given: weak and semi-weak keys are accepted (keys here
// are derived from pass phrases, and an empty phrase folds to all zeros),
// and DES parity bits are ignored by the key schedule.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace kelpo {

constexpr size_t kMd5Size = 16;
constexpr size_t kCipherBlock = 8;
constexpr size_t kTripleDesKeySize = 24;
constexpr size_t kBlowfishKeySize = 56;

using Bytes = std::vector<uint8_t>;

// MD5 (RFC 1321) of the bytes.
void Md5Bytes(const uint8_t* bytes, size_t length, uint8_t digest[kMd5Size]);

// MD5 of several pieces taken one after the other, without joining them.
struct BytePiece {
    const void* bytes;
    size_t length;
};
void Md5Pieces(const BytePiece* pieces, size_t count, uint8_t digest[kMd5Size]);

// MD5 of the rest of an open file; false when reading fails (a folder, an
// I/O error), so that a failure never passes for the digest of nothing.
bool Md5Stream(FILE* file, uint8_t digest[kMd5Size]);

// HMAC-MD5 (RFC 2104) of the bytes under the key (a key longer than 64
// bytes stands for its MD5, as the RFC says); false when the library
// refuses.
bool HmacMd5(const uint8_t* key, size_t keyLength, const uint8_t* bytes, size_t length,
             uint8_t digest[kMd5Size]);

// Triple DES, encrypt-decrypt-encrypt with the three 8-byte thirds of
// `key`, in place on `data` (a multiple of 8 bytes). False when the library
// refuses (it should not).
bool TripleDesEcb(const uint8_t key[kTripleDesKeySize], bool encrypt, Bytes& data);

// Blowfish under the 56-byte key, in place on `data` (a multiple of 8
// bytes). Each block is two 32-bit halves stored little-endian; the cipher
// itself reads them big-endian, so each half is reversed around it.
bool BlowfishEcb(const uint8_t key[kBlowfishKeySize], bool encrypt, Bytes& data);

}  // namespace kelpo
