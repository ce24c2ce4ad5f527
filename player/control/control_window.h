// The window the control shows while active in place: a child of the
// site's window, of a class of its own, that paints the current frame,
// advances the movie on a timer at its frame rate and passes mouse input to
// the core (in movie twips), with a hand cursor over buttons.
#pragma once

#include <windows.h>

namespace kelpo::control {

class PlayerControl;

class ControlWindow {
public:
    explicit ControlWindow(PlayerControl& owner) : owner_(owner) {}
    ~ControlWindow() { Destroy(); }
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

    bool Create(HWND parent, const RECT& position);
    void Destroy();
    HWND handle() const { return window_; }
    void Move(const RECT& position);
    // Ticks at `frameRate` frames per second; 0 stops the timer.
    void SetFrameRate(double frameRate);
    void Invalidate();
    // Asks for PlayerControl::RunPendingLoads from the message loop.
    void PostPendingWork();

private:
    using Handler = LRESULT (ControlWindow::*)(WPARAM, LPARAM);
    struct MessageEntry {
        UINT message;
        Handler handler;
    };
    static const MessageEntry kMessages[];
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnPrintClient(WPARAM, LPARAM);
    LRESULT OnEraseBackground(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnButtonDown(WPARAM, LPARAM);
    LRESULT OnButtonUp(WPARAM, LPARAM);
    LRESULT OnSetCursor(WPARAM, LPARAM);
    LRESULT OnCaptureChanged(WPARAM, LPARAM);
    LRESULT OnPendingWork(WPARAM, LPARAM);
    bool ToMovie(LPARAM position, double& x, double& y) const;
    void StartTimer();

    PlayerControl& owner_;
    HWND window_ = nullptr;
    double frameRate_ = 0;
    bool overButton_ = false;
    bool buttonDown_ = false;
};

}  // namespace kelpo::control
