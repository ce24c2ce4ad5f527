// Creating the instance folder from the environment and a new GUID.
#include <windows.h>
#include <objbase.h>

#include "host/instance_folder.h"
#include "platform/files.h"

namespace kelpo {

namespace {

std::string Environment(const char* name) {
    char value[MAX_PATH + 1];
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

std::string NewGuidText() {
    GUID guid;
    if (FAILED(CoCreateGuid(&guid))) return std::string();
    wchar_t wide[40];
    if (StringFromGUID2(guid, wide, 40) == 0) return std::string();
    std::string text;
    for (const wchar_t* c = wide; *c; ++c)
        text += static_cast<char>(*c);  // hex digits and punctuation
    return text;
}

}  // namespace

std::string CreateInstanceFolder() {
    char windows[MAX_PATH] = "";
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    std::string guid = NewGuidText();
    if (guid.empty()) return std::string();
    std::string folder =
        ComposeInstanceFolder(Environment("TMP"), Environment("TEMP"),
                              std::string(windows, length < sizeof windows ? length : 0), guid);
    return CreateFolder(folder) ? folder : std::string();
}

}  // namespace kelpo
