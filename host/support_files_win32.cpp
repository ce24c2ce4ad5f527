// Supplying and updating the player's support DLLs.
#include "host/support_files_win32.h"

#include <windows.h>

#include <vector>

#include "host/failure_report.h"
#include "host/host_exceptions.h"
#include "host/packed_container.h"
#include "host/project_data.h"
#include "host/project_loading_win32.h"
#include "host/resources_win32.h"
#include "platform/files.h"

namespace kelpo {

namespace {

bool CanLoad(const char* dllName) {
    HMODULE module = LoadLibraryA(dllName);
    if (!module) return false;
    FreeLibrary(module);
    return true;
}

// The support file's bytes; false when the project does not carry it (a
// one-byte placeholder) or its container is damaged (reported).
bool LoadSupportFile(int index, std::vector<uint8_t>& bytes) {
    std::string name = "$" + std::to_string(index);
    std::vector<uint8_t> raw;
    if (!ReadRawResource("SUPPORT", name.c_str(), raw) || raw.size() <= kContainerHeaderSize)
        return false;
    return UnpackContainer(raw.data(), raw.size(), bytes);
}

}  // namespace

bool ReadFileVersion(const std::string& path, uint32_t& mostSignificant,
                     uint32_t& leastSignificant) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) return false;
    std::vector<uint8_t> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(path.c_str(), 0, size, info.data()) ||
        !VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed)
        return false;
    mostSignificant = fixed->dwFileVersionMS;
    leastSignificant = fixed->dwFileVersionLS;
    return true;
}

bool ProvideSupportFile(int index, const char* dllName, const std::string& folder) {
    if (CanLoad(dllName)) return true;
    std::vector<uint8_t> bytes;
    if (!LoadSupportFile(index, bytes)) return false;
    if (WriteWholeFile(folder + dllName, bytes.data(), bytes.size())) return true;
    ReportFailure(LastErrorException().what());
    return false;
}

bool UpdateSystemDll(int index, const char* dllName, unsigned major, unsigned minor) {
    std::string loadedPath;
    if (HMODULE module = LoadLibraryA(dllName)) {
        char path[MAX_PATH] = "";
        DWORD length = GetModuleFileNameA(module, path, sizeof path);
        FreeLibrary(module);
        loadedPath.assign(path, length < sizeof path ? length : 0);
        uint32_t version = 0, build = 0;
        if (!loadedPath.empty() && ReadFileVersion(loadedPath, version, build) &&
            (HIWORD(version) > major || (HIWORD(version) == major && LOWORD(version) >= minor)))
            return true;
    }
    if (loadedPath.empty()) {
        char system[MAX_PATH] = "";
        UINT length = GetSystemDirectoryA(system, sizeof system);
        loadedPath = std::string(system, length < sizeof system ? length : 0) + "\\" + dllName;
    }

    ProjectData& project = TheProject();
    std::vector<uint8_t> bytes;
    if (!LoadSupportFile(index, bytes)) return false;
    std::string fresh = project.instanceFolder + dllName;
    if (!WriteWholeFile(fresh, bytes.data(), bytes.size())) {
        ReportFailure(LastErrorException().what());
        return false;
    }
    std::string title = MessageTitle(project);
    int answer = MessageBoxA(
        nullptr,
        "The OleAut32.dll in your system is too old to run this application. Do you want to update it?"
        "\r\n\r\nIf you decide to update the dll, be sure to close any other running applications.",
        title.c_str(), MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) return false;
    if (CopyFileA(fresh.c_str(), loadedPath.c_str(), FALSE)) return true;
    MessageBoxA(nullptr, "Failed to update the OleAut32.dll!", title.c_str(), MB_OK | MB_ICONERROR);
    return false;
}

}  // namespace kelpo
