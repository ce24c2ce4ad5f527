// Drawing the control into memory; see drawing_support.h.
#include "tests/unit/player_control/drawing_support.h"

namespace kelpo::test {

bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        int difference =
            static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (difference > tolerance || difference < -tolerance) return false;
    }
    return true;
}

MemoryBitmap::MemoryBitmap(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ =
        CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    // A colour the control never draws, so untouched pixels show.
    for (int i = 0; i < width * height; ++i) bits_[i] = 0x00FF00;
}

MemoryBitmap::~MemoryBitmap() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

uint32_t MemoryBitmap::Pixel(int x, int y) const {
    GdiFlush();
    return bits_[y * width_ + x] & 0xFFFFFF;
}

HRESULT DrawInto(const HostedControl& control, const MemoryBitmap& bitmap, const RECTL& bounds) {
    IViewObject* view = nullptr;
    HRESULT result =
        control.unknown()->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view));
    if (FAILED(result)) return result;
    result = view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, bitmap.dc(), &bounds,
                        nullptr, nullptr, 0);
    view->Release();
    return result;
}

bool SaveBitmap(const std::wstring& path, const uint32_t* pixels, int width, int height) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = -height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    DWORD pixelBytes = static_cast<DWORD>(width * height * 4);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + pixelBytes;
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0, total = 0;
    WriteFile(handle, &file, sizeof file, &written, nullptr);
    total += written;
    WriteFile(handle, &info, sizeof info, &written, nullptr);
    total += written;
    WriteFile(handle, pixels, pixelBytes, &written, nullptr);
    total += written;
    CloseHandle(handle);
    return total == file.bfSize;
}

}  // namespace kelpo::test
