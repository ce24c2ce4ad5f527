// The interval timers' clock in the projector: Win32 timers without a
// window, whose callback runs on the GUI thread inside message dispatch.
#include "hostobjects/interval_clock_win32.h"

#include <windows.h>

#include "hostobjects/interval_timers.h"

namespace kelpo {
namespace {

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) { FireInterval(static_cast<uintptr_t>(id)); }

uintptr_t StartTimer(uint32_t milliseconds) {
    return static_cast<uintptr_t>(SetTimer(nullptr, 0, milliseconds, OnTimer));
}

void StopTimer(uintptr_t id) { KillTimer(nullptr, static_cast<UINT_PTR>(id)); }

}  // namespace

void InstallWin32IntervalClock() {
    TimerClock clock;
    clock.start = StartTimer;
    clock.stop = StopTimer;
    SetTimerClock(clock);
}

}  // namespace kelpo
