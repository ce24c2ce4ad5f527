#include "host/transparent_window.h"

#include <string>
#include <vector>

#include "host/player_dispatch.h"
#include "host/shockwave_flash.h"
#include "host/transparent_pixels.h"
#include "hostobjects/movie_to_window.h"
#include "syslib/sprite_target.h"

namespace kelpo {

namespace {

using UpdateLayeredFunction = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                            BLENDFUNCTION*, DWORD);

UpdateLayeredFunction UpdateLayered() {
    static auto update = reinterpret_cast<UpdateLayeredFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "UpdateLayeredWindow")));
    return update;
}

bool LayeredWindowsAvailable() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return UpdateLayered() != nullptr && user32 &&
           GetProcAddress(user32, "SetLayeredWindowAttributes") != nullptr;
}

HBITMAP MakeSurface(HDC dc, int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

std::string VariableText(IDispatch* control, const std::string& name) {
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_BSTR;
    std::wstring wide(name.begin(), name.end());
    argument.bstrVal = SysAllocString(wide.c_str());
    VARIANT result;
    VariantInit(&result);
    std::string text;
    if (SUCCEEDED(CallPlayerMethod(control, player_id::kGetVariable, &argument, 1, &result)) &&
        result.vt == VT_BSTR)
        text = BstrToAnsi(result.bstrVal);
    VariantClear(&argument);
    VariantClear(&result);
    return text;
}

}  // namespace

TransparentWindow::TransparentWindow(HWND mainWindow, CShockwaveFlash& player)
    : main_(mainWindow), player_(player) {
    GetWindowRect(main_, &savedRect_);
    savedExStyle_ = static_cast<LONG>(GetWindowLongPtrA(main_, GWL_EXSTYLE));
    savedBackground_ = GetPlayerLong(player_.Player(), player_id::kBackgroundColor, -1);
    layered_ = LayeredWindowsAvailable();
    if (layered_) SetWindowLongPtrA(main_, GWL_EXSTYLE, savedExStyle_ | WS_EX_LAYERED);
    InvalidateRect(player_.Handle(), nullptr, FALSE);
}

TransparentWindow::~TransparentWindow() {
    FreeSurfaces();
    SetWindowLongPtrA(main_, GWL_EXSTYLE, savedExStyle_ & ~WS_EX_LAYERED);
    if (!layered_) SetWindowRgn(main_, nullptr, TRUE);
    if (savedBackground_ >= 0)
        PutPlayerLong(player_.Player(), player_id::kBackgroundColor, savedBackground_);
    SetWindowPos(main_, nullptr, savedRect_.left, savedRect_.top,
                 savedRect_.right - savedRect_.left, savedRect_.bottom - savedRect_.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // The player fills the client area again.
    RECT client{};
    GetClientRect(main_, &client);
    player_.Move(client);
    if (HWND player = player_.Handle())
        SetWindowPos(player, nullptr, 0, 0, client.right, client.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool TransparentWindow::EnsureSurfaces(int width, int height) {
    if (width == width_ && height == height_ && dc_) return true;
    FreeSurfaces();  // the player was resized: new surfaces of its size
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    overBlack_ = MakeSurface(screen, width, height, &blackBits_);
    overWhite_ = MakeSurface(screen, width, height, &whiteBits_);
    result_ = MakeSurface(screen, width, height, &resultBits_);
    ReleaseDC(nullptr, screen);
    width_ = width, height_ = height;
    return dc_ && overBlack_ && overWhite_ && result_;
}

void TransparentWindow::FreeSurfaces() {
    for (HBITMAP* bitmap : {&overBlack_, &overWhite_, &result_}) {
        if (*bitmap) DeleteObject(*bitmap);
        *bitmap = nullptr;
    }
    if (dc_) DeleteDC(dc_);
    dc_ = nullptr;
    width_ = height_ = 0;
}

bool TransparentWindow::Render(uint32_t background, void* bits) {
    PutPlayerLong(player_.Player(), player_id::kBackgroundColor, static_cast<long>(background));
    HBITMAP surface = bits == blackBits_ ? overBlack_ : overWhite_;
    HGDIOBJ old = SelectObject(dc_, surface);
    RECT area{0, 0, width_, height_};
    bool drawn = SUCCEEDED(player_.Draw(dc_, area));
    GdiFlush();
    SelectObject(dc_, old);
    return drawn;
}

// The sprite target's bounds in the player's client coordinates; false
// when no target is set or the movie has no size.
bool TransparentWindow::SpriteRect(PixelRect& rect) {
    const SpriteTarget& sprite = TheSpriteTarget();
    IDispatch* control = player_.Player();
    if (sprite.target.empty() || !control) return false;
    if (!sprite.frameLabel.empty()) {
        VARIANT arguments[2];
        VariantInit(&arguments[0]);
        VariantInit(&arguments[1]);
        arguments[0].vt = arguments[1].vt = VT_BSTR;
        std::wstring label(sprite.frameLabel.begin(), sprite.frameLabel.end());
        arguments[0].bstrVal = SysAllocString(L"_root");
        arguments[1].bstrVal = SysAllocString(label.c_str());
        CallPlayerMethod(control, player_id::kTCallLabel, arguments, 2, nullptr);
        VariantClear(&arguments[0]);
        VariantClear(&arguments[1]);
    }
    const int xMin = MoviePixelsOf(VariableText(control, sprite.target + ".xMin"));
    const int yMin = MoviePixelsOf(VariableText(control, sprite.target + ".yMin"));
    const int xMax = MoviePixelsOf(VariableText(control, sprite.target + ".xMax"));
    const int yMax = MoviePixelsOf(VariableText(control, sprite.target + ".yMax"));
    MovieLayout layout;
    layout.movieWidth = player_.MovieSize().cx;
    layout.movieHeight = player_.MovieSize().cy;
    layout.clientWidth = width_;
    layout.clientHeight = height_;
    layout.scaleMode = static_cast<int>(GetPlayerLong(control, player_id::kScaleMode, 0));
    WindowRect mapped;
    if (!MovieToWindow(layout, xMin, xMax, yMin, yMax, mapped)) return false;
    rect = PixelRect{mapped.left, mapped.top, mapped.right, mapped.bottom};
    // Kept within the rendering: nothing outside it was drawn.
    if (rect.left < 0) rect.left = 0;
    if (rect.top < 0) rect.top = 0;
    if (rect.right > width_) rect.right = width_;
    if (rect.bottom > height_) rect.bottom = height_;
    return rect.right > rect.left && rect.bottom > rect.top;
}

void TransparentWindow::Paint() {
    RECT client{};
    GetClientRect(player_.Handle(), &client);
    if (!EnsureSurfaces(client.right, client.bottom)) return;
    painting_ = true;
    PixelRect sprite;
    const bool hasSprite = SpriteRect(sprite);
    const bool drawn = Render(0x000000, blackBits_) && Render(0xFFFFFF, whiteBits_);
    painting_ = false;
    if (!drawn) return;
    DeriveAlpha(static_cast<const uint32_t*>(blackBits_), static_cast<const uint32_t*>(whiteBits_),
                static_cast<uint32_t*>(resultBits_),
                static_cast<size_t>(width_) * static_cast<size_t>(height_));
    if (layered_)
        ShowLayered(hasSprite ? &sprite : nullptr);
    else
        ShowRegion();
}

void TransparentWindow::ShowLayered(const PixelRect* sprite) {
    POINT source{0, 0};
    SIZE size{width_, height_};
    POINT* position = nullptr;
    POINT at{};
    if (sprite) {
        // The window covers the sprite alone; the player sits inside it so
        // that the sprite's corner is the window's.
        source = POINT{sprite->left, sprite->top};
        size = SIZE{sprite->Width(), sprite->Height()};
        at = POINT{sprite->left, sprite->top};
        position = &at;
        SetWindowPos(player_.Handle(), nullptr, -sprite->left, -sprite->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HGDIOBJ old = SelectObject(dc_, result_);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    HDC screen = GetDC(nullptr);
    UpdateLayered()(main_, screen, position, &size, dc_, &source, 0, &blend, ULW_ALPHA);
    ReleaseDC(nullptr, screen);
    SelectObject(dc_, old);
}

void TransparentWindow::ShowRegion() {
    std::vector<PixelRect> runs =
        OpaqueRuns(static_cast<const uint32_t*>(resultBits_), width_, height_);
    // One region from all runs at once: combining them one by one is slow.
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(runs.size());
    header->nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    header->rcBound = RECT{0, 0, width_, height_};
    auto* rects = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
    for (size_t i = 0; i < runs.size(); ++i)
        rects[i] = RECT{runs[i].left, runs[i].top, runs[i].right, runs[i].bottom};
    HRGN region = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                  reinterpret_cast<const RGNDATA*>(data.data()));
    if (!region) return;
    // The player's client area within the window.
    RECT window{};
    POINT origin{0, 0};
    GetWindowRect(main_, &window);
    ClientToScreen(player_.Handle(), &origin);
    OffsetRgn(region, origin.x - window.left, origin.y - window.top);
    SetWindowRgn(main_, region, TRUE);
}

}  // namespace kelpo
