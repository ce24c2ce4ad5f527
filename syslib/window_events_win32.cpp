// A wrapped window's messages as script events. Each message first runs its
// handler (with the Window object as `this`) and then the window's own
// procedure. A handler may destroy the window, drop its Window object or
// close the program: the procedure looks at the record and the handle again
// after every handler.
#include <windows.h>
#include <windowsx.h>
// windows.h first: the common controls build on it.
#include <commctrl.h>

#include "corelib/callback_roots.h"
#include "runtime/atoms.h"
#include "runtime/call.h"
#include "runtime/errors.h"
#include "runtime/object.h"
#include "syslib/engine_entry.h"
#include "syslib/host_window_win32.h"
#include "syslib/script_window_win32.h"

namespace kelpo {
namespace {

constexpr UINT_PTR kHoverTimer = 100;
constexpr UINT kHoverInterval = 100;
constexpr UINT kHoverOff = 0x8291;
constexpr UINT kHoverOn = 0x8292;

LRESULT CALLBACK ScriptWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR reference);

bool HasHandler(const ScriptWindow* window, WindowHandler which) {
    return window->handlers[which].tag == ValueTag::Function;
}

// Runs a handler; `result` receives what it returned. False when there is
// no handler or it raised.
bool Fire(ScriptWindow* window, WindowHandler which, Value* args, int count,
          Value* result = nullptr) {
    if (!HasHandler(window, which)) return false;
    ScriptContext* context = window->context;
    // Copies: the handler may replace itself or let the object go.
    Value handler = window->handlers[which];
    Value self = window->self;
    args[0] = MakeInteger(count - 1);
    EngineEntryScope entry;
    ++window->calls;
    bool ok = CatchRaise(context, [&] {
        CallbackRoots roots(context);
        roots.Push(handler);
        roots.Push(self);
        for (int i = 1; i < count; ++i) roots.Push(args[i]);
        if (!CallValue(context, &self, &handler, count, args)) return;
        if (result) *result = context->result;
    });
    --window->calls;
    return ok;
}

// After handlers: the record may have been released meanwhile.
bool Gone(ScriptWindow* window) {
    if (window->released && window->calls == 0) {
        delete window;
        return true;
    }
    return window->released;
}

Value RectObject(ScriptContext* context, const RECT* rect) {
    Value out = MakeNull();
    CatchRaise(context, [&] {
        ScriptObject* object = NewObject(context);
        out = MakeObject(object);
        const struct {
            const char* name;
            LONG value;
        } edges[] = {{"left", rect->left},
                     {"top", rect->top},
                     {"right", rect->right},
                     {"bottom", rect->bottom}};
        for (const auto& edge : edges)
            PutProperty(context, object, InternAtom(context, edge.name), MakeInteger(edge.value));
    });
    return out;
}

void StopHover(ScriptWindow* window) {
    if (!window->cursorInside) return;
    window->cursorInside = false;
    KillTimer(window->hwnd, kHoverTimer);
}

bool CursorOver(HWND hwnd) {
    POINT cursor;
    GetCursorPos(&cursor);
    HWND under = WindowFromPoint(cursor);
    return under == hwnd || IsChild(hwnd, under);
}

// The events of one message; true when the message is consumed (not
// passed on to the window's own procedure).
bool Dispatch(ScriptWindow* window, UINT message, WPARAM wParam, LPARAM lParam) {
    Value args[4] = {};
    switch (message) {
        case WM_MOVE:
            args[1] = MakeInteger(GET_X_LPARAM(lParam));
            args[2] = MakeInteger(GET_Y_LPARAM(lParam));
            Fire(window, kOnMove, args, 3);
            return false;
        case WM_SIZE:
            args[1] = MakeInteger(static_cast<int64_t>(wParam));
            args[2] = MakeInteger(LOWORD(lParam));
            args[3] = MakeInteger(HIWORD(lParam));
            Fire(window, kOnSize, args, 4);
            return false;
        case WM_ACTIVATEAPP:
            Fire(window, wParam ? kOnActivate : kOnDeactivate, args, 1);
            return false;
        case WM_MOVING:
        case WM_SIZING: {
            WindowHandler which = message == WM_MOVING ? kOnMoving : kOnSizing;
            if (!HasHandler(window, which) || !lParam) return false;
            args[1] = RectObject(window->context, reinterpret_cast<RECT*>(lParam));
            Fire(window, which, args, 2);
            return false;
        }
        case WM_ENTERSIZEMOVE: Fire(window, kOnEnterSizeMove, args, 1); return false;
        case WM_EXITSIZEMOVE: Fire(window, kOnExitSizeMove, args, 1); return false;
        case WM_MOUSEMOVE:
            if (!window->hoverTracking) return false;
            if (!window->cursorInside &&
                (HasHandler(window, kOnEnter) || HasHandler(window, kOnLeave) ||
                 HasHandler(window, kOnHover))) {
                // A timer watches for the cursor leaving: no message says so.
                window->cursorInside = true;
                SetTimer(window->hwnd, kHoverTimer, kHoverInterval, nullptr);
                Fire(window, kOnEnter, args, 1);
            }
            args[1] = MakeInteger(GET_X_LPARAM(lParam));
            args[2] = MakeInteger(GET_Y_LPARAM(lParam));
            if (window->cursorInside) Fire(window, kOnHover, args, 3);
            return false;
        case WM_TIMER:
            if (wParam != kHoverTimer || !window->cursorInside) break;
            if (!CursorOver(window->hwnd)) {
                StopHover(window);
                Fire(window, kOnLeave, args, 1);
            }
            return true;
        case kHoverOff:
            StopHover(window);
            window->hoverTracking = false;
            return false;
        case kHoverOn: window->hoverTracking = true; return false;
        case WM_RBUTTONDOWN:
            args[1] = MakeInteger(GET_X_LPARAM(lParam));
            args[2] = MakeInteger(GET_Y_LPARAM(lParam));
            Fire(window, kOnContextMenu, args, 3);
            return false;
        case WM_CLOSE: {
            Value answer = MakeUndefined();
            if (Fire(window, kOnQueryClose, args, 1, &answer) && answer.tag == ValueTag::Boolean &&
                !answer.boolean)
                return true;  // the handler keeps the window open
            Fire(window, kOnClose, args, 1);
            if (window->hwnd == SyslibMainWindow() && !window->released) {
                // The main window closes through the host, which waits for
                // running scripts; it no longer comes through here.
                DetachWindowEvents(window);
                PostMessageA(window->hwnd, kHostCloseMessage, 0, 0);
                return true;
            }
            return false;
        }
        default: break;
    }
    if (HasHandler(window, kOnMessage)) {
        args[1] = MakeInteger(static_cast<int64_t>(message));
        args[2] = MakeInteger(static_cast<int64_t>(wParam));
        args[3] = MakeInteger(static_cast<int64_t>(lParam));
        Fire(window, kOnMessage, args, 4);
    }
    return false;
}

LRESULT CALLBACK ScriptWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR reference) {
    auto* window = reinterpret_cast<ScriptWindow*>(reference);
    if (message == WM_NCDESTROY) {
        StopHover(window);
        window->destroyed = true;
        window->subclassed = false;
        RemoveWindowSubclass(hwnd, ScriptWindowProc, id);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    if (window->released || window->destroyed)
        return DefSubclassProc(hwnd, message, wParam, lParam);
    const bool consumed = Dispatch(window, message, wParam, lParam);
    if (Gone(window) || !IsWindow(hwnd)) return 0;
    return consumed ? 0 : DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

bool WindowAlive(const ScriptWindow* window) {
    return window != nullptr && window->hwnd != nullptr && !window->destroyed &&
           IsWindow(window->hwnd);
}

void AttachWindowEvents(ScriptWindow* window) {
    if (window->subclassed || !WindowAlive(window)) return;
    DWORD process = 0;
    GetWindowThreadProcessId(window->hwnd, &process);
    if (process != GetCurrentProcessId()) return;
    window->subclassed =
        SetWindowSubclass(window->hwnd, ScriptWindowProc, reinterpret_cast<UINT_PTR>(window),
                          reinterpret_cast<DWORD_PTR>(window)) != FALSE;
}

void DetachWindowEvents(ScriptWindow* window) {
    if (!window->subclassed) return;
    window->subclassed = false;
    StopHover(window);
    if (IsWindow(window->hwnd))
        RemoveWindowSubclass(window->hwnd, ScriptWindowProc, reinterpret_cast<UINT_PTR>(window));
}

void ReleaseScriptWindow(ScriptWindow* window) {
    if (!window) return;
    if (!window->destroyed) DetachWindowEvents(window);
    window->released = true;
    for (Value& handler : window->handlers) handler = MakeUndefined();
    if (window->calls == 0) delete window;
}

}  // namespace kelpo
