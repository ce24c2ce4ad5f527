// Supersampled drawing; see supersampling.h.
#include "player/control/supersampling.h"

#include <cstdint>
#include <vector>

namespace kelpo::control {

namespace {

// A 32-bit top-down DIB section selected into its own memory DC.
struct DibCanvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;

    DibCanvas(HDC like, int width, int height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc = CreateCompatibleDC(like);
        if (!dc) return;
        void* pixels = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        if (bitmap) old = SelectObject(dc, bitmap);
        bits = static_cast<uint32_t*>(pixels);
    }
    ~DibCanvas() {
        if (old) SelectObject(dc, old);
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;
};

}  // namespace

bool DrawSupersampled(HDC dc, const RECT& bounds, int factor,
                      const std::function<void(HDC large, const RECT& area)>& draw) {
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    // Beyond this size the large bitmap costs more than smooth edges are worth.
    if (width <= 0 || height <= 0 || factor < 2 ||
        static_cast<int64_t>(width) * height * factor * factor > 40000000)
        return false;
    DibCanvas large(dc, width * factor, height * factor);
    DibCanvas small(dc, width, height);
    if (!large.bits || !small.bits) return false;
    draw(large.dc, RECT{0, 0, width * factor, height * factor});
    GdiFlush();
    const int count = factor * factor;
    const size_t stride = static_cast<size_t>(width) * factor;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t sum[3] = {0, 0, 0};
            for (int dy = 0; dy < factor; ++dy) {
                const uint32_t* row =
                    large.bits + (static_cast<size_t>(y) * factor + dy) * stride + x * factor;
                for (int dx = 0; dx < factor; ++dx)
                    for (int c = 0; c < 3; ++c) sum[c] += (row[dx] >> (8 * c)) & 0xFF;
            }
            uint32_t pixel = 0;
            for (int c = 0; c < 3; ++c) pixel |= ((sum[c] + count / 2) / count) << (8 * c);
            small.bits[static_cast<size_t>(y) * width + x] = pixel;
        }
    BitBlt(dc, bounds.left, bounds.top, width, height, small.dc, 0, 0, SRCCOPY);
    return true;
}

}  // namespace kelpo::control
