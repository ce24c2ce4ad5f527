// The record behind a Window object: the window handle, the engine whose
// handlers it calls and the handlers themselves. While a Window object
// wraps a window of this process, the window is subclassed (through the
// common controls' subclass chain, so wrappers and other subclasses come
// and go in any order) and its messages reach the handlers.
#pragma once

#include <windows.h>

#include "runtime/context.h"
#include "runtime/value.h"

namespace kelpo {

enum WindowHandler {
    kOnQueryClose,
    kOnClose,
    kOnEnter,
    kOnLeave,
    kOnHover,
    kOnSize,
    kOnContextMenu,
    kOnMove,
    kOnExitSizeMove,
    kOnEnterSizeMove,
    kOnMoving,
    kOnSizing,
    kOnDeactivate,
    kOnActivate,
    kOnMessage,
    kWindowHandlerCount
};

struct ScriptWindow {
    HWND hwnd = nullptr;
    ScriptContext* context = nullptr;
    Value self{};  // the Window object (not marked: it is the object itself)
    Value handlers[kWindowHandlerCount]{};
    bool subclassed = false;
    bool destroyed = false;     // WM_NCDESTROY came: the handle means nothing now
    bool hoverTracking = true;  // 0x8291 turns it off, 0x8292 on
    bool cursorInside = false;  // between onEnter and onLeave
    int calls = 0;              // handlers running now
    bool released = false;      // the object was finalized during a handler
};

// True while the record's handle names the window it wrapped.
bool WindowAlive(const ScriptWindow* window);

// Subclasses the window (windows of other processes stay unsubclassed:
// their geometry is still reachable) and undoes it.
void AttachWindowEvents(ScriptWindow* window);
void DetachWindowEvents(ScriptWindow* window);

// Frees the record now, or when its running handlers have returned.
void ReleaseScriptWindow(ScriptWindow* window);

}  // namespace kelpo
