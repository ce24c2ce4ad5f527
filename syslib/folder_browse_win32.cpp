// Dialogs.browse (Windows only): the shell's folder browser, owned by the
// host's main window, starting at a folder the script names. The chosen
// item's identifier list belongs to the caller and is freed here.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "runtime/convert.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"
#include "syslib/dialogs_win32.h"
#include "syslib/host_window_win32.h"

namespace kelpo {
namespace {

// BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT, or BIF_BROWSEFORCOMPUTER |
// BIF_STATUSTEXT.
constexpr UINT kFolderFlags = 5;
constexpr UINT kComputerFlags = 0x1004;
constexpr size_t kMaxTitleText = 1024;

// Selects the start folder once the dialog is up; `data` is its path, or
// null for none.
int CALLBACK StartAtFolder(HWND dialog, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data != 0)
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

}  // namespace

Value BrowseForFolder(ScriptContext* context, Value* args) {
    std::string title;
    if (IsStringArg(args, 1)) title = AnsiOfValue(context, args[1], kMaxTitleText);
    std::string folder;
    const bool hasFolder =
        IsStringArg(args, 2) && BoundedAnsi(context, args[2], kMaxPathText, folder);
    const bool computers = HasArg(args, 3) && ToBoolean(context, args[3]);

    char displayName[MAX_PATH] = "";
    BROWSEINFOA browse = {};
    browse.hwndOwner = SyslibMainWindow();
    browse.pszDisplayName = displayName;
    browse.lpszTitle = title.empty() ? nullptr : title.c_str();
    browse.ulFlags = computers ? kComputerFlags : kFolderFlags;
    browse.lpfn = StartAtFolder;
    browse.lParam = hasFolder ? reinterpret_cast<LPARAM>(folder.c_str()) : 0;

    // The shell's browser wants COM on this thread; it is released again
    // only when this call started it.
    const HRESULT com = CoInitialize(nullptr);
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
    char path[MAX_PATH] = "";
    bool hasPath = false;
    if (chosen != nullptr) {
        // A computer or another item outside the file system has no path:
        // that answers false like a cancel.
        hasPath = SHGetPathFromIDListA(chosen, path) != FALSE;
        CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    if (!hasPath) return MakeBoolean(false);
    return NewStringFromAnsi(context, path, strnlen(path, sizeof path));
}

}  // namespace kelpo
