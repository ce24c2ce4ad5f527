// libgcrypt behind the primitives of crypto_blocks.h. The library is set
// up once, on first use, without secure memory (nothing here needs locked
// pages, and asking for them prints warnings on some systems).
#include "syslib/crypto_blocks.h"

#include <gcrypt.h>

#include <algorithm>
#include <utility>

namespace kelpo {
namespace {

void EnsureLibrary() {
    static const bool ready = [] {
        gcry_check_version(nullptr);
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    (void)ready;
}

bool RunCipher(int algorithm, const uint8_t* key, size_t keyLength, bool encrypt, Bytes& data) {
    EnsureLibrary();
    if (data.size() % kCipherBlock != 0) return false;
    if (data.empty()) return true;
    gcry_cipher_hd_t handle = nullptr;
    if (gcry_cipher_open(&handle, algorithm, GCRY_CIPHER_MODE_ECB, 0) != 0) return false;
    // Derived keys may be weak ones; they must still work.
    gcry_cipher_ctl(handle, GCRYCTL_SET_ALLOW_WEAK_KEY, nullptr, 1);
    gcry_error_t status = gcry_cipher_setkey(handle, key, keyLength);
    if (gcry_err_code(status) == GPG_ERR_WEAK_KEY) status = 0;
    if (status == 0) {
        status = encrypt ? gcry_cipher_encrypt(handle, data.data(), data.size(), nullptr, 0)
                         : gcry_cipher_decrypt(handle, data.data(), data.size(), nullptr, 0);
    }
    gcry_cipher_close(handle);
    return status == 0;
}

// Reverses the byte order of every 32-bit half of every block.
void SwapHalves(Bytes& data) {
    for (size_t i = 0; i + 4 <= data.size(); i += 4) {
        std::swap(data[i], data[i + 3]);
        std::swap(data[i + 1], data[i + 2]);
    }
}

}  // namespace

void Md5Bytes(const uint8_t* bytes, size_t length, uint8_t digest[kMd5Size]) {
    EnsureLibrary();
    gcry_md_hash_buffer(GCRY_MD_MD5, digest, bytes, length);
}

void Md5Pieces(const BytePiece* pieces, size_t count, uint8_t digest[kMd5Size]) {
    EnsureLibrary();
    // Only a broken library fails here; a digest of zeros then matches no
    // stored one, so nothing passes for verified.
    std::fill(digest, digest + kMd5Size, 0);
    gcry_md_hd_t handle = nullptr;
    if (gcry_md_open(&handle, GCRY_MD_MD5, 0) != 0) return;
    for (size_t i = 0; i < count; ++i) gcry_md_write(handle, pieces[i].bytes, pieces[i].length);
    if (const unsigned char* result = gcry_md_read(handle, GCRY_MD_MD5))
        std::copy(result, result + kMd5Size, digest);
    gcry_md_close(handle);
}

bool Md5Stream(FILE* file, uint8_t digest[kMd5Size]) {
    EnsureLibrary();
    gcry_md_hd_t handle = nullptr;
    if (gcry_md_open(&handle, GCRY_MD_MD5, 0) != 0) return false;
    uint8_t buffer[65536];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, file)) > 0)
        gcry_md_write(handle, buffer, count);
    bool ok = ferror(file) == 0;
    if (ok) {
        const unsigned char* result = gcry_md_read(handle, GCRY_MD_MD5);
        ok = result != nullptr;
        if (ok) std::copy(result, result + kMd5Size, digest);
    }
    gcry_md_close(handle);
    return ok;
}

bool HmacMd5(const uint8_t* key, size_t keyLength, const uint8_t* bytes, size_t length,
             uint8_t digest[kMd5Size]) {
    EnsureLibrary();
    gcry_md_hd_t handle = nullptr;
    if (gcry_md_open(&handle, GCRY_MD_MD5, GCRY_MD_FLAG_HMAC) != 0) return false;
    // An empty key is a valid HMAC key; the library wants a pointer anyway.
    static const uint8_t kNoKey = 0;
    bool ok = gcry_md_setkey(handle, keyLength > 0 ? key : &kNoKey, keyLength) == 0;
    if (ok) {
        gcry_md_write(handle, bytes, length);
        const unsigned char* result = gcry_md_read(handle, GCRY_MD_MD5);
        ok = result != nullptr;
        if (ok) std::copy(result, result + kMd5Size, digest);
    }
    gcry_md_close(handle);
    return ok;
}

bool TripleDesEcb(const uint8_t key[kTripleDesKeySize], bool encrypt, Bytes& data) {
    return RunCipher(GCRY_CIPHER_3DES, key, kTripleDesKeySize, encrypt, data);
}

bool BlowfishEcb(const uint8_t key[kBlowfishKeySize], bool encrypt, Bytes& data) {
    SwapHalves(data);
    bool ok = RunCipher(GCRY_CIPHER_BLOWFISH, key, kBlowfishKeySize, encrypt, data);
    SwapHalves(data);
    return ok;
}

}  // namespace kelpo
