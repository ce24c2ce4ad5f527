// The Window class (Windows only): any top-level or child window by its
// handle. Scripts read and change its geometry, caption and state, move
// and animate it, find and create windows, and receive its messages as
// events (window_events_win32.cpp). Every member does nothing and answers
// Undefined once the handle no longer names a window.
#include <windows.h>

#include <string>
#include <vector>

#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/gc.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"
#include "syslib/classes.h"
#include "syslib/host_window_win32.h"
#include "syslib/script_window_win32.h"
#include "syslib/window_flight.h"

namespace kelpo {
namespace {

enum Method {
    kFind,
    kGetWindowsByName,
    kGetChildren,
    kCreate,
    kShow,
    kHide,
    kClose,
    kBringToTop,
    kMove,
    kCenter,
    kModifyStyle,
    kModifyStyleEx,
    kAnimate,
    kUpdate,
    kFly2,
    kFly,
};
const MemberRow kMethods[] = {
    {"find",
     "find([className [, title]]) -> Window: the first window of that class and title; Null "
     "when there is none"},
    {"getWindowsByName",
     "getWindowsByName(title) -> Array: the top-level windows of that title, as Windows"},
    {"getChildren", "getChildren() -> Array: every child window, at any depth, as Windows"},
    {"create", "create(className) -> Window: a new visible child of that class, 200 by 20 at 0,0"},
    {"show", "show() -> nothing: shows the window"},
    {"hide", "hide() -> nothing: hides the window"},
    {"close", "close() -> nothing: asks the window to close"},
    {"bringToTop", "bringToTop() -> nothing: makes it the foreground window"},
    {"move",
     "move([left [, top [, right [, bottom]]]]) -> nothing: moves to that rectangle in parent "
     "coordinates; missing edges stay"},
    {"center", "center() -> nothing: centres the window on its owner, or on the screen"},
    {"modifyStyle",
     "modifyStyle(remove, add) -> nothing: changes the style bits and refreshes the frame"},
    {"modifyStyleEx",
     "modifyStyleEx(remove, add) -> nothing: changes the extended style bits and refreshes the "
     "frame"},
    {"animate",
     "animate(milliseconds, flags) -> Boolean: AnimateWindow with the $AW_ flags; false when "
     "unavailable"},
    {"update", "update() -> Boolean: redraws the window and its children at once"},
    {"fly2",
     "fly2(x1, y1, x2, y2, delay) -> nothing: moves the window pixel by pixel along a line"},
    {"fly",
     "fly([edge [, mode [, flag [, delay]]]]) -> nothing: slides the window to or from an edge "
     "of the work area (edge 0 left, 1 top, 2 right, 3 bottom; mode 0 in, 1 out, 2 to the "
     "edge; a true flag shows it before sliding in and hides it after sliding out)"},
};

enum Property {
    kCaption,
    kLeft,
    kTop,
    kWidth,
    kHeight,
    kParent,
    kHandle,
    kClassName,
    kVisible,
    kEnable,
    kWindowState,
    kFirstHandler,  // the handlers follow, in WindowHandler order
};
const MemberRow kProperties[] = {
    {"caption", "String: the window text"},
    {"left",
     "Integer: the left edge, relative to the parent's client area (the screen for a top-level "
     "window)"},
    {"top",
     "Integer: the top edge, relative to the parent's client area (the screen for a top-level "
     "window)"},
    {"width", "Integer: the width; setting it shows the window"},
    {"height", "Integer: the height; setting it shows the window"},
    {"parent", "Window: the parent; setting a Window makes it the parent, anything else none"},
    {"handle", "Integer, read-only: the window handle"},
    {"className", "String, read-only: the window class name"},
    {"visible", "Boolean, read-only: true when the window is visible"},
    {"enable", "Boolean: true when the window takes input; setting enables or disables it"},
    {"windowState",
     "String: \"minimized\", \"maximized\" or \"normal\"; set with those or an Integer show "
     "command"},
    {"onQueryClose", "function(): before closing; returning false keeps the window open"},
    {"onClose", "function(): the window closes"},
    {"onEnter", "function(): the mouse came over the window"},
    {"onLeave", "function(): the mouse left the window"},
    {"onHover", "function(x, y): the mouse moves over the window"},
    {"onSize", "function(type, width, height): the window was sized"},
    {"onContextMenu", "function(x, y): the right button was pressed"},
    {"onMove", "function(x, y): the window was moved"},
    {"onExitSizeMove", "function(): the user stopped moving or sizing it"},
    {"onEnterSizeMove", "function(): the user began moving or sizing it"},
    {"onMoving", "function(rect): the window is being moved (left, top, right, bottom)"},
    {"onSizing", "function(rect): the window is being sized (left, top, right, bottom)"},
    {"onDeactivate", "function(): another application became active"},
    {"onActivate", "function(): this application became active"},
    {"onMessage", "function(message, wParam, lParam): any other message"},
};
static_assert(sizeof kProperties / sizeof kProperties[0] == kFirstHandler + kWindowHandlerCount,
              "one property per handler");

struct WindowData {
    ScriptWindow* window;
};

// The Window class of each engine, for windows the library hands out.
struct WindowClassData {
    ScriptContext* context;
    NativeClass* klass;
};
std::vector<WindowClassData*> gClasses;

NativeClass* WindowClassOf(ScriptContext* context) {
    for (WindowClassData* data : gClasses)
        if (data->context == context) return data->klass;
    return nullptr;
}

void FreeWindowClassData(void* data) {
    auto* classData = static_cast<WindowClassData*>(data);
    for (size_t i = 0; i < gClasses.size(); ++i) {
        if (gClasses[i] == classData) gClasses.erase(gClasses.begin() + static_cast<long>(i));
    }
    delete classData;
}

HWND HandleOf(const Value& value) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(value.integer));
}

// A new Window object over `hwnd` (Null for a null handle).
Value NewWindowObject(ScriptContext* context, NativeClass* klass, HWND hwnd) {
    if (!hwnd) return MakeNull();
    Value out = MakeNull();
    auto* data = NewInstanceOf<WindowData>(context, klass, &out);
    auto* window = new ScriptWindow;
    window->hwnd = hwnd;
    window->context = context;
    window->self = out;
    for (Value& handler : window->handlers) handler = MakeNull();
    data->window = window;
    AttachWindowEvents(window);
    return out;
}

void ConstructWindow(ScriptContext* context, NativeClass* klass, Value* args, Value* out) {
    HWND hwnd = IsIntegerArg(args, 1) ? HandleOf(args[1]) : nullptr;
    Value made = NewWindowObject(context, klass, hwnd);
    if (made.tag == ValueTag::Null) {
        // An empty Window: every member does nothing.
        auto* data = NewInstanceOf<WindowData>(context, klass, out);
        data->window = new ScriptWindow;
        data->window->context = context;
        data->window->self = *out;
        return;
    }
    *out = made;
}

void FinalizeWindow(NativeClass*, void* data) {
    if (data) ReleaseScriptWindow(static_cast<WindowData*>(data)->window);
}

void MarkWindow(NativeClass*, void* data) {
    ScriptWindow* window = data ? static_cast<WindowData*>(data)->window : nullptr;
    if (!window) return;
    for (const Value& handler : window->handlers) GcMarkValue(handler);
}

// ---- Geometry ---------------------------------------------------------------

// The window's rectangle in its parent's client coordinates (the screen's
// for a top-level window).
RECT RectInParent(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    if (HWND parent = (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd) : nullptr)
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool NumberValue(const Value& value, int& out) {
    if (value.tag != ValueTag::Integer && value.tag != ValueTag::Float) return false;
    const double number =
        value.tag == ValueTag::Integer ? static_cast<double>(value.integer) : value.number;
    if (!(number == number)) return false;
    out = ClampCoordinate(static_cast<int64_t>(number < -1e9 ? -1e9 : number > 1e9 ? 1e9 : number));
    return true;
}

void PlaceWindow(HWND hwnd, const RECT& rect) {
    SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void SetEdge(HWND hwnd, int member, int value) {
    RECT rect = RectInParent(hwnd);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    switch (member) {
        case kLeft: rect.left = value, rect.right = value + width; break;
        case kTop: rect.top = value, rect.bottom = value + height; break;
        case kWidth: rect.right = rect.left + value; break;
        case kHeight: rect.bottom = rect.top + value; break;
    }
    PlaceWindow(hwnd, rect);
}

Value WindowText(ScriptContext* context, HWND hwnd) {
    int length = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    int got = GetWindowTextA(hwnd, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return AnsiString(context, text);
}

Value WindowStateText(ScriptContext* context, HWND hwnd) {
    const char* state = IsIconic(hwnd) ? "minimized" : IsZoomed(hwnd) ? "maximized" : "normal";
    return NewStringFromCString(context, state);
}

// "normal" 1, "maximized" 3, "minimized" 6, or an Integer show command
// (0, which would hide the window, and unknown commands are ignored).
void SetWindowState(ScriptContext* context, HWND hwnd, const Value& value) {
    int command = 0;
    if (value.tag == ValueTag::Integer) {
        if (value.integer > 0 && value.integer <= SW_MAX) command = static_cast<int>(value.integer);
    } else if (value.tag == ValueTag::String) {
        std::string text;
        BoundedAnsi(context, value, 16, text);
        command = text == "normal"      ? SW_SHOWNORMAL
                  : text == "maximized" ? SW_SHOWMAXIMIZED
                  : text == "minimized" ? SW_SHOWMINIMIZED
                                        : 0;
    }
    if (command) ShowWindow(hwnd, command);
}

ScriptWindow* WindowOfValue(ScriptContext* context, const Value& value) {
    NativeClass* klass = WindowClassOf(context);
    if (!klass || value.tag != ValueTag::Native || value.native->klass != klass ||
        !value.native->data)
        return nullptr;
    return static_cast<WindowData*>(value.native->data)->window;
}

int WindowProperty(ScriptContext* context, NativeClass* klass, void* data, int member, int isSet,
                   Value* io) {
    if (!data) return 0;  // the class object has no window
    ScriptWindow* window = static_cast<WindowData*>(data)->window;
    if (member >= kFirstHandler) {
        Value& slot = window->handlers[member - kFirstHandler];
        if (!isSet)
            *io = slot.tag == ValueTag::Function ? slot : MakeNull();
        else if (io->tag == ValueTag::Function)
            slot = *io;
        return 1;
    }
    if (!isSet) *io = MakeUndefined();
    if (!WindowAlive(window)) return 1;
    HWND hwnd = window->hwnd;
    if (isSet) {
        int number = 0;
        switch (member) {
            case kCaption: {
                std::string text = AnsiOfValue(context, *io, 32767);
                SetWindowTextA(hwnd, text.c_str());
                break;
            }
            case kLeft:
            case kTop:
            case kWidth:
            case kHeight:
                if (NumberValue(*io, number)) SetEdge(hwnd, member, number);
                break;
            case kParent: {
                ScriptWindow* parent = WindowOfValue(context, *io);
                SetParent(hwnd, WindowAlive(parent) ? parent->hwnd : nullptr);
                break;
            }
            case kEnable: EnableWindow(hwnd, ToBoolean(context, *io) ? TRUE : FALSE); break;
            case kWindowState: SetWindowState(context, hwnd, *io); break;
            default: break;  // read-only
        }
        return 1;
    }
    const RECT rect = RectInParent(hwnd);
    switch (member) {
        case kCaption: *io = WindowText(context, hwnd); break;
        case kLeft: *io = MakeInteger(rect.left); break;
        case kTop: *io = MakeInteger(rect.top); break;
        case kWidth: *io = MakeInteger(rect.right - rect.left); break;
        case kHeight: *io = MakeInteger(rect.bottom - rect.top); break;
        case kParent: {
            HWND parent = GetAncestor(hwnd, GA_PARENT);
            *io = parent && parent != GetDesktopWindow() ? NewWindowObject(context, klass, parent)
                                                         : MakeNull();
            break;
        }
        case kHandle:
            *io = MakeInteger(static_cast<int64_t>(reinterpret_cast<intptr_t>(hwnd)));
            break;
        case kClassName: {
            char name[256] = "";
            GetClassNameA(hwnd, name, sizeof name);
            *io = AnsiString(context, name);
            break;
        }
        case kVisible: *io = MakeBoolean(IsWindowVisible(hwnd) != FALSE); break;
        case kEnable: *io = MakeBoolean(IsWindowEnabled(hwnd) != FALSE); break;
        case kWindowState: *io = WindowStateText(context, hwnd); break;
        default: break;
    }
    return 1;
}

// ---- Finding windows ---------------------------------------------------------

struct Collected {
    std::vector<HWND> windows;
    const std::string* title;
};

BOOL CALLBACK CollectByTitle(HWND hwnd, LPARAM user) {
    auto* collected = reinterpret_cast<Collected*>(user);
    char title[1024] = "";
    GetWindowTextA(hwnd, title, sizeof title);
    if (*collected->title == title) collected->windows.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectAll(HWND hwnd, LPARAM user) {
    reinterpret_cast<Collected*>(user)->windows.push_back(hwnd);
    return TRUE;
}

Value WindowArray(ScriptContext* context, NativeClass* klass, const std::vector<HWND>& windows) {
    Value array = NewArray(context, windows.size());
    for (size_t i = 0; i < windows.size(); ++i)
        ArraySet(context, array, NewWindowObject(context, klass, windows[i]), i);
    return array;
}

// An argument that is neither a String nor absent (Null, Undefined) finds
// nothing.
bool NameOrNone(const Value* args, int k) {
    return !HasArg(args, k) || args[k].tag == ValueTag::String || args[k].tag == ValueTag::Null ||
           args[k].tag == ValueTag::Undefined;
}

Value Find(ScriptContext* context, NativeClass* klass, Value* args) {
    if (!NameOrNone(args, 1) || !NameOrNone(args, 2)) return MakeNull();
    std::string className, title;
    const bool byClass = IsStringArg(args, 1) && BoundedAnsi(context, args[1], 255, className);
    const bool byTitle = IsStringArg(args, 2) && BoundedAnsi(context, args[2], 32767, title);
    if ((IsStringArg(args, 1) && !byClass) || (IsStringArg(args, 2) && !byTitle)) return MakeNull();
    HWND found =
        FindWindowA(byClass ? className.c_str() : nullptr, byTitle ? title.c_str() : nullptr);
    return NewWindowObject(context, klass, found);
}

// ---- Moving -------------------------------------------------------------------

void MoveToEdges(HWND hwnd, Value* args) {
    RECT rect = RectInParent(hwnd);
    LONG* edges[4] = {&rect.left, &rect.top, &rect.right, &rect.bottom};
    for (int k = 0; k < 4; ++k) {
        if (IsIntegerArg(args, k + 1)) *edges[k] = ClampCoordinate(args[k + 1].integer);
    }
    PlaceWindow(hwnd, rect);
}

// A child is centred in its parent's client area, a top-level window on
// its owner, or on the work area when it has no visible owner.
void Center(HWND hwnd) {
    const bool child = (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) != 0;
    RECT rect = RectInParent(hwnd), around{};
    HWND owner = child ? GetParent(hwnd) : GetWindow(hwnd, GW_OWNER);
    if (child) {
        GetClientRect(owner, &around);
    } else if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &around);
    } else {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &around, 0);
    }
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    SetWindowPos(hwnd, nullptr, around.left + (around.right - around.left - width) / 2,
                 around.top + (around.bottom - around.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ModifyStyle(HWND hwnd, int index, Value* args) {
    if (!IsIntegerArg(args, 1) || !IsIntegerArg(args, 2)) return;
    LONG_PTR style = GetWindowLongPtrA(hwnd, index);
    style = (style & ~static_cast<LONG_PTR>(static_cast<uint32_t>(args[1].integer))) |
            static_cast<LONG_PTR>(static_cast<uint32_t>(args[2].integer));
    SetWindowLongPtrA(hwnd, index, style);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Value Animate(HWND hwnd, Value* args) {
    using AnimateFunction = BOOL(WINAPI*)(HWND, DWORD, DWORD);
    static auto animate = reinterpret_cast<AnimateFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "AnimateWindow")));
    if (!animate || !IsIntegerArg(args, 1) || !IsIntegerArg(args, 2)) return MakeBoolean(false);
    // A script's time is kept to what a person would wait for.
    const int64_t time = args[1].integer < 0       ? 0
                         : args[1].integer > 10000 ? 10000
                                                   : args[1].integer;
    return MakeBoolean(animate(hwnd, static_cast<DWORD>(time),
                               static_cast<DWORD>(static_cast<uint32_t>(args[2].integer))) !=
                       FALSE);
}

// Each step waits `delay` milliseconds; a flight holds the thread until it
// ends, as the window moves in sight.
void Fly(HWND hwnd, const FlightPath& path, int64_t delay) {
    const DWORD wait = static_cast<DWORD>(delay < 0 ? 0 : delay > 1000 ? 1000 : delay);
    for (int64_t step = 1; step <= path.Steps() && IsWindow(hwnd); ++step) {
        FlightPoint at = path.At(step);
        SetWindowPos(hwnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateWindow(hwnd);
        if (wait) Sleep(wait);
    }
}

void Fly2(HWND hwnd, Value* args) {
    int64_t coordinates[4];
    for (int k = 0; k < 4; ++k) {
        if (!IsIntegerArg(args, k + 1)) return;
        coordinates[k] = ClampCoordinate(args[k + 1].integer);
    }
    FlightPath path(static_cast<int>(coordinates[0]), static_cast<int>(coordinates[1]),
                    static_cast<int>(coordinates[2]), static_cast<int>(coordinates[3]));
    if (path.Steps() == 0) return;
    SetWindowPos(hwnd, nullptr, path.At(0).x, path.At(0).y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Fly(hwnd, path, IntegerArg(args, 5, 0));
}

// A child slides within its parent's client area, a top-level window within
// the work area.
void SlideToEdge(ScriptContext* context, HWND hwnd, Value* args) {
    RECT window = RectInParent(hwnd), work{};
    if (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)
        GetClientRect(GetParent(hwnd), &work);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int64_t mode = IntegerArg(args, 2, 2);
    const bool flag = HasArg(args, 3) && ToBoolean(context, args[3]);
    Slide slide = SlideFor(FlightRect{window.left, window.top, window.right, window.bottom},
                           FlightRect{work.left, work.top, work.right, work.bottom},
                           IntegerArg(args, 1, 3), mode);
    SetWindowPos(hwnd, nullptr, slide.from.x, slide.from.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (flag && mode == 0) ShowWindow(hwnd, SW_SHOWNA);
    Fly(hwnd, FlightPath(slide.from.x, slide.from.y, slide.to.x, slide.to.y),
        IntegerArg(args, 4, 10));
    if (flag && mode == 1) ShowWindow(hwnd, SW_HIDE);
}

void AskToClose(HWND hwnd) {
    // A window of another thread is asked by a posted message, so that a
    // program that does not answer cannot hold this one.
    if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId())
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
    else
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

int WindowMethod(ScriptContext* context, NativeClass* klass, void* data, int member, Value* out,
                 Value* args) {
    // Finding works on the class object too.
    if (member == kFind) {
        *out = Find(context, klass, args);
        return 1;
    }
    if (member == kGetWindowsByName) {
        std::string title;
        if (!IsStringArg(args, 1) || !BoundedAnsi(context, args[1], 1023, title)) return 1;
        Collected collected{{}, &title};
        EnumWindows(CollectByTitle, reinterpret_cast<LPARAM>(&collected));
        *out = WindowArray(context, klass, collected.windows);
        return 1;
    }
    if (!data) return 1;
    ScriptWindow* window = static_cast<WindowData*>(data)->window;
    if (!WindowAlive(window)) return 1;
    HWND hwnd = window->hwnd;
    switch (member) {
        case kGetChildren: {
            Collected collected{{}, nullptr};
            EnumChildWindows(hwnd, CollectAll, reinterpret_cast<LPARAM>(&collected));
            *out = WindowArray(context, klass, collected.windows);
            break;
        }
        case kCreate: {
            std::string className;
            if (!IsStringArg(args, 1) || !BoundedAnsi(context, args[1], 255, className)) break;
            HWND child = CreateWindowExA(0, className.c_str(), "", WS_CHILD | WS_VISIBLE, 0, 0, 200,
                                         20, hwnd, nullptr, GetModuleHandleA(nullptr), nullptr);
            *out = child ? NewWindowObject(context, klass, child) : MakeNull();
            break;
        }
        case kShow: ShowWindow(hwnd, SW_SHOW); break;
        case kHide: ShowWindow(hwnd, SW_HIDE); break;
        case kClose: AskToClose(hwnd); break;
        case kBringToTop: SetForegroundWindow(hwnd); break;
        case kMove: MoveToEdges(hwnd, args); break;
        case kCenter: Center(hwnd); break;
        case kModifyStyle: ModifyStyle(hwnd, GWL_STYLE, args); break;
        case kModifyStyleEx: ModifyStyle(hwnd, GWL_EXSTYLE, args); break;
        case kAnimate: *out = Animate(hwnd, args); break;
        case kUpdate:
            *out = MakeBoolean(RedrawWindow(hwnd, nullptr, nullptr,
                                            RDW_INVALIDATE | RDW_ERASE | RDW_FRAME |
                                                RDW_ALLCHILDREN | RDW_UPDATENOW) != FALSE);
            break;
        case kFly2: Fly2(hwnd, args); break;
        case kFly: SlideToEdge(context, hwnd, args); break;
        default: break;
    }
    return 1;
}

const ClassSpec kWindowClass = {
    .name = "Window",
    .text = u"[object Window]",
    .about =
        "Any window by its handle: geometry, caption, state, finding and creating "
        "windows, and its messages as script events; new Window(handle), or from "
        "getMainWnd, FlashPlayer.window and Shell.run. On a handle that is no longer a "
        "window every operation does nothing.",
    .methods = kMethods,
    .method = WindowMethod,
    .properties = kProperties,
    .property = WindowProperty,
    .construct = ConstructWindow,
    .finalize = FinalizeWindow,
    .mark = MarkWindow,
    .instanceSize = sizeof(WindowData),
};

}  // namespace

void RegisterWindowClass(ScriptContext* context) {
    auto* classData = new WindowClassData{context, nullptr};
    classData->klass = DefineClass(context, kWindowClass, classData, FreeWindowClassData);
    gClasses.push_back(classData);
    const struct {
        const char* name;
        int64_t value;
    } kConstants[] = {
        {"$AW_SLIDE", 0x40000},  {"$AW_ACTIVATE", 0x20000}, {"$AW_BLEND", 0x80000},
        {"$AW_HIDE", 0x10000},   {"$AW_CENTER", 16},        {"$AW_HOR_POSITIVE", 1},
        {"$AW_HOR_NEGATIVE", 2}, {"$AW_VER_POSITIVE", 4},   {"$AW_VER_NEGATIVE", 8},
    };
    for (const auto& constant : kConstants)
        SetGlobal(context, constant.name, MakeInteger(constant.value));
    static const MemberRow kConstantRows[] = {
        {"$AW_SLIDE", "Integer: animate flag, slide (0x40000)"},
        {"$AW_ACTIVATE", "Integer: animate flag, activate the window (0x20000)"},
        {"$AW_BLEND", "Integer: animate flag, fade (0x80000)"},
        {"$AW_HIDE", "Integer: animate flag, hide the window (0x10000)"},
        {"$AW_CENTER", "Integer: animate flag, collapse inward or expand outward (16)"},
        {"$AW_HOR_POSITIVE", "Integer: animate flag, left to right (1)"},
        {"$AW_HOR_NEGATIVE", "Integer: animate flag, right to left (2)"},
        {"$AW_VER_POSITIVE", "Integer: animate flag, top to bottom (4)"},
        {"$AW_VER_NEGATIVE", "Integer: animate flag, bottom to top (8)"},
    };
    DescribeGlobals(kConstantRows);
}

Value WindowValueOf(ScriptContext* context, HWND hwnd) {
    if (!hwnd) return MakeNull();
    if (NativeClass* klass = WindowClassOf(context)) return NewWindowObject(context, klass, hwnd);
    return MakeNull();
}

bool IsWindowValueFor(ScriptContext* context, const Value& value, HWND hwnd) {
    ScriptWindow* window = WindowOfValue(context, value);
    return window != nullptr && window->hwnd == hwnd && WindowAlive(window);
}

}  // namespace kelpo
