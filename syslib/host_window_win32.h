// What the system library's classes need of the program that hosts them
// (Windows only): the window that owns their dialogs and shell calls, and
// Window objects for the windows they hand to scripts. The projector fills
// the port at start; without it (the command-line tool, hooks that run
// before the main frame) dialogs have no owner.
#pragma once

#include <windows.h>

#include "runtime/context.h"
#include "runtime/value.h"

namespace kelpo {

// The projector's main window closes on this message exactly as on
// WM_CLOSE, but without asking the script's onQueryClose again.
constexpr UINT kHostCloseMessage = WM_APP + 100;

struct SyslibHostPort {
    HWND (*mainWindow)() = nullptr;
};

void SetSyslibHostPort(const SyslibHostPort& port);

// The main window, or null when there is none.
HWND SyslibMainWindow();

// A new Window object for `hwnd`; Null for a null handle (or in an engine
// without the Window class).
Value WindowValueOf(ScriptContext* context, HWND hwnd);

// True when `value` is a Window object of this engine for `hwnd`, which is
// still a window.
bool IsWindowValueFor(ScriptContext* context, const Value& value, HWND hwnd);

}  // namespace kelpo
