// Icon files (.ico) split into the resources Windows looks icons up by: one
// RT_ICON per image and an RT_GROUP_ICON directory naming them by id.
//
// An .ico file is a u16 0, u16 1, u16 count, then count 16-byte entries
// (width, height, colour count, reserved, u16 planes, u16 bit count, u32
// size, u32 offset of the image in the file). The group directory repeats
// the header and each entry's first 12 bytes, followed by a u16 image id.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelpo::build {

constexpr uint16_t kResourceTypeIcon = 3;        // RT_ICON
constexpr uint16_t kResourceTypeGroupIcon = 14;  // RT_GROUP_ICON

struct IconImage {
    uint16_t id;
    std::vector<uint8_t> bytes;
};

struct IconResources {
    std::vector<IconImage> images;
    std::vector<uint8_t> group;
};

// Splits an .ico file, numbering its images from `firstImageId`; false with
// the reason when the bytes are not a well-formed icon file.
bool SplitIconFile(const std::vector<uint8_t>& ico, uint16_t firstImageId, IconResources& out,
                   std::string& reason);

}  // namespace kelpo::build
