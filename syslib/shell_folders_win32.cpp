// Special folders by name. Shell folders go through their identifier
// lists; the Windows, system, temporary and program folders come from the
// kernel, the environment and the registry.
#include "syslib/shell_folders_win32.h"

#include <windows.h>
// windows.h first: the shell headers build on it.
#include <shlobj.h>

#include <cctype>
#include <cstring>

namespace kelpo {
namespace {

// How a folder is found when it has no shell identifier.
enum Source { kShell, kWindows, kSystem, kTemp, kProgramFiles, kNoPath };

struct FolderName {
    const char* name;
    Source source;
    int folder;  // the CSIDL for kShell
};

const FolderName kFolders[] = {
    {"appdata", kShell, CSIDL_APPDATA},
    {"cookies", kShell, CSIDL_COOKIES},
    {"desktop", kShell, CSIDL_DESKTOPDIRECTORY},
    {"desktop all", kShell, CSIDL_COMMON_DESKTOPDIRECTORY},
    {"favorites", kShell, CSIDL_FAVORITES},
    {"fonts", kShell, CSIDL_FONTS},
    {"history", kShell, CSIDL_HISTORY},
    {"internet cache", kShell, CSIDL_INTERNET_CACHE},
    {"my documents", kShell, CSIDL_PERSONAL},
    {"nethood", kShell, CSIDL_NETHOOD},
    {"printers", kShell, CSIDL_PRINTHOOD},
    {"programs", kShell, CSIDL_PROGRAMS},
    {"programs all", kShell, CSIDL_COMMON_PROGRAMS},
    {"recent", kShell, CSIDL_RECENT},
    {"sendto", kShell, CSIDL_SENDTO},
    {"startmenu", kShell, CSIDL_STARTMENU},
    {"startmenu all", kShell, CSIDL_COMMON_STARTMENU},
    {"startup", kShell, CSIDL_STARTUP},
    {"startup all", kShell, CSIDL_COMMON_STARTUP},
    {"templates", kShell, CSIDL_TEMPLATES},
    {"windows", kWindows, 0},
    {"system", kSystem, 0},
    {"temp", kTemp, 0},
    {"program files", kProgramFiles, 0},
    {"recycle bin", kNoPath, 0},
};

bool ShellFolder(int folder, std::string* path) {
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, folder, &list)) || list == nullptr) return false;
    char text[MAX_PATH] = {};
    const bool found = SHGetPathFromIDListA(list, text) != FALSE;
    CoTaskMemFree(list);
    if (!found) return false;
    *path = text;
    return true;
}

// A path answered by a kernel call of the GetWindowsDirectoryA kind:
// length without terminator, 0 on failure, more than the buffer when cut.
template <class Call>
bool KernelFolder(Call call, std::string* path) {
    char text[MAX_PATH] = {};
    const UINT size = call(text, MAX_PATH);
    if (size == 0 || size >= MAX_PATH) return false;
    path->assign(text, size);
    return true;
}

bool Environment(const char* name, std::string* value) {
    char text[MAX_PATH] = {};
    const DWORD size = GetEnvironmentVariableA(name, text, MAX_PATH);
    if (size == 0 || size >= MAX_PATH) return false;
    value->assign(text, size);
    return true;
}

bool ProgramFiles(std::string* path) {
    if (Environment("ProgramFiles", path)) return true;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\microsoft\\windows\\currentversion", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    char text[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    DWORD type = 0;
    const LSTATUS status = RegQueryValueExA(key, "ProgramFilesDir", nullptr, &type,
                                            reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    // The stored text need not end in a NUL: the buffer keeps one more.
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0)
        return false;
    *path = text;
    return !path->empty();
}

}  // namespace

bool NamedFolderPath(const std::string& name, std::string* path) {
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const FolderName& folder : kFolders) {
        if (lower != folder.name) continue;
        switch (folder.source) {
            case kShell: return ShellFolder(folder.folder, path);
            case kWindows: return KernelFolder(GetWindowsDirectoryA, path);
            case kSystem: return KernelFolder(GetSystemDirectoryA, path);
            case kTemp:
                return Environment("TMP", path) || Environment("TEMP", path) ||
                       KernelFolder(GetWindowsDirectoryA, path);
            case kProgramFiles: return ProgramFiles(path);
            case kNoPath: return false;
        }
    }
    return false;
}

}  // namespace kelpo
