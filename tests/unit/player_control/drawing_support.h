// Drawing the control into memory: a 32-bit top-down bitmap to draw into
// and read pixels from, IViewObject::Draw into it, colour comparison with a
// tolerance, and bitmap files for people to look at.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "tests/unit/player_control/control_harness.h"

namespace kelpo::test {

// Every channel within `tolerance` of the other colour's (0xRRGGBB).
bool Near(uint32_t a, uint32_t b, int tolerance = 12);

// A 32-bit top-down memory bitmap.
class MemoryBitmap {
public:
    MemoryBitmap(int width, int height);
    ~MemoryBitmap();
    MemoryBitmap(const MemoryBitmap&) = delete;
    MemoryBitmap& operator=(const MemoryBitmap&) = delete;
    HDC dc() const { return dc_; }
    uint32_t Pixel(int x, int y) const;  // 0xRRGGBB
    int width() const { return width_; }
    int height() const { return height_; }
    const uint32_t* bits() const { return bits_; }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

HRESULT DrawInto(const HostedControl& control, const MemoryBitmap& bitmap, const RECTL& bounds);
// Writes a 32-bit bitmap file.
bool SaveBitmap(const std::wstring& path, const uint32_t* pixels, int width, int height);

}  // namespace kelpo::test
