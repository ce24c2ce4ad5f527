// The player port of the main frame's control: properties and methods by
// name through the control's IDispatch.
#include "host/main_player_port.h"

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "host/host_access.h"
#include "host/main_frame.h"
#include "hostobjects/control_dispatch_win32.h"

namespace kelpo {
namespace {

IDispatch* MainControl() {
    CMainFrame* frame = TheMainFrame();
    return frame != nullptr ? frame->Player().Player() : nullptr;
}

bool Get(void*, const char* name, ControlValue& out) {
    return DispatchGet(MainControl(), name, out);
}

bool Put(void*, const char* name, const ControlValue& value) {
    return DispatchPut(MainControl(), name, value);
}

bool Call(void*, const char* name, const ControlValue* args, int count, ControlValue& out) {
    return DispatchCall(MainControl(), name, args, count, out);
}

bool MovieSize(void*, int& width, int& height) {
    CMainFrame* frame = TheMainFrame();
    if (frame == nullptr) return false;
    const SIZE size = frame->Player().MovieSize();
    width = size.cx;
    height = size.cy;
    return width > 0 && height > 0;
}

bool ClientSize(void*, int& width, int& height) {
    CMainFrame* frame = TheMainFrame();
    RECT client;
    if (frame == nullptr || !GetClientRect(frame->Player().Handle(), &client)) return false;
    width = client.right - client.left;
    height = client.bottom - client.top;
    return width > 0 && height > 0;
}

const PlayerPort kMainPort = {nullptr, Get, Put, Call, MovieSize, ClientSize};

}  // namespace

const PlayerPort* MainPlayerPort() { return MainControl() != nullptr ? &kMainPort : nullptr; }

}  // namespace kelpo
