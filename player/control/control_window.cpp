// The control's window: its class, message table and handlers. Painting
// goes through a back buffer so frames never flicker.
#include "player/control/control_window.h"

#include <windowsx.h>

#include <cmath>

#include "player/control/module.h"
#include "player/control/player_control.h"

namespace kelpo::control {

namespace {

constexpr wchar_t kWindowClass[] = L"KelpoPlayerControlWindow";
constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kPendingWorkMessage = WM_APP + 1;

bool RegisterWindowClass(WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (GetClassInfoExW(Module().instance, kWindowClass, &windowClass)) return true;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = Module().instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExW(&windowClass) != 0;
}

// Holds the control alive while a message reaches the core, whose callbacks
// may let event sinks release the control.
class ControlReference {
public:
    explicit ControlReference(PlayerControl& control) : control_(control) { control_.AddRef(); }
    ~ControlReference() { control_.Release(); }

private:
    PlayerControl& control_;
};

}  // namespace

const ControlWindow::MessageEntry ControlWindow::kMessages[] = {
    {WM_PAINT, &ControlWindow::OnPaint},
    {WM_PRINTCLIENT, &ControlWindow::OnPrintClient},
    {WM_ERASEBKGND, &ControlWindow::OnEraseBackground},
    {WM_TIMER, &ControlWindow::OnTimer},
    {WM_MOUSEMOVE, &ControlWindow::OnMouseMove},
    {WM_LBUTTONDOWN, &ControlWindow::OnButtonDown},
    {WM_LBUTTONDBLCLK, &ControlWindow::OnButtonDown},
    {WM_LBUTTONUP, &ControlWindow::OnButtonUp},
    {WM_SETCURSOR, &ControlWindow::OnSetCursor},
    {WM_CAPTURECHANGED, &ControlWindow::OnCaptureChanged},
    {kPendingWorkMessage, &ControlWindow::OnPendingWork},
};

bool ControlWindow::Create(HWND parent, const RECT& position) {
    if (window_) return true;
    if (!RegisterWindowClass(Procedure)) return false;
    window_ =
        CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                        position.left, position.top, position.right - position.left,
                        position.bottom - position.top, parent, nullptr, Module().instance, this);
    if (window_) StartTimer();
    return window_ != nullptr;
}

void ControlWindow::Destroy() {
    if (!window_) return;
    HWND window = window_;
    window_ = nullptr;
    KillTimer(window, kFrameTimer);
    DestroyWindow(window);
}

void ControlWindow::Move(const RECT& position) {
    if (window_)
        MoveWindow(window_, position.left, position.top, position.right - position.left,
                   position.bottom - position.top, TRUE);
}

void ControlWindow::SetFrameRate(double frameRate) {
    frameRate_ = frameRate;
    StartTimer();
}

void ControlWindow::StartTimer() {
    if (!window_) return;
    if (frameRate_ <= 0) {
        KillTimer(window_, kFrameTimer);
        return;
    }
    double interval = std::floor(1000.0 / frameRate_);
    SetTimer(window_, kFrameTimer, static_cast<UINT>(interval < 1 ? 1 : interval), nullptr);
}

void ControlWindow::Invalidate() {
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void ControlWindow::PostPendingWork() {
    if (window_) PostMessageW(window_, kPendingWorkMessage, 0, 0);
}

LRESULT CALLBACK ControlWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    auto* self = reinterpret_cast<ControlWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && self->window_ == window) {
        for (const MessageEntry& entry : kMessages) {
            if (entry.message != message) continue;
            try {
                return (self->*entry.handler)(wParam, lParam);
            } catch (...) {
                return 0;  // nothing may unwind into the window manager
            }
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT ControlWindow::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT client;
    GetClientRect(window_, &client);
    HDC buffer = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right > 0 ? client.right : 1,
                                            client.bottom > 0 ? client.bottom : 1);
    if (buffer && bitmap) {
        HGDIOBJ old = SelectObject(buffer, bitmap);
        owner_.Render(buffer, client);
        BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
        SelectObject(buffer, old);
    } else {
        owner_.Render(dc, client);
    }
    if (bitmap) DeleteObject(bitmap);
    if (buffer) DeleteDC(buffer);
    EndPaint(window_, &paint);
    return 0;
}

// Captures (PrintWindow, WM_PRINT) ask for the picture in their own DC.
LRESULT ControlWindow::OnPrintClient(WPARAM dc, LPARAM) {
    RECT client;
    GetClientRect(window_, &client);
    owner_.Render(reinterpret_cast<HDC>(dc), client);
    return 0;
}

LRESULT ControlWindow::OnEraseBackground(WPARAM, LPARAM) {
    return 1;  // WM_PAINT covers every pixel
}

LRESULT ControlWindow::OnTimer(WPARAM id, LPARAM) {
    if (id != kFrameTimer || !owner_.core()) return 0;
    ControlReference hold(owner_);
    player::AdvanceFrame(owner_.core());
    return 0;
}

bool ControlWindow::ToMovie(LPARAM position, double& x, double& y) const {
    RECT client;
    GetClientRect(window_, &client);
    return player::DeviceToMovie(owner_.ViewMatrix(client), GET_X_LPARAM(position),
                                 GET_Y_LPARAM(position), x, y);
}

LRESULT ControlWindow::OnMouseMove(WPARAM, LPARAM position) {
    double x, y;
    if (!owner_.core() || !ToMovie(position, x, y)) return 0;
    ControlReference hold(owner_);
    overButton_ = player::MouseMove(owner_.core(), x, y);
    return 0;
}

LRESULT ControlWindow::OnButtonDown(WPARAM, LPARAM position) {
    double x, y;
    if (!owner_.core() || !ToMovie(position, x, y)) return 0;
    ControlReference hold(owner_);
    SetCapture(window_);
    buttonDown_ = true;
    player::MouseDown(owner_.core(), x, y);
    return 0;
}

LRESULT ControlWindow::OnButtonUp(WPARAM, LPARAM position) {
    double x, y;
    bool wasDown = buttonDown_;
    buttonDown_ = false;
    if (GetCapture() == window_) ReleaseCapture();
    if (!wasDown || !owner_.core() || !ToMovie(position, x, y)) return 0;
    ControlReference hold(owner_);
    player::MouseUp(owner_.core(), x, y);
    return 0;
}

LRESULT ControlWindow::OnCaptureChanged(WPARAM, LPARAM) {
    buttonDown_ = false;
    return 0;
}

LRESULT ControlWindow::OnPendingWork(WPARAM, LPARAM) {
    owner_.RunPendingLoads();
    return 0;
}

LRESULT ControlWindow::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(lParam) != HTCLIENT) return DefWindowProcW(window_, WM_SETCURSOR, wParam, lParam);
    SetCursor(LoadCursor(nullptr, overButton_ ? IDC_HAND : IDC_ARROW));
    return TRUE;
}

}  // namespace kelpo::control
