// Transparent mode of the main window: every paint of the player renders
// the movie over black and over white into two DIBs the size of the player
// and derives per-pixel alpha. With layered windows (looked up in user32 at
// run time) the main window becomes a layered window updated with that
// bitmap; without them the opaque pixels become the window's region. While
// a sprite target is set (the desktop toy), only the target's bounds are
// shown, and the main window is moved and sized to them.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "host/window_placement.h"

namespace kelpo {

class CShockwaveFlash;

class TransparentWindow {
public:
    // Switches the main window over; its rectangle is kept for Stop.
    TransparentWindow(HWND mainWindow, CShockwaveFlash& player);
    // Gives the main window its rectangle and look back.
    ~TransparentWindow();
    TransparentWindow(const TransparentWindow&) = delete;
    TransparentWindow& operator=(const TransparentWindow&) = delete;

    // One paint: renders, derives alpha and updates the main window.
    void Paint();
    // True while a paint calls into the movie (its own paint requests are
    // dropped then).
    bool Painting() const { return painting_; }

private:
    bool EnsureSurfaces(int width, int height);
    void FreeSurfaces();
    bool Render(uint32_t background, void* bits);
    bool SpriteRect(PixelRect& rect);
    void ShowLayered(const PixelRect* sprite);
    void ShowRegion();

    HWND main_;
    CShockwaveFlash& player_;
    RECT savedRect_{};
    LONG savedExStyle_ = 0;
    long savedBackground_ = -1;
    bool layered_ = false;
    bool painting_ = false;
    int width_ = 0, height_ = 0;
    HDC dc_ = nullptr;
    HBITMAP overBlack_ = nullptr, overWhite_ = nullptr, result_ = nullptr;
    void* blackBits_ = nullptr;
    void* whiteBits_ = nullptr;
    void* resultBits_ = nullptr;
};

}  // namespace kelpo
