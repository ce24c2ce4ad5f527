#include "hostobjects/file_association_win32.h"

#include <windows.h>

#include "host/project_data.h"
#include "hostobjects/registry_names.h"

namespace kelpo {
namespace {

bool WriteDefaultValue(const std::string& keyName, const std::string& value) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, keyName.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool ReadDefaultValue(const std::string& keyName, std::string& value) {
    value.clear();
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char buffer[kMaxKeyName + 1] = "";
    DWORD size = sizeof buffer - 1, type = 0;
    bool ok = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                               &size) == ERROR_SUCCESS &&
              type == REG_SZ;
    RegCloseKey(key);
    if (ok) value.assign(buffer, strnlen(buffer, size));
    return ok;
}

}  // namespace

void AssociateFileType(const std::string& extension, const std::string& typeName) {
    AssociationKeys keys;
    if (!MakeAssociationKeys(extension, typeName, TheProject().exePath, keys)) return;
    if (!WriteDefaultValue(keys.iconKey, keys.iconValue)) return;
    if (!WriteDefaultValue(keys.commandKey, keys.commandValue)) return;
    std::string current;
    bool readable = ReadDefaultValue(extension, current);
    if (ShouldBindExtension(readable, current, extension)) WriteDefaultValue(extension, typeName);
}

}  // namespace kelpo
