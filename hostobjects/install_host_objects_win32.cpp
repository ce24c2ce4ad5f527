#include "hostobjects/install_host_objects.h"

#include "host/host_access.h"
#include "host/main_frame.h"
#include "hostobjects/application_class.h"
#include "hostobjects/engine_entry.h"
#include "hostobjects/flash_player_classes.h"
#include "hostobjects/host_functions.h"
#include "hostobjects/interval_clock_win32.h"
#include "hostobjects/main_player_port.h"
#include "runtime/builtins.h"

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

}  // namespace

void InstallHostObjects() {
    SetPlayerPortSource(MainPlayerPort);
    SetHostRegistration(kHostStepFlashPlayer, RegisterFlashPlayerClass);
    SetHostRegistration(kHostStepMovieClip, RegisterMovieClipClass);
    InstallWin32IntervalClock();
    EngineEntryCounter counter;
    counter.enter = EnterEngine;
    counter.leave = LeaveEngine;
    SetEngineEntryCounter(counter);
    SetHostRegistration(kHostStepHostFunctions, RegisterHostFunctions);
    SetHostRegistration(kHostStepApplication, RegisterApplicationClass);
    // 26 createControl, 30 Window, 38 Menu, 40 SplashWnd and 51 Form arrive
    // with their classes.
}

}  // namespace kelpo
