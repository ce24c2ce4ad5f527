#include "host/transparent_pixels.h"

#include <cmath>
#include <cstdlib>

namespace kelpo {

namespace {
int Channel(uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }
}  // namespace

void DeriveAlpha(const uint32_t* overBlack, const uint32_t* overWhite, uint32_t* out,
                 size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const uint32_t black = overBlack[i], white = overWhite[i];
        int difference = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            int d = std::abs(Channel(white, shift) - Channel(black, shift));
            if (d > difference) difference = d;
        }
        const uint32_t alpha = static_cast<uint32_t>(255 - difference);
        out[i] = (black & 0x00FFFFFF) | alpha << 24;
    }
}

std::vector<PixelRect> OpaqueRuns(const uint32_t* pixels, int width, int height) {
    std::vector<PixelRect> runs;
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < width;) {
            if ((row[x] >> 24) != 0xFF) {
                ++x;
                continue;
            }
            int start = x;
            while (x < width && (row[x] >> 24) == 0xFF) ++x;
            runs.push_back(PixelRect{start, y, x, y + 1});
        }
    }
    return runs;
}

int MoviePixelsOf(const std::string& text) {
    if (text.empty()) return 0;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(value == value)) return 0;
    if (value > 1e9) value = 1e9;
    if (value < -1e9) value = -1e9;
    return static_cast<int>(std::trunc(value));
}

}  // namespace kelpo
