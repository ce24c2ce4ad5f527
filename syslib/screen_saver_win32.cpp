// The configured screen-saver file for SysInfo.screenSaver (Windows only),
// kept where the system's display settings keep it: on the NT family the
// "SCRNSAVE.EXE" value of HKEY_CURRENT_USER\Control Panel\Desktop, on the
// Windows 95 family the "SCRNSAVE.EXE" entry of system.ini's [boot] section.
#include <windows.h>

#include <cstring>

#include "syslib/sys_info_win32.h"

namespace kelpo {
namespace {

const char kDesktopKey[] = "Control Panel\\Desktop";
const char kValueName[] = "SCRNSAVE.EXE";

bool IsWindows95Family() { return (GetVersion() & 0x80000000u) != 0; }

}  // namespace

bool ReadScreenSaverFile(std::string* file) {
    file->clear();
    char path[MAX_PATH] = "";
    if (IsWindows95Family()) {
        const DWORD got =
            GetPrivateProfileStringA("boot", kValueName, "", path, sizeof path, "system.ini");
        file->assign(path, got);
        return !file->empty();
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = sizeof path - 1;
    const LSTATUS status =
        RegQueryValueExA(key, kValueName, nullptr, &type, reinterpret_cast<BYTE*>(path), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    // The value may or may not hold its terminator.
    file->assign(path, strnlen(path, size));
    return !file->empty();
}

bool WriteScreenSaverFile(const std::string& file) {
    if (IsWindows95Family()) {
        return WritePrivateProfileStringA("boot", kValueName, file.empty() ? nullptr : file.c_str(),
                                          "system.ini") != FALSE;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return false;
    LSTATUS status;
    if (file.empty()) {
        status = RegDeleteValueA(key, kValueName);
        if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
    } else {
        status =
            RegSetValueExA(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(file.c_str()),
                           static_cast<DWORD>(file.size() + 1));
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

}  // namespace kelpo
