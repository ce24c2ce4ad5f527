#include "netlib/socket_window_win32.h"

#include <unordered_map>

namespace kelpo {
namespace {

const char kWindowClass[] = "KelpoSocketNotify";

std::unordered_map<SOCKET, SocketListener>& Listeners() {
    static std::unordered_map<SOCKET, SocketListener> listeners;
    return listeners;
}

LRESULT CALLBACK NotifyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message < kFirstSocketMessage || message > kLastSocketMessage)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    auto found = Listeners().find(static_cast<SOCKET>(wParam));
    if (found == Listeners().end() || found->second.message != message) return 0;
    // A copy: the listener may close its socket while it is told.
    const SocketListener listener = found->second;
    if (listener.notify)
        listener.notify(listener.owner, WSAGETSELECTEVENT(lParam), WSAGETSELECTERROR(lParam));
    return 0;
}

}  // namespace

HWND SocketNotifyWindow() {
    static HWND window = nullptr;
    if (window && IsWindow(window)) return window;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = NotifyProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    window = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                             nullptr);
    return window;
}

UINT NextSocketMessage() {
    static UINT next = kFirstSocketMessage;
    const UINT message = next;
    next = next == kLastSocketMessage ? kFirstSocketMessage : next + 1;
    return message;
}

void ListenToSocket(SOCKET socket, const SocketListener& listener) {
    Listeners()[socket] = listener;
}

void StopListening(SOCKET socket) { Listeners().erase(socket); }

}  // namespace kelpo
