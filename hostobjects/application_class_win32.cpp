// The Application class: one class object (calling or constructing it gives
// the class object) whose properties and methods reach the projector: the
// option objects, the command line, the cursor, mouse and focus, host
// events, interval timers, the trace file, file associations, window
// messages, the movie base path and the drag region.
//
// Registering it makes the registering engine the event engine. The class
// data is that engine; when the class goes, with its engine, every interval
// timer stops.
#include "hostobjects/application_class.h"

#include <windows.h>
// <windows.h> makes DefineClass a macro for the window-class function,

#include "hostobjects/application_events.h"
#include "hostobjects/application_window_ops_win32.h"
#include "hostobjects/base_path.h"
#include "hostobjects/command_items.h"
#include "hostobjects/file_association_win32.h"
#include "hostobjects/interval_timers.h"
#include "hostobjects/player_port.h"
#include "hostobjects/registry_names.h"
#include "hostobjects/trace_file.h"
#include "platform/ansi.h"
#include "runtime/array.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

enum Property {
    kAppearance,
    kSizeAndPos,
    kInteraction,
    kBehaviour,
    kSysTray,
    kDragDrop,
    kClipboard,
    kStatusBar,
    kCmdLine,
    kCmdItems,
    kCursor,
    kCaptureMouse,
    kSetFocus,
    kIsScr,
    kIsPreview,
    kTraceWnd,
    kOnGetMovie,
    kOnGetFlashPlayer,
    kOnMovieLoaded,
};
const MemberRow kPropertyNames[] = {
    {"Appearance",
     "Object, read-only: the window appearance options, the global `_Appearance_` "
     "(undefined until the option objects exist)"},
    {"SizeAndPos",
     "Object, read-only: the size and position options, the global `_SizeAndPos_` "
     "(undefined until the option objects exist)"},
    {"Interaction",
     "Object, read-only: the interaction options, the global `_Interaction_` "
     "(undefined until the option objects exist)"},
    {"Behaviour",
     "Object, read-only: the behaviour options, the global `_Behaviour_` (undefined "
     "until the option objects exist)"},
    {"SysTray",
     "Object, read-only: the tray icon options, the global `_Tray_` (undefined until the "
     "option objects exist)"},
    {"dragdrop",
     "Object, read-only: the drag and drop options, the global `_DragDrop_` (undefined "
     "until the option objects exist)"},
    {"clipboard",
     "Object, read-only: the clipboard options, the global `_Clipboard_` (undefined "
     "until the option objects exist)"},
    {"StatusBar",
     "Object, read-only: the status bar options, the global `_StatusBar_` (undefined "
     "until the option objects exist)"},
    {"cmdLine", "String, read-only: the whole command line of the process"},
    {"cmdItems", "Array, read-only: the command-line items after the program, quotes removed"},
    {"cursor",
     "write-only: a cursor file (.cur, .ani, or an additional file) to show, \"hide\" to "
     "hide the cursor, null for the player's own"},
    {"captureMouse",
     "Boolean: whether the player window holds the mouse; true captures it, false "
     "releases it"},
    {"setFocus",
     "Boolean: whether the player window has the keyboard focus; true gives it the "
     "focus"},
    {"isScr", "Boolean, read-only: false (the projector is no screen saver)"},
    {"isPreview", "Boolean, read-only: false"},
    {"traceWnd", "Null, read-only: null"},
    {"onGetMovie",
     "Function: called with an Object before the start movie loads; when it answers "
     "true with value a String, that movie is used"},
    {"onGetFlashPlayer",
     "Function: called with an Object before the player loads; when it answers "
     "true with value a String, that player file is used"},
    {"onMovieLoaded", "Function: called with the movie's path when a movie has loaded"},
};

enum Method {
    kAbout,
    kGetBasePath,
    kSetBasePath,
    kAssociate,
    kSetInterval,
    kClearInterval,
    kTraceToFile,
    kSendMessage,
    kSetDragRegion,
};
const MemberRow kMethodNames[] = {
    {"about", "about() -> nothing: opens the about box once the script returns"},
    {"getBasePath", "getBasePath() -> String: the player's base path; null when it has none"},
    {"setBasePath",
     "setBasePath([folder]) -> nothing: the player's base becomes the folder, "
     "\"movies\", \"attachments\", or the executable's folder"},
    {"associate",
     "associate(extension, typeName) -> nothing: registers typeName to open with this "
     "projector, and the extension for it unless bound to another type"},
    {"setInterval",
     "setInterval(function, ms [, arg, ...]) or (object, method, ms [, arg, ...]) "
     "-> Integer: calls it every ms milliseconds; the timer's id, 0 when not "
     "started"},
    {"clearInterval", "clearInterval(id) -> nothing: stops the timer"},
    {"traceToFile",
     "traceToFile([path]) -> nothing: trace output goes to the file from now on "
     "(truncated); without a path tracing stops"},
    {"sendMessage",
     "sendMessage(window, message [, wParam [, lParam]]) -> Integer: sends the "
     "message to the window handle; its result"},
    {"setDragRegion",
     "setDragRegion([x, y, width, height] or [mask]) -> nothing: where a left "
     "press drags the window: a rectangle, a .msk region, or everywhere"},
};

// The globals the option-object properties read, in property order.
const char* const kOptionGlobals[] = {
    "_Appearance_", "_SizeAndPos_", "_Interaction_", "_Behaviour_",
    "_Tray_",       "_DragDrop_",   "_Clipboard_",   "_StatusBar_",
};
constexpr int kOptionCount = sizeof kOptionGlobals / sizeof kOptionGlobals[0];

AppEvent EventOf(int member) {
    return member == kOnGetMovie         ? AppEvent::GetMovie
           : member == kOnGetFlashPlayer ? AppEvent::GetFlashPlayer
                                         : AppEvent::MovieLoaded;
}

Value CommandItems(ScriptContext* context) {
    std::vector<std::string> items = SplitCommandItems(GetCommandLineA());
    Value array = NewArray(context, items.size());
    for (size_t i = 0; i < items.size(); ++i)
        ArraySet(context, array, AnsiString(context, items[i]), i);
    return array;
}

Value ReadProperty(ScriptContext* context, int member) {
    // Undefined until the option objects are registered.
    if (member < kOptionCount) return GetGlobal(context, kOptionGlobals[member]);
    switch (member) {
        case kCmdLine: return AnsiString(context, GetCommandLineA());
        case kCmdItems: return CommandItems(context);
        case kCaptureMouse: return MakeBoolean(PlayerHasCapture());
        case kSetFocus: return MakeBoolean(PlayerHasFocus());
        case kIsScr:
        case kIsPreview: return MakeBoolean(false);
        case kTraceWnd: return MakeNull();
        case kOnGetMovie:
        case kOnGetFlashPlayer:
        case kOnMovieLoaded: return EventHandler(context, EventOf(member));
        default: return MakeUndefined();  // cursor
    }
}

void WriteProperty(ScriptContext* context, int member, const Value& value) {
    switch (member) {
        case kCursor: AssignApplicationCursor(context, value); return;
        case kCaptureMouse: CapturePlayerMouse(ToBoolean(context, value) != 0); return;
        case kSetFocus:
            if (ToBoolean(context, value)) FocusPlayer();
            return;
        case kOnGetMovie:
        case kOnGetFlashPlayer:
        case kOnMovieLoaded: SetEventHandler(context, EventOf(member), value); return;
        default: return;  // read-only
    }
}

int ApplicationProperty(ScriptContext* context, NativeClass*, void*, int member, int isSet,
                        Value* io) {
    if (isSet) {
        WriteProperty(context, member, *io);
    } else {
        *io = ReadProperty(context, member);
    }
    return 1;
}

Value BasePath(ScriptContext* context) {
    ControlValue base;
    if (!GetControlProperty("Base", base) || base.kind != ControlValue::Kind::Text ||
        base.text.empty())
        return MakeNull();
    return NewString(context, base.text.data(), static_cast<uint32_t>(base.text.size()));
}

void SetBasePath(ScriptContext* context, const Value* args) {
    std::string argument;
    const bool given = HasArg(args, 1);
    if (given && !BoundedAnsi(context, args[1], kMaxPathText, argument)) return;
    std::string folder;
    if (!ChooseBaseFolder(TheProject(), given ? &argument : nullptr, folder)) return;
    std::string url = BasePathUrl(folder);
    std::u16string wide(url.size(), u'\0');
    wide.resize(AnsiToUtf16(url.data(), url.size(), &wide[0], wide.size()));
    PutControlProperty("Base", ControlValue::OfText(wide));
}

void Associate(ScriptContext* context, const Value* args) {
    std::string extension, typeName;
    if (!BoundedAnsi(context, HasArg(args, 1) ? args[1] : MakeUndefined(), kMaxKeyName,
                     extension) ||
        !BoundedAnsi(context, HasArg(args, 2) ? args[2] : MakeUndefined(), kMaxKeyName, typeName))
        return;
    AssociateFileType(extension, typeName);
}

void TraceToFile(ScriptContext* context, const Value* args) {
    CloseTraceFile();
    std::string path;
    if (IsStringArg(args, 1) && BoundedAnsi(context, args[1], kMaxPathText, path))
        OpenTraceFile(path);
}

int ApplicationMethod(ScriptContext* context, NativeClass*, void*, int member, Value* out,
                      Value* args) {
    switch (member) {
        case kAbout: PostAboutCommand(); break;
        case kGetBasePath: *out = BasePath(context); break;
        case kSetBasePath: SetBasePath(context, args); break;
        case kAssociate: Associate(context, args); break;
        case kSetInterval:
            *out = MakeInteger(static_cast<int64_t>(StartInterval(context, args)));
            break;
        case kClearInterval:
            if (IsIntegerArg(args, 1)) StopInterval(static_cast<uintptr_t>(args[1].integer));
            break;
        case kTraceToFile: TraceToFile(context, args); break;
        case kSendMessage: *out = SendWindowMessage(args); break;
        case kSetDragRegion: SetDragRegion(context, args); break;
    }
    return 1;
}

// The class object itself: the global's value while it still holds this
// class, else a new class object of it.
void ConstructApplication(ScriptContext* context, NativeClass* klass, Value*, Value* out) {
    const Value global = GetGlobal(context, "Application");
    if (global.tag == ValueTag::Native && global.native->klass == klass &&
        global.native->data == nullptr) {
        *out = global;
        return;
    }
    *out = BindNative(context, klass, nullptr);
}

void CallApplication(ScriptContext* context, NativeClass* klass, void*, Value* out, Value* args) {
    ConstructApplication(context, klass, args, out);
}

// The timers' values belong to this engine's heap: they are kept through
// every class object of the engine.
void MarkApplication(NativeClass* klass, void*) {
    MarkIntervals(static_cast<ScriptContext*>(ClassData(klass)));
}

// The class goes with its engine: no timer may call into it any more.
void ReleaseEngine(void* engine) {
    StopAllIntervals();
    DetachEventEngine(static_cast<ScriptContext*>(engine));
}

const ClassSpec kApplicationClass = {
    .name = "Application",
    .text = u"[object Application]",
    .about =
        "The running projector: its option objects, command line, timers, tracing, file "
        "associations, cursor, window messages, base path and host events; used through the "
        "class itself",
    .methods = kMethodNames,
    .method = ApplicationMethod,
    .properties = kPropertyNames,
    .property = ApplicationProperty,
    .call = CallApplication,
    .construct = ConstructApplication,
    .mark = MarkApplication,
};

}  // namespace

void RegisterApplicationClass(ScriptContext* context) {
    DefineClass(context, kApplicationClass, context, ReleaseEngine);
    AttachEventEngine(context);
    // The option objects "_Appearance_", "_SizeAndPos_", "_Interaction_",
    // "_Behaviour_", "_Tray_", "_DragDrop_", "_Clipboard_" and "_StatusBar_"
    // are registered here, in this order, once their classes exist.
}

}  // namespace kelpo
