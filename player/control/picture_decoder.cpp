// Picture decoding through OleLoadPicture: the picture renders into a
// 32-bit DIB section whose pixels are then made opaque.
#include "player/control/picture_decoder.h"

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

namespace kelpo::control {

namespace {

constexpr double kHimetricPerInch = 2540.0;

// A stream over a copy of the bytes, released with the stream.
IStream* StreamOver(const std::vector<uint8_t>& bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory) return nullptr;
    void* data = GlobalLock(memory);
    if (!data) {
        GlobalFree(memory);
        return nullptr;
    }
    memcpy(data, bytes.data(), bytes.size());
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    return stream;
}

// The description of a 32-bit top-down DIB of the given size.
BITMAPINFO TopDownBitmapInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// Bitmap pictures (JPEG, BMP, GIF) hold a GDI bitmap: its pixels at their
// own size, without scaling through the screen's resolution.
bool BitmapPixels(IPicture* picture, std::vector<uint32_t>& pixels, int& width, int& height) {
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP ||
        FAILED(picture->get_Handle(&handle)))
        return false;
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    BITMAP description;
    if (!GetObjectW(bitmap, sizeof description, &description)) return false;
    width = description.bmWidth;
    height = description.bmHeight;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return false;
    BITMAPINFO info = TopDownBitmapInfo(width, height);
    pixels.assign(static_cast<size_t>(width) * height, 0);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info,
                         DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height) return false;
    for (uint32_t& pixel : pixels) pixel |= 0xFF000000u;
    return true;
}

// Other pictures (metafiles, icons) render at the screen's resolution.
bool RenderToPixels(IPicture* picture, std::vector<uint32_t>& pixels, int& width, int& height) {
    OLE_XSIZE_HIMETRIC himetricWidth = 0;
    OLE_YSIZE_HIMETRIC himetricHeight = 0;
    picture->get_Width(&himetricWidth);
    picture->get_Height(&himetricHeight);
    HDC screen = GetDC(nullptr);
    width = MulDiv(himetricWidth, GetDeviceCaps(screen, LOGPIXELSX),
                   static_cast<int>(kHimetricPerInch));
    height = MulDiv(himetricHeight, GetDeviceCaps(screen, LOGPIXELSY),
                    static_cast<int>(kHimetricPerInch));
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        ReleaseDC(nullptr, screen);
        return false;
    }
    BITMAPINFO info = TopDownBitmapInfo(width, height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    bool ok = bitmap && dc && bits;
    if (ok) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        // IPicture::Render draws bottom-up in HIMETRIC source units.
        ok = SUCCEEDED(picture->Render(dc, 0, 0, width, height, 0, himetricHeight, himetricWidth,
                                       -himetricHeight, nullptr));
        GdiFlush();
        SelectObject(dc, old);
        if (ok) {
            const uint32_t* source = static_cast<const uint32_t*>(bits);
            pixels.assign(source, source + static_cast<size_t>(width) * height);
            for (uint32_t& pixel : pixels) pixel |= 0xFF000000u;
        }
    }
    if (dc) DeleteDC(dc);
    if (bitmap) DeleteObject(bitmap);
    return ok;
}

}  // namespace

bool DecodePicture(const std::vector<uint8_t>& bytes, std::vector<uint32_t>& pixels, int& width,
                   int& height) {
    if (bytes.size() < 4) return false;
    IStream* stream = StreamOver(bytes);
    if (!stream) return false;
    IPicture* picture = nullptr;
    HRESULT result = OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                    reinterpret_cast<void**>(&picture));
    stream->Release();
    if (FAILED(result) || !picture) return false;
    bool ok = false;
    try {
        ok = BitmapPixels(picture, pixels, width, height) ||
             RenderToPixels(picture, pixels, width, height);
    } catch (...) {
        ok = false;
    }
    picture->Release();
    return ok;
}

}  // namespace kelpo::control
