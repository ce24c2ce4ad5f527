// Where movies come from: file paths, relative paths (against the Base
// property, else the current folder) and file: URLs. Other URL schemes are
// not fetched; reading them fails.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelpo::control {

// The local path a movie reference names; empty when it names none.
std::wstring LocalPathOf(const std::wstring& reference, const std::wstring& base);
// False when the reference names no readable local file.
bool ReadMovieSource(const std::wstring& reference, const std::wstring& base,
                     std::vector<uint8_t>& bytes);
// "FWS" or "CWS": the bytes are a movie rather than a picture.
bool LooksLikeMovie(const std::vector<uint8_t>& bytes);

}  // namespace kelpo::control
