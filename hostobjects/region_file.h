// Region files (".msk" in the instance folder): a u32 byte count S, then S
// bytes of Win32 region data (an RGNDATA: a 32-byte header and rectangles).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

constexpr size_t kRegionHeaderSize = 32;

// The region data of a region file's bytes; false when the count is smaller
// than the header or larger than what follows it.
bool ParseRegionFile(const std::vector<uint8_t>& file, std::vector<uint8_t>& regionData);

// instanceFolder + name + ".msk", or "" when the name is not a bare name.
std::string RegionFilePath(const std::string& instanceFolder, const std::string& name);

}  // namespace kelpo
