// The hidden window that receives socket notifications (Windows only). Each
// socket selects its events with WSAAsyncSelect for this message-only
// window of the user-interface thread; the window finds the listener
// registered for the socket and hands it the event, inside the thread's
// message loop (the projector's, or processMsg in a script).
//
// A notification that was queued before its socket was closed (or whose
// listener is gone) finds no listener, or one with another message, and is
// dropped.
#pragma once

#include <winsock2.h>
#include <windows.h>

namespace kelpo {

// WSAAsyncSelect posts one of the messages of this range: wParam the
// socket, lParam the event (low word) and its error code (high word). Each
// system socket gets a message of its own when it is made, so that a
// notification still queued for a closed socket is not taken for one of a
// new socket that the system gave the same handle.
constexpr UINT kFirstSocketMessage = WM_APP + 0x100;
constexpr UINT kLastSocketMessage = 0xBFFF;

struct SocketListener {
    void (*notify)(void* owner, int event, int errorCode) = nullptr;
    void* owner = nullptr;
    UINT message = 0;  // the message the socket selected its events with
};

// The notification window, created on first use on the calling thread;
// null when it cannot be created.
HWND SocketNotifyWindow();

// The message for a new system socket (the range is used round).
UINT NextSocketMessage();

// Whom the window tells about `socket` (replacing an earlier listener).
void ListenToSocket(SOCKET socket, const SocketListener& listener);
void StopListening(SOCKET socket);

}  // namespace kelpo
