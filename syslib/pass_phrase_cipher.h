// Encryption of text under a pass phrase, as the Encryption class offers
// it: keys derived from the phrase, zero padding to whole 8-byte blocks,
// ECB, and base64 for the encrypted data.
//
// Key derivation:
//   folded key (8 bytes): start from zeros; phrase byte b at position i is
//     xor'ed, when i mod 16 < 8, as (b << 1) into byte i mod 8, otherwise
//     with its bit order reversed into byte 7 - (i mod 8);
//   Triple DES key (24): MD5(phrase) + folded key;
//   Blowfish key (56): MD5(folded key) + MD5(phrase) + MD5(phrase) under
//     Triple DES with the built-in key kBuiltInTripleDesKey + folded key.
#pragma once

#include <cstdint>
#include <string>

#include "syslib/crypto_blocks.h"

namespace kelpo {

enum class PhraseCipher { kBlowfish, kTripleDes };

// The fixed Triple DES key of the Blowfish key derivation. Data encrypted
// by Blowfish under any other value cannot be decrypted here.
extern const uint8_t kBuiltInTripleDesKey[kTripleDesKeySize];

void FoldPhrase(const std::string& phrase, uint8_t folded[kCipherBlock]);
void TripleDesKeyOf(const std::string& phrase, uint8_t key[kTripleDesKeySize]);
// False only when the library fails.
bool BlowfishKeyOf(const std::string& phrase, uint8_t key[kBlowfishKeySize]);

// The base64 of `text` zero-padded to whole blocks and encrypted; false
// only when the library fails.
bool EncryptText(PhraseCipher cipher, const std::string& phrase, const std::string& text,
                 std::string& out);

// The text of base64 `data` decrypted, up to its first zero byte. False
// when `data` is not base64 of whole 8-byte blocks (nothing is decrypted
// from a damaged text) or the library fails.
bool DecryptText(PhraseCipher cipher, const std::string& phrase, const std::string& data,
                 std::string& out);

}  // namespace kelpo
