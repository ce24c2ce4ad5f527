// Decodes a JPEG (or any picture OleLoadPicture reads) into 32-bit ARGB
// pixels for the core, top row first.
#pragma once

#include <cstdint>
#include <vector>

namespace kelpo::control {

bool DecodePicture(const std::vector<uint8_t>& bytes, std::vector<uint32_t>& pixels, int& width,
                   int& height);

}  // namespace kelpo::control
