// Registry values of the saved options.
#include "host/saved_options_win32.h"

#include <windows.h>

#include <string>

namespace kelpo {

namespace {

std::string SettingsKey(const ProjectIdentity& identity) {
    return "Software\\" + identity.key + "\\" + identity.profile + "\\Settings";
}

}  // namespace

bool ReadSavedValue(const ProjectIdentity& identity, const char* name,
                    std::vector<uint8_t>& bytes) {
    bytes.clear();
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey(identity).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = 0;
    bool ok = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
              type == REG_BINARY;
    if (ok) {
        bytes.resize(size);
        ok = RegQueryValueExA(key, name, nullptr, &type, bytes.data(), &size) == ERROR_SUCCESS;
        bytes.resize(ok ? size : 0);
    }
    RegCloseKey(key);
    return ok;
}

bool WriteSavedValue(const ProjectIdentity& identity, const char* name,
                     const std::vector<uint8_t>& bytes) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey(identity).c_str(), 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(key, name, 0, REG_BINARY, bytes.data(),
                             static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

}  // namespace kelpo
