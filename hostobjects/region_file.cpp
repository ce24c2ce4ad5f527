#include "hostobjects/region_file.h"

#include "host/safe_names.h"

namespace kelpo {

bool ParseRegionFile(const std::vector<uint8_t>& file, std::vector<uint8_t>& regionData) {
    regionData.clear();
    if (file.size() < 4) return false;
    uint32_t size = static_cast<uint32_t>(file[0]) | static_cast<uint32_t>(file[1]) << 8 |
                    static_cast<uint32_t>(file[2]) << 16 | static_cast<uint32_t>(file[3]) << 24;
    if (size < kRegionHeaderSize || size > file.size() - 4) return false;
    regionData.assign(file.begin() + 4, file.begin() + 4 + size);
    return true;
}

std::string RegionFilePath(const std::string& instanceFolder, const std::string& name) {
    std::string file = name + ".msk";
    if (instanceFolder.empty() || name.empty() || !IsBareFileName(file)) return "";
    return instanceFolder + file;
}

}  // namespace kelpo
