// The ID resource: a NUL-terminated UTF-16 text "key/profile" followed by a
// 32-byte trailer of 16 reserved bytes and a 16-byte digest of everything
// before the digest. The text fixes where saved options live in the registry:
// HKEY_CURRENT_USER\Software\<key>\<profile>\Settings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

constexpr size_t kIdTrailerSize = 32;

struct ProjectIdentity {
    std::string text;  // the whole registry text (ANSI)
    std::string key;
    std::string profile;
};

// Verifies and splits an ID resource; false when it is missing, too short,
// unterminated or its digest does not match. Without a "/" the whole text is
// the key and `applicationName` the profile.
bool ReadIdResource(const uint8_t* bytes, size_t length, const std::string& applicationName,
                    ProjectIdentity& identity);
std::vector<uint8_t> WriteIdResource(const std::string& registryText);

// The 16-byte settings identity of a packaged settings stream: it changes
// whenever the stream's bytes change.
std::vector<uint8_t> ComputeSettingsIdentity(const std::vector<uint8_t>& settingsStream);

}  // namespace kelpo
