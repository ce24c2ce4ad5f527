// Base64 in the RFC 2045 alphabet, as the Encryption class writes and reads
// its data: no line breaks when writing; when reading, line breaks and
// blanks are skipped, anything else outside the alphabet or misplaced
// padding makes the text invalid.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

std::string EncodeBase64(const std::vector<uint8_t>& bytes);

// False (with `out` empty) when `text` is not valid base64.
bool DecodeBase64(const std::string& text, std::vector<uint8_t>& out);

}  // namespace kelpo
