// The hidden window that receives socket notifications (Windows only). Each
// socket selects its events with WSAAsyncSelect for this message-only
// window of the user-interface thread; the window finds the listener
// registered for the socket and hands it the event, inside the thread's
// message loop (the projector's, or processMsg in a script).
//
// A notification that was queued before its socket was closed (or whose
// listener is gone) finds no listener and is dropped.
#pragma once

#include <winsock2.h>
#include <windows.h>

namespace kelpo {

// The message WSAAsyncSelect posts: wParam the socket, lParam the event
// (low word) and its error code (high word).
constexpr UINT kSocketNotifyMessage = WM_APP + 0x51;

struct SocketListener {
    void (*notify)(void* owner, int event, int errorCode) = nullptr;
    void* owner = nullptr;
};

// The notification window, created on first use on the calling thread;
// null when it cannot be created.
HWND SocketNotifyWindow();

// Whom the window tells about `socket` (replacing an earlier listener).
void ListenToSocket(SOCKET socket, const SocketListener& listener);
void StopListening(SOCKET socket);

}  // namespace kelpo
