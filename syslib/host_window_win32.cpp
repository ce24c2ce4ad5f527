#include "syslib/host_window_win32.h"

namespace kelpo {

namespace {

SyslibHostPort gPort;

}  // namespace

void SetSyslibHostPort(const SyslibHostPort& port) { gPort = port; }

HWND SyslibMainWindow() { return gPort.mainWindow ? gPort.mainWindow() : nullptr; }

}  // namespace kelpo
