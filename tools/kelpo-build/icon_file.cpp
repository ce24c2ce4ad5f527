// Splitting icon files into icon resources.
#include "tools/kelpo-build/icon_file.h"

#include "host/byte_stream.h"

namespace kelpo::build {

namespace {

constexpr size_t kIconDirSize = 6;
constexpr size_t kIconDirEntrySize = 16;
constexpr size_t kGroupEntryPrefix = 12;  // the entry fields the group repeats

uint16_t LoadU16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

}  // namespace

bool SplitIconFile(const std::vector<uint8_t>& ico, uint16_t firstImageId, IconResources& out,
                   std::string& reason) {
    out = IconResources{};
    if (ico.size() < kIconDirSize || LoadU16(&ico[0]) != 0 || LoadU16(&ico[2]) != 1) {
        reason = "not an icon file";
        return false;
    }
    uint16_t count = LoadU16(&ico[4]);
    if (count == 0) {
        reason = "the icon file holds no images";
        return false;
    }
    if (ico.size() < kIconDirSize + count * kIconDirEntrySize) {
        reason = "the icon file's directory is cut short";
        return false;
    }
    if (static_cast<uint32_t>(firstImageId) + count > 0xFFFF) {
        reason = "too many images";
        return false;
    }
    WriteBytes(out.group, ico.data(), kIconDirSize);
    for (uint16_t i = 0; i < count; ++i) {
        const uint8_t* entry = &ico[kIconDirSize + i * kIconDirEntrySize];
        uint32_t size = LoadU32(entry + 8);
        uint32_t offset = LoadU32(entry + 12);
        if (size == 0 || offset > ico.size() || size > ico.size() - offset) {
            reason = "image " + std::to_string(i + 1) + " lies outside the icon file";
            out = IconResources{};
            return false;
        }
        auto id = static_cast<uint16_t>(firstImageId + i);
        out.images.push_back(
            {id, std::vector<uint8_t>(ico.begin() + offset, ico.begin() + offset + size)});
        WriteBytes(out.group, entry, kGroupEntryPrefix);
        WriteU16(out.group, id);
    }
    return true;
}

}  // namespace kelpo::build
