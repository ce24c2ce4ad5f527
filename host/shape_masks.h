// The shape-mask list (resource "RG"): u32 count, then per mask a
// CountedText name, a u32 length L and L bytes, extracted as name + ".msk".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

struct ShapeMask {
    std::string name;
    std::vector<uint8_t> content;
};

// Appends every mask name to `names` and writes each non-empty mask to
// instanceFolder + name + ".msk". A damaged entry is reported and ends the list.
void ReadShapeMasks(const uint8_t* bytes, size_t length, const std::string& instanceFolder,
                    std::vector<std::string>& names);
std::vector<uint8_t> WriteShapeMasks(const std::vector<ShapeMask>& masks);

}  // namespace kelpo
