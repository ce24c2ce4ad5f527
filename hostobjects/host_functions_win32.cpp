// The host's global functions: the executable and its folder, the movie
// list, additional files, the window shape, the application profile in the
// registry, message pumping, running script resources, and the main window.
#include "hostobjects/host_functions.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "host/command_bridge.h"
#include "host/project_data.h"
#include "host/window_messages.h"
#include "hostobjects/message_pump_win32.h"
#include "hostobjects/projector_port_win32.h"
#include "hostobjects/registry_names.h"
#include "runtime/native_args.h"
#include "platform/files.h"
#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/class_kit.h"
#include "syslib/host_window_win32.h"
#include "runtime/convert.h"
#include "runtime/native.h"

namespace kelpo {
namespace {

// Longest profile value a script writes or reads back.
constexpr size_t kMaxProfileValue = 32767;

void GetExeName(ScriptContext* context, NativeClass*, void*, Value* out, Value*) {
    *out = AnsiString(context, TheProject().exePath);
}

void GetAppDir(ScriptContext* context, NativeClass*, void*, Value* out, Value*) {
    std::string folder = FolderOfPath(TheProject().exePath);
    if (!folder.empty() && folder.back() == '/') folder.back() = '\\';
    *out = AnsiString(context, folder);
}

void GetMovies(ScriptContext* context, NativeClass*, void*, Value* out, Value*) {
    const MovieList& movies = TheProject().movies;
    std::vector<const std::string*> listed;
    for (size_t i = 0; i < movies.paths.size(); ++i) {
        if (IsMovieAt(movies, i)) listed.push_back(&movies.paths[i]);
    }
    // An array's length is fixed when it is made; ArraySet does not grow it.
    *out = NewArray(context, listed.size());
    for (size_t i = 0; i < listed.size(); ++i)
        ArraySet(context, *out, AnsiString(context, *listed[i]), i);
}

void GetAdditionalFileFn(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    std::string request =
        HasArg(args, 1) ? AnsiOfValue(context, args[1], kMaxPathText) : std::string();
    std::string path = GetAdditionalFile(request);
    *out = path.empty() ? MakeNull() : AnsiString(context, path);
}

void GetMainWnd(ScriptContext* context, NativeClass*, void*, Value* out, Value*) {
    *out = CachedWindowValue(context, "$_QANTOR_MAIN_WINDOW_", ProjectorMainWindow());
}

void SetWindowless(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    *out = MakeUndefined();
    AppearanceSettings& appearance = TheProject().settings.appearance;
    if (!HasArg(args, 1)) {
        appearance.windowShape = kShapeRectangle;
    } else if (args[1].tag == ValueTag::String) {
        std::string mask;
        if (!BoundedAnsi(context, args[1], sizeof appearance.maskName - 1, mask)) return;
        memcpy(appearance.maskName, mask.c_str(), mask.size() + 1);
        appearance.windowShape = kShapeMask;
    } else {
        appearance.windowShape =
            ToBoolean(context, args[1]) ? kShapeTransparentBackground : kShapeRectangle;
    }
    if (HWND frame = ProjectorMainWindow()) PostMessageA(frame, kReapplyShapeMessage, 0, 0);
}

bool ProfileNames(ScriptContext* context, const Value* args, std::string& key, std::string& entry) {
    std::string section;
    return IsStringArg(args, 1) && IsStringArg(args, 2) &&
           BoundedAnsi(context, args[1], kMaxKeyName, section) &&
           BoundedAnsi(context, args[2], kMaxValueName, entry) &&
           ProfileSectionKey(TheProject().identity, section, key);
}

void ReadProfile(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    *out = MakeUndefined();
    std::string keyName, entry;
    if (!ProfileNames(context, args, keyName, entry)) return;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyName.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    std::string value(kMaxProfileValue + 1, '\0');
    DWORD size = static_cast<DWORD>(value.size()), type = 0;
    bool ok = RegQueryValueExA(key, entry.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(&value[0]), &size) == ERROR_SUCCESS &&
              (type == REG_SZ || type == REG_EXPAND_SZ);
    RegCloseKey(key);
    if (!ok) return;
    value.resize(strnlen(value.c_str(), size));
    if (!value.empty()) *out = AnsiString(context, value);
}

void WriteProfile(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    *out = MakeUndefined();
    std::string keyName, entry;
    if (!HasArg(args, 3) || !ProfileNames(context, args, keyName, entry)) return;
    std::string value = AnsiOfValue(context, args[3], kMaxProfileValue);
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyName.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, entry.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void ProcessMsg(ScriptContext*, NativeClass*, void*, Value* out, Value*) {
    *out = MakeBoolean(ProcessWaitingMessages());
}

void Invoke(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    *out = MakeUndefined();
    std::string name;
    if (!IsStringArg(args, 1) || !BoundedAnsi(context, args[1], kMaxPathText, name)) return;
    if (CommandBridge* bridge = ProjectorCommandBridge())
        ExecuteCommand(*bridge, "Kelpo_Run", name);
}

const MemberRow kHostRows[] = {
    {"getMainWnd",
     "getMainWnd() -> Window: the projector's main window (the same object every time)"},
    {"getAppDir", "getAppDir() -> String: the executable's folder, with a trailing backslash"},
    {"getMovies",
     "getMovies() -> Array: the paths of the movies in the projector's movie list, in "
     "order"},
    {"setWindowless",
     "setWindowless([shape]) -> nothing: the window's shape: a String names a "
     "mask, true a transparent background, false or nothing the rectangle"},
    {"readProfile",
     "readProfile(section, entry) -> String: the application's profile string in "
     "the registry; undefined when empty or missing"},
    {"writeProfile",
     "writeProfile(section, entry, value) -> nothing: writes value as text to the "
     "application's profile"},
    {"processMsg",
     "processMsg() -> Boolean: handles the waiting window messages; false when the "
     "program is closing, so a long loop should stop"},
    {"getAdditionalFile",
     "getAdditionalFile([path]) -> String: the full path of an additional "
     "file packed with the projector, extracted when needed; null when none"},
    {"getExeName", "getExeName() -> String: the full path of the executable"},
    {"invoke",
     "invoke(name) -> nothing: runs the compiled script resource of that name in the "
     "main engine"},
};

}  // namespace

Value CachedWindowValue(ScriptContext* context, const char* global, HWND hwnd) {
    if (!hwnd) return MakeNull();
    Value cached = GetGlobal(context, global);
    if (IsWindowValueFor(context, cached, hwnd)) return cached;
    Value window = WindowValueOf(context, hwnd);
    SetGlobal(context, global, window);
    return window;
}

Value PlayerWindowObject(ScriptContext* context) {
    return CachedWindowValue(context, "$_QANTOR_FLASHPLAYER_WINDOW_", ProjectorPlayerWindow());
}

void RegisterHostFunctions(ScriptContext* context) {
    DescribeGlobals(kHostRows);
    RegisterGlobalFunction(context, "getMainWnd", GetMainWnd);
    RegisterGlobalFunction(context, "getAppDir", GetAppDir);
    RegisterGlobalFunction(context, "getMovies", GetMovies);
    RegisterGlobalFunction(context, "setWindowless", SetWindowless);
    RegisterGlobalFunction(context, "readProfile", ReadProfile);
    RegisterGlobalFunction(context, "writeProfile", WriteProfile);
    RegisterGlobalFunction(context, "processMsg", ProcessMsg);
    RegisterGlobalFunction(context, "getAdditionalFile", GetAdditionalFileFn);
    RegisterGlobalFunction(context, "getExeName", GetExeName);
    RegisterGlobalFunction(context, "invoke", Invoke);
}

}  // namespace kelpo
