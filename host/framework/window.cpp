// Window objects, their window procedures and subclassing.
//
// The object is found from the HWND through a window property, so windows
// created by others (subclassed controls) and our own are handled alike.
#include "host/framework/window.h"

namespace kelpo::framework {

namespace {

const char kObjectProperty[] = "KelpoWindowObject";

bool RegisterFrameworkClass(const char* name, UINT style, HICON icon, WNDPROC proc) {
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof existing;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (GetClassInfoExA(instance, name, &existing)) return true;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.lpszClassName = name;
    return RegisterClassExA(&windowClass) != 0;
}

}  // namespace

Window::~Window() { Destroy(); }

Window* Window::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<Window*>(GetPropA(hwnd, kObjectProperty)) : nullptr;
}

void Window::Attach(HWND hwnd) {
    hwnd_ = hwnd;
    SetPropA(hwnd, kObjectProperty, this);
}

void Window::Detach() {
    if (hwnd_) RemovePropA(hwnd_, kObjectProperty);
    hwnd_ = nullptr;
}

bool Window::Create(const char* className, const char* title, DWORD style, DWORD exStyle, int x,
                    int y, int width, int height, HWND parent, HMENU menuOrId, UINT classStyle,
                    HICON icon) {
    if (!RegisterFrameworkClass(className, classStyle, icon, WindowProc)) return false;
    HWND hwnd = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent,
                                menuOrId, GetModuleHandleA(nullptr), this);
    return hwnd != nullptr;
}

bool Window::Subclass(HWND hwnd) {
    if (!hwnd || hwnd_) return false;
    Attach(hwnd);
    originalProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    return originalProc_ != nullptr;
}

void Window::Unsubclass() {
    if (!hwnd_ || !originalProc_) return;
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
    originalProc_ = nullptr;
    Detach();
}

void Window::Destroy() {
    if (!hwnd_) return;
    if (originalProc_)
        Unsubclass();
    else
        DestroyWindow(hwnd_);
}

const MessageMap* Window::GetMessageMap() const { return nullptr; }

LRESULT Window::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (originalProc_) return CallWindowProcA(originalProc_, hwnd_, message, wParam, lParam);
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    const MessageEntry* entry = FindMessageEntry(GetMessageMap(), message, wParam);
    if (!entry) return DefaultProc(message, wParam, lParam);
    if (entry->onCommand) {
        (this->*entry->onCommand)(LOWORD(wParam));
        return 0;
    }
    return (this->*entry->onMessage)(wParam, lParam);
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = FromHandle(hwnd);
    if (!window && message == WM_NCCREATE) {
        window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (window) window->Attach(hwnd);
    }
    if (!window) return DefWindowProcA(hwnd, message, wParam, lParam);
    LRESULT result = window->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        window->Detach();
        window->OnFinalDestroy();
    }
    return result;
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = FromHandle(hwnd);
    if (!window) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window is going: hand it back to its own procedure first.
        WNDPROC original = window->originalProc_;
        window->Unsubclass();
        window->OnFinalDestroy();
        return CallWindowProcA(original, hwnd, message, wParam, lParam);
    }
    return window->Dispatch(message, wParam, lParam);
}

}  // namespace kelpo::framework
