// The Shell class (Windows only): starting programs, opening documents
// through their associations, the process's environment variables,
// special folders, the recent-documents list, the recycle bin, the desktop
// wallpaper and file version information. All members live on the class
// object; `new Shell()` gives an instance that answers the same methods.
// No member raises: bad arguments give the member's default result.
#include <windows.h>
// windows.h first: the shell headers build on it.
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/array.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"
#include "syslib/classes.h"
#include "syslib/file_version_info_win32.h"
#include "syslib/host_window_win32.h"
#include "syslib/shell_folders_win32.h"
#include "syslib/system_error_win32.h"

namespace kelpo {
namespace {

enum Method {
    kRun,
    kRunAndWait,
    kOpen,
    kExplore,
    kPrint,
    kFindExecutable,
    kGetSpecialFolder,
    kAddToRecentDocs,
    kClearRecentDocs,
    kEmptyRecycleBin,
    kGetEnvironmentStrings,
    kGetEnvironmentVariable,
    kSetEnvironmentVariable,
    kDelEnvironmentVariable,
    kExpandEnvironmentStrings,
    kSetDesktopWallpaper,
    kSettingChange,
    kGetFileVersionInfo
};
const MemberRow kMethods[] = {
    {"run",
     "run(commandLine [, show [, x, y [, width, height]]]) -> Window: starts the program "
     "with the SW_ show value, position and size; its main window, or null"},
    {"runAndWait",
     "runAndWait(commandLine [, show [, x, y [, width, height]]]) -> nothing: starts "
     "the program and waits until it ends"},
    {"open",
     "open(file [, directory [, parameters]]) -> nothing: opens the file with its "
     "associated program"},
    {"explore",
     "explore(folder [, directory [, parameters]]) -> nothing: opens the folder for "
     "browsing"},
    {"print",
     "print(file [, directory [, parameters]]) -> nothing: prints the file with its "
     "associated program"},
    {"findExecutable",
     "findExecutable(file) -> String: the program that opens the file; null when "
     "none"},
    {"getSpecialFolder",
     "getSpecialFolder(name) -> String: the path of a special folder "
     "(\"desktop\", \"my documents\", \"temp\" ..., any case); null for "
     "others"},
    {"addToRecentDocs",
     "addToRecentDocs(path) -> nothing: adds the file to the recent-documents "
     "list"},
    {"clearRecentDocs", "clearRecentDocs() -> nothing: empties the recent-documents list"},
    {"emptyRecycleBin", "emptyRecycleBin() -> nothing: empties the recycle bin of every drive"},
    {"getEnvironmentStrings",
     "getEnvironmentStrings() -> Array: the names of all environment "
     "variables; null on failure"},
    {"getEnvironmentVariable",
     "getEnvironmentVariable(name) -> String: the variable's value; null "
     "when it is not set"},
    {"setEnvironmentVariable",
     "setEnvironmentVariable(name, value) -> Boolean: sets the variable "
     "for this process"},
    {"delEnvironmentVariable",
     "delEnvironmentVariable(name) -> Boolean: removes the variable from "
     "this process"},
    {"expandEnvironmentStrings",
     "expandEnvironmentStrings(text) -> String: text with each %NAME% "
     "replaced by the variable's value; null on failure"},
    {"setDesktopWallpaper",
     "setDesktopWallpaper(path [, updateIni [, broadcast]]) -> Boolean: "
     "sets the wallpaper, saved and announced unless false is given"},
    {"settingChange",
     "settingChange() -> nothing: tells every top-level window that settings "
     "changed"},
    {"getFileVersionInfo",
     "getFileVersionInfo(path) -> Object: the file's version resource "
     "(fileVersionNum, productVersionNum, translation, companyName, "
     "fileVersion ...); null when it has none"},
};

// Command lines and environment blocks are bounded by the system at 32767
// characters.
constexpr size_t kMaxCommandLine = 32767;
constexpr size_t kMaxEnvironmentText = 32767;
// How long run waits for the new program to be ready for input.
constexpr DWORD kInputIdleWait = 10000;

bool PathArg(ScriptContext* context, const Value* args, int k, std::string* path) {
    return HasArg(args, k) && BoundedAnsi(context, args[k], kMaxPathText, *path) && !path->empty();
}

// ---- Programs -------------------------------------------------------------

bool StartProcess(ScriptContext* context, Value* args, PROCESS_INFORMATION* process) {
    std::string commandLine;
    if (!HasArg(args, 1) || !BoundedAnsi(context, args[1], kMaxCommandLine, commandLine) ||
        commandLine.empty())
        return false;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (IsIntegerArg(args, 2)) {
        startup.dwFlags |= STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(args[2].integer);
    }
    if (IsIntegerArg(args, 3) && IsIntegerArg(args, 4)) {
        startup.dwFlags |= STARTF_USEPOSITION;
        startup.dwX = static_cast<DWORD>(args[3].integer);
        startup.dwY = static_cast<DWORD>(args[4].integer);
    }
    if (IsIntegerArg(args, 5) && IsIntegerArg(args, 6)) {
        startup.dwFlags |= STARTF_USESIZE;
        startup.dwXSize = static_cast<DWORD>(args[5].integer);
        startup.dwYSize = static_cast<DWORD>(args[6].integer);
    }
    // CreateProcessA may write into the command line: it gets its own copy.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, process)) {
        SetSystemError(context, GetLastError());
        return false;
    }
    return true;
}

BOOL CALLBACK FindMainWindow(HWND window, LPARAM found) {
    if (IsWindow(window) && GetParent(window) == nullptr &&
        (GetWindowLongA(window, GWL_STYLE) & WS_POPUP) == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// The program's first top-level, non-popup window as a Window; Null when
// it has none (yet). The process and thread handles are not kept.
Value Run(ScriptContext* context, Value* args) {
    PROCESS_INFORMATION process = {};
    if (!StartProcess(context, args, &process)) return MakeNull();
    WaitForInputIdle(process.hProcess, kInputIdleWait);
    HWND found = nullptr;
    EnumThreadWindows(process.dwThreadId, FindMainWindow, reinterpret_cast<LPARAM>(&found));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return found != nullptr ? WindowValueOf(context, found) : MakeNull();
}

// Blocks until the program ends, then gives the activation back to the
// main window and the focus to the window that had it.
void RunAndWait(ScriptContext* context, Value* args) {
    HWND focus = GetFocus();
    PROCESS_INFORMATION process = {};
    if (!StartProcess(context, args, &process)) return;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (HWND main = SyslibMainWindow()) SetActiveWindow(main);
    if (focus != nullptr && IsWindow(focus)) SetFocus(focus);
}

void Execute(ScriptContext* context, const char* verb, Value* args) {
    std::string file, directory, parameters;
    if (!PathArg(context, args, 1, &file)) return;
    const bool hasDirectory = IsStringArg(args, 2) && PathArg(context, args, 2, &directory);
    const bool hasParameters =
        IsStringArg(args, 3) && BoundedAnsi(context, args[3], kMaxCommandLine, parameters);
    ShellExecuteA(SyslibMainWindow(), verb, file.c_str(),
                  hasParameters ? parameters.c_str() : nullptr,
                  hasDirectory ? directory.c_str() : nullptr, SW_SHOWNORMAL);
}

Value ExecutableFor(ScriptContext* context, Value* args) {
    std::string file;
    if (!PathArg(context, args, 1, &file)) return MakeNull();
    char program[MAX_PATH + 1] = {};
    const INT_PTR result =
        reinterpret_cast<INT_PTR>(FindExecutableA(file.c_str(), nullptr, program));
    if (result <= 32) return MakeNull();
    return NewStringFromCString(context, program);
}

// ---- Folders and lists ----------------------------------------------------

Value GetSpecialFolder(ScriptContext* context, Value* args) {
    std::string name, path;
    if (!HasArg(args, 1) || !BoundedAnsi(context, args[1], kMaxPathText, name)) return MakeNull();
    if (!NamedFolderPath(name, &path)) return MakeNull();
    return AnsiString(context, path);
}

// Only a named file is added: SHAddToRecentDocs takes a missing path as
// "clear the list", which a wrong argument must not do.
void AddToRecentDocs(ScriptContext* context, Value* args) {
    std::string path;
    if (PathArg(context, args, 1, &path)) SHAddToRecentDocs(SHARD_PATHA, path.c_str());
}

void EmptyRecycleBin() {
    using EmptyBin = HRESULT(WINAPI*)(HWND, LPCSTR, DWORD);
    HMODULE shell = LoadLibraryA("Shell32.dll");
    if (shell == nullptr) return;
    auto empty = reinterpret_cast<EmptyBin>(
        reinterpret_cast<void*>(GetProcAddress(shell, "SHEmptyRecycleBinA")));
    if (empty != nullptr) empty(SyslibMainWindow(), nullptr, 0);
    FreeLibrary(shell);
}

// ---- Environment ----------------------------------------------------------

// The names in block order; an entry is cut at its "=", one that starts
// with "=" (the per-drive current folders, "=C:=C:\x") at its second.
Value EnvironmentNames(ScriptContext* context) {
    char* block = GetEnvironmentStringsA();
    if (block == nullptr) return MakeNull();
    Value list = NewArray(context, 0);
    uint64_t count = 0;
    for (const char* entry = block; *entry != '\0'; entry += std::strlen(entry) + 1) {
        const char* equals = std::strchr(entry + 1, '=');
        const size_t size =
            equals != nullptr ? static_cast<size_t>(equals - entry) : std::strlen(entry);
        ArraySet(context, list, NewStringFromAnsi(context, entry, size), count++);
        list.array->length = count;
    }
    FreeEnvironmentStringsA(block);
    return list;
}

// Argument k converted with ToString; false when missing or too long.
bool TextArg(ScriptContext* context, const Value* args, int k, std::string* text) {
    return HasArg(args, k) &&
           BoundedAnsi(context, ToString(context, args[k]), kMaxEnvironmentText, *text);
}

// Names are non-empty and hold no "=" (which would end the name in the
// block).
bool NameArg(ScriptContext* context, const Value* args, int k, std::string* name) {
    return TextArg(context, args, k, name) && !name->empty() &&
           name->find('=') == std::string::npos;
}

Value GetVariable(ScriptContext* context, Value* args) {
    std::string name;
    if (!IsStringArg(args, 1) || !NameArg(context, args, 1, &name)) return MakeNull();
    std::vector<char> value(256);
    for (int attempt = 0; attempt < 4; ++attempt) {
        SetLastError(ERROR_SUCCESS);
        const DWORD size =
            GetEnvironmentVariableA(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
        if (size == 0) {
            // 0 is also the length of a variable set to an empty text.
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return MakeNull();
            return AnsiString(context, std::string());
        }
        if (size < value.size()) return NewStringFromAnsi(context, value.data(), size);
        // Too small: size is what it needs, terminator included.
        value.resize(size + 1);
    }
    return MakeNull();
}

bool SetVariable(ScriptContext* context, Value* args) {
    std::string name, value;
    if (ArgCount(args) < 2 || !NameArg(context, args, 1, &name) ||
        !TextArg(context, args, 2, &value))
        return false;
    return SetEnvironmentVariableA(name.c_str(), value.c_str()) != FALSE;
}

bool DeleteVariable(ScriptContext* context, Value* args) {
    std::string name;
    if (!NameArg(context, args, 1, &name)) return false;
    return SetEnvironmentVariableA(name.c_str(), nullptr) != FALSE;
}

Value ExpandVariables(ScriptContext* context, Value* args) {
    std::string text;
    if (!IsStringArg(args, 1) || !TextArg(context, args, 1, &text)) return MakeNull();
    std::vector<char> expanded(text.size() + 256);
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD size = ExpandEnvironmentStringsA(text.c_str(), expanded.data(),
                                                     static_cast<DWORD>(expanded.size()));
        if (size == 0) return MakeNull();
        // The size counts the terminator.
        if (size <= expanded.size()) return NewStringFromCString(context, expanded.data());
        expanded.resize(size + 1);
    }
    return MakeNull();
}

// ---- Desktop settings -----------------------------------------------------

bool SetWallpaper(ScriptContext* context, Value* args) {
    std::string path;
    if (!HasArg(args, 1) || !BoundedAnsi(context, args[1], kMaxPathText, path)) return false;
    UINT flags = 0;
    if (!HasArg(args, 2) || ToBoolean(context, args[2])) flags |= SPIF_UPDATEINIFILE;
    if (!HasArg(args, 3) || ToBoolean(context, args[3])) flags |= SPIF_SENDWININICHANGE;
    return SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, &path[0], flags) != FALSE;
}

// A window that does not answer is skipped after a while instead of
// holding the caller for ever.
void SettingChange() {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, 5000,
                        &ignored);
}

Value GetVersionInfo(ScriptContext* context, Value* args) {
    std::string path;
    if (!PathArg(context, args, 1, &path)) return MakeNull();
    return FileVersionInfo(context, path);
}

int ShellMethod(ScriptContext* context, NativeClass*, void*, int member, Value* out, Value* args) {
    switch (member) {
        case kRun: *out = Run(context, args); break;
        case kRunAndWait: RunAndWait(context, args); break;
        case kOpen: Execute(context, "open", args); break;
        case kExplore: Execute(context, "explore", args); break;
        case kPrint: Execute(context, "print", args); break;
        case kFindExecutable: *out = ExecutableFor(context, args); break;
        case kGetSpecialFolder: *out = GetSpecialFolder(context, args); break;
        case kAddToRecentDocs: AddToRecentDocs(context, args); break;
        case kClearRecentDocs: SHAddToRecentDocs(SHARD_PATHA, nullptr); break;
        case kEmptyRecycleBin: EmptyRecycleBin(); break;
        case kGetEnvironmentStrings: *out = EnvironmentNames(context); break;
        case kGetEnvironmentVariable: *out = GetVariable(context, args); break;
        case kSetEnvironmentVariable: *out = MakeBoolean(SetVariable(context, args)); break;
        case kDelEnvironmentVariable: *out = MakeBoolean(DeleteVariable(context, args)); break;
        case kExpandEnvironmentStrings: *out = ExpandVariables(context, args); break;
        case kSetDesktopWallpaper: *out = MakeBoolean(SetWallpaper(context, args)); break;
        case kSettingChange: SettingChange(); break;
        case kGetFileVersionInfo: *out = GetVersionInfo(context, args); break;
    }
    return 1;
}

// Shell has no properties: every read gives Undefined, writes are ignored.
int ShellProperty(ScriptContext*, NativeClass*, void*, Atom, int isSet, Value* io) {
    if (!isSet) *io = MakeUndefined();
    return 1;
}

struct ShellRecord {
    char unused;
};

const MemberRow kOtherMembers[] = {
    {"(any other name)", "undefined: Shell has no properties; writes are ignored"},
};

// new Shell(): an instance answering the class's methods.
void ConstructShell(ScriptContext* context, NativeClass* klass, Value*, Value* out) {
    NewInstanceOf<ShellRecord>(context, klass, out);
}

const ClassSpec kShellClass = {
    .name = "Shell",
    .text = u"[object Shell]",
    .about =
        "Programs, documents and the desktop: starting programs, opening files through their "
        "associations, environment variables, special folders, recent documents, recycle bin, "
        "wallpaper and version resources; the methods are the class's own (new Shell() "
        "answers them too)",
    .methods = kMethods,
    .method = ShellMethod,
    .otherProperties = ShellProperty,
    .construct = ConstructShell,
    .instanceSize = sizeof(ShellRecord),
    .otherMembers = kOtherMembers,
};

}  // namespace

void RegisterShellClass(ScriptContext* context) { DefineClass(context, kShellClass); }

}  // namespace kelpo
