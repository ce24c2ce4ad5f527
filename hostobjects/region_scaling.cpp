#include "hostobjects/region_scaling.h"

#include <algorithm>

#include "hostobjects/region_file.h"

namespace kelpo {
namespace {

int32_t ReadI32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 |
                                static_cast<uint32_t>(p[3]) << 24);
}

void WriteI32(uint8_t* p, int32_t value) {
    const uint32_t v = static_cast<uint32_t>(value);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

constexpr size_t kRectSize = 16;

}  // namespace

bool ScaleRegionData(const std::vector<uint8_t>& data, const MovieLayout& layout,
                     std::vector<uint8_t>& scaled) {
    scaled.clear();
    if (data.size() < kRegionHeaderSize) return false;
    const uint32_t counted = static_cast<uint32_t>(ReadI32(&data[8]));
    const size_t present = (data.size() - kRegionHeaderSize) / kRectSize;
    const size_t count = std::min<size_t>(counted, present);
    scaled.assign(kRegionHeaderSize + count * kRectSize, 0);
    WriteI32(&scaled[0], static_cast<int32_t>(kRegionHeaderSize));  // dwSize
    WriteI32(&scaled[4], 1);                                        // RDH_RECTANGLES
    WriteI32(&scaled[8], static_cast<int32_t>(count));
    WriteI32(&scaled[12], static_cast<int32_t>(count * kRectSize));
    int32_t boundLeft = 0, boundTop = 0, boundRight = 0, boundBottom = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* in = &data[kRegionHeaderSize + i * kRectSize];
        int32_t left = ReadI32(in), top = ReadI32(in + 4), right = ReadI32(in + 8),
                bottom = ReadI32(in + 12);
        WindowRect mapped;
        if (MovieToWindow(layout, left, right, top, bottom, mapped)) {
            left = mapped.left, top = mapped.top, right = mapped.right, bottom = mapped.bottom;
        }
        uint8_t* out = &scaled[kRegionHeaderSize + i * kRectSize];
        WriteI32(out, left);
        WriteI32(out + 4, top);
        WriteI32(out + 8, right);
        WriteI32(out + 12, bottom);
        if (i == 0) {
            boundLeft = left, boundTop = top, boundRight = right, boundBottom = bottom;
        } else {
            boundLeft = std::min(boundLeft, left), boundTop = std::min(boundTop, top);
            boundRight = std::max(boundRight, right), boundBottom = std::max(boundBottom, bottom);
        }
    }
    WriteI32(&scaled[16], boundLeft);
    WriteI32(&scaled[20], boundTop);
    WriteI32(&scaled[24], boundRight);
    WriteI32(&scaled[28], boundBottom);
    return true;
}

}  // namespace kelpo
