// What the system library's classes need of the program that hosts them
// (Windows only): the window that owns their dialogs and shell calls, and
// the script value that stands for a window handle. The projector fills the
// port at start; without it (the command-line tool, hooks that run before
// the main frame) dialogs have no owner and windows become plain Objects
// with their `handle`.
#pragma once

#include <windows.h>

#include "runtime/context.h"
#include "runtime/value.h"

namespace kelpo {

struct SyslibHostPort {
    HWND (*mainWindow)() = nullptr;
    // A Window object for `hwnd`.
    Value (*windowValue)(ScriptContext* context, HWND hwnd) = nullptr;
};

void SetSyslibHostPort(const SyslibHostPort& port);

// The main window, or null when there is none.
HWND SyslibMainWindow();

// The script value for `hwnd`: the host's Window object, else an Object
// whose `handle` is the handle as an Integer. Null for a null handle.
Value WindowValueOf(ScriptContext* context, HWND hwnd);

}  // namespace kelpo
