// Pass-phrase keys, padding and the text form of the Encryption class's
// Blowfish and Triple DES (see pass_phrase_cipher.h).
#include "syslib/pass_phrase_cipher.h"

#include <cstring>

#include "syslib/base64_text.h"

namespace kelpo {

const uint8_t kBuiltInTripleDesKey[kTripleDesKeySize] = {
    0x4b, 0x65, 0x6c, 0x70, 0x6f, 0x21, 0x53, 0x63,  // three different thirds,
    0xa7, 0x19, 0xe2, 0x5c, 0x3d, 0x90, 0x6e, 0xf4,  // none of them weak
    0x28, 0xb3, 0x71, 0xcd, 0x0a, 0x5f, 0x96, 0xe1,
};

namespace {

uint8_t ReverseBits(uint8_t b) {
    uint8_t r = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (b & (1u << bit)) r |= uint8_t(0x80u >> bit);
    }
    return r;
}

void Md5Text(const std::string& text, uint8_t* digest) {
    Md5Bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size(), digest);
}

}  // namespace

void FoldPhrase(const std::string& phrase, uint8_t folded[kCipherBlock]) {
    std::memset(folded, 0, kCipherBlock);
    for (size_t i = 0; i < phrase.size(); ++i) {
        uint8_t b = static_cast<uint8_t>(phrase[i]);
        if (i % 16 < 8) {
            folded[i % 8] ^= uint8_t(b << 1);
        } else {
            folded[7 - i % 8] ^= ReverseBits(b);
        }
    }
}

void TripleDesKeyOf(const std::string& phrase, uint8_t key[kTripleDesKeySize]) {
    Md5Text(phrase, key);
    FoldPhrase(phrase, key + kMd5Size);
}

bool BlowfishKeyOf(const std::string& phrase, uint8_t key[kBlowfishKeySize]) {
    uint8_t folded[kCipherBlock];
    FoldPhrase(phrase, folded);
    Md5Bytes(folded, sizeof folded, key);
    Md5Text(phrase, key + kMd5Size);
    Bytes hidden(key + kMd5Size, key + 2 * kMd5Size);
    if (!TripleDesEcb(kBuiltInTripleDesKey, true, hidden)) return false;
    std::memcpy(key + 2 * kMd5Size, hidden.data(), kMd5Size);
    std::memcpy(key + 3 * kMd5Size, folded, kCipherBlock);
    return true;
}

namespace {

bool RunPhraseCipher(PhraseCipher cipher, const std::string& phrase, bool encrypt, Bytes& data) {
    if (cipher == PhraseCipher::kBlowfish) {
        uint8_t key[kBlowfishKeySize];
        return BlowfishKeyOf(phrase, key) && BlowfishEcb(key, encrypt, data);
    }
    uint8_t key[kTripleDesKeySize];
    TripleDesKeyOf(phrase, key);
    return TripleDesEcb(key, encrypt, data);
}

}  // namespace

bool EncryptText(PhraseCipher cipher, const std::string& phrase, const std::string& text,
                 std::string& out) {
    Bytes data(text.begin(), text.end());
    data.resize((data.size() + kCipherBlock - 1) / kCipherBlock * kCipherBlock, 0);
    if (!RunPhraseCipher(cipher, phrase, true, data)) return false;
    out = EncodeBase64(data);
    return true;
}

bool DecryptText(PhraseCipher cipher, const std::string& phrase, const std::string& data,
                 std::string& out) {
    Bytes bytes;
    if (!DecodeBase64(data, bytes) || bytes.size() % kCipherBlock != 0) return false;
    if (!RunPhraseCipher(cipher, phrase, false, bytes)) return false;
    size_t end = 0;
    while (end < bytes.size() && bytes[end] != 0) ++end;
    out.assign(bytes.begin(), bytes.begin() + end);
    return true;
}

}  // namespace kelpo
