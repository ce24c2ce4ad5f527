// Puts the interval timers on Win32 timers.
#pragma once

namespace kelpo {

void InstallWin32IntervalClock();

}  // namespace kelpo
