// Connects the projector's script objects to the running projector: the
// registration table every engine of the host uses (the main one, install
// hooks, resource runs), the player port of the main frame's control, the
// projector port of its windows, the system library's owner window, Win32
// interval timers and the engine entry counter.
#include "host/host_objects.h"

#include "host/host_access.h"
#include "host/main_frame.h"
#include "host/main_player_port.h"
#include "hostobjects/host_functions.h"
#include "hostobjects/interval_clock_win32.h"
#include "hostobjects/player_library.h"
#include "hostobjects/player_window.h"
#include "hostobjects/projector_port_win32.h"
#include "syslib/engine_entry.h"
#include "syslib/host_window_win32.h"

namespace kelpo {
namespace {

// Timer ticks and host events enter the main engine from the window, like
// the command bridge does: a close requested meanwhile waits for them.
void* EnterEngine() {
    CMainFrame* frame = TheMainFrame();
    if (!frame) return nullptr;
    ++frame->Bridge().busy;
    return &frame->Bridge();
}
void LeaveEngine(void* counted) {
    if (counted) --static_cast<CommandBridge*>(counted)->busy;
}

HWND MainWindow() {
    CMainFrame* frame = TheMainFrame();
    return frame != nullptr ? frame->Handle() : nullptr;
}

HWND PlayerWindow() {
    CMainFrame* frame = TheMainFrame();
    return frame != nullptr ? frame->Player().Handle() : nullptr;
}

void SetPlayerCursor(HCURSOR cursor) {
    if (CMainFrame* frame = TheMainFrame()) frame->Player().SetCursor(cursor);
}

bool SetPlayerClipRegion(HRGN region) {
    CMainFrame* frame = TheMainFrame();
    if (!frame) return false;
    frame->Player().SetClipRegion(region);
    return true;
}

CommandBridge* Bridge() {
    CMainFrame* frame = TheMainFrame();
    return frame != nullptr ? &frame->Bridge() : nullptr;
}

bool TakeQuitPending() {
    CMainFrame* frame = TheMainFrame();
    if (!frame || !frame->QuitPending()) return false;
    frame->ClearQuitPending();
    return true;
}

std::string PlayerFile() {
    CMainFrame* frame = TheMainFrame();
    return frame != nullptr ? frame->PlayerFile() : std::string();
}

}  // namespace

void InstallHostObjects() {
    SetDefaultRegistration(kProjectorLibrary);
    SetPlayerPortSource(MainPlayerPort);
    SetPlayerWindowSource(PlayerWindowObject);
    ProjectorPort port;
    port.mainWindow = MainWindow;
    port.playerWindow = PlayerWindow;
    port.setPlayerCursor = SetPlayerCursor;
    port.setPlayerClipRegion = SetPlayerClipRegion;
    port.bridge = Bridge;
    port.takeDeferredClose = TakeQuitPending;
    port.playerFile = PlayerFile;
    SetProjectorPort(port);
    SyslibHostPort syslibPort;
    syslibPort.mainWindow = MainWindow;
    SetSyslibHostPort(syslibPort);
    InstallWin32IntervalClock();
    EngineEntryCounter counter;
    counter.enter = EnterEngine;
    counter.leave = LeaveEngine;
    SetEngineEntryCounter(counter);
}

}  // namespace kelpo
