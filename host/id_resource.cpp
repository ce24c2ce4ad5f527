// The ID resource and the settings identity.
#include "host/id_resource.h"

#include <cstring>

#include "platform/ansi.h"
#include "syslib/crypto_blocks.h"

namespace kelpo {

namespace {

// The digest covers a fixed prefix as well, so a digest of the bare bytes
// (what a naive edit would recompute) does not verify.
const char kDigestSalt[] = "Kelpo projector ID resource";

void IdDigest(const uint8_t* bytes, size_t length, uint8_t digest[16]) {
    const BytePiece pieces[] = {{kDigestSalt, sizeof kDigestSalt - 1}, {bytes, length}};
    Md5Pieces(pieces, 2, digest);
}

}  // namespace

bool ReadIdResource(const uint8_t* bytes, size_t length, const std::string& applicationName,
                    ProjectIdentity& identity) {
    if (!bytes || length <= kIdTrailerSize) return false;
    uint8_t digest[16];
    IdDigest(bytes, length - 16, digest);
    if (std::memcmp(digest, bytes + length - 16, 16) != 0) return false;

    size_t units = (length - kIdTrailerSize) / 2;
    std::u16string text;
    bool terminated = false;
    for (size_t i = 0; i < units; ++i) {
        char16_t unit = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        if (unit == 0) {
            terminated = true;
            break;
        }
        text.push_back(unit);
    }
    if (!terminated) return false;

    std::string ansi(text.size() * 2, '\0');
    ansi.resize(text.empty() ? 0 : Utf16ToAnsi(text.data(), text.size(), &ansi[0], ansi.size()));
    identity.text = ansi;
    size_t slash = ansi.find('/');
    if (slash == std::string::npos) {
        identity.key = ansi;
        identity.profile = applicationName;
    } else {
        identity.key = ansi.substr(0, slash);
        identity.profile = ansi.substr(slash + 1);
    }
    return true;
}

std::vector<uint8_t> WriteIdResource(const std::string& registryText) {
    std::u16string units(registryText.size() + 1, u'\0');
    size_t count = registryText.empty() ? 0
                                        : AnsiToUtf16(registryText.data(), registryText.size(),
                                                      &units[0], units.size());
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < count; ++i) {
        bytes.push_back(static_cast<uint8_t>(units[i]));
        bytes.push_back(static_cast<uint8_t>(units[i] >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    bytes.insert(bytes.end(), 16, 0);  // reserved
    uint8_t digest[16];
    IdDigest(bytes.data(), bytes.size(), digest);
    bytes.insert(bytes.end(), digest, digest + 16);
    return bytes;
}

std::vector<uint8_t> ComputeSettingsIdentity(const std::vector<uint8_t>& settingsStream) {
    uint8_t digest[16];
    Md5Bytes(settingsStream.data(), settingsStream.size(), digest);
    return std::vector<uint8_t>(digest, digest + 16);
}

}  // namespace kelpo
