// The SysInfo class (Windows only): facts about the machine and the user,
// the screen saver and the display mode, and ending the session, all on
// the class object. Every read asks the system afresh; a failed read gives
// Null for names, false for folders and NaN for numbers. Writes to
// read-only properties, and writes of the wrong kind, are ignored.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"
#include "syslib/classes.h"
#include "syslib/sys_info_win32.h"

namespace kelpo {
namespace {

enum Method { kGetDisplaySettings, kLogOff, kShutdown, kReboot, kPowerOff };
const MemberRow kMethods[] = {
    {"getDisplaySettings",
     "getDisplaySettings() -> Array: every display mode as an Object with "
     "pelsWidth, pelsHeight, bitsPerPel, displayFrequency"},
    {"logOff", "logOff() -> nothing: ends the user's session"},
    {"shutdown", "shutdown() -> nothing: shuts the system down"},
    {"reboot", "reboot() -> nothing: restarts the system"},
    {"powerOff", "powerOff() -> nothing: shuts the system down and turns the power off"},
};

enum Property {
    kComputerName,
    kUserName,
    kVersion,
    kWinDir,
    kSysDir,
    kWorkareaLeft,
    kWorkareaTop,
    kWorkareaRight,
    kWorkareaBottom,
    kTotalPhysMemory,
    kAvailPhysMemory,
    kCpuSpeed,
    kScreenSaver,
    kScreenSaverActive,
    kScreenSaverTimeout,
    kDisplaySetting
};
const MemberRow kProperties[] = {
    {"computerName", "String: the computer's name, null on failure; writing a String renames it"},
    {"userName", "String, read-only: the name of the user running the program; null on failure"},
    {"version",
     "String, read-only: the Windows family name, major.minor.build and the service "
     "pack text"},
    {"winDir", "String, read-only: the Windows folder; false on failure"},
    {"sysDir", "String, read-only: the Windows system folder; false on failure"},
    {"workareaLeft", "Integer, read-only: the left edge of the desktop's work area, in pixels"},
    {"workareaTop", "Integer, read-only: the top edge of the desktop's work area"},
    {"workareaRight", "Integer, read-only: the right edge of the desktop's work area"},
    {"workareaBottom", "Integer, read-only: the bottom edge of the desktop's work area"},
    {"totalPhysMemory", "Integer, read-only: the physical memory in bytes"},
    {"availPhysMemory", "Integer, read-only: the free physical memory in bytes"},
    {"cpuSpeed",
     "Float, read-only: the processor's clock in MHz, counted over half a second; NaN "
     "without a counter"},
    {"screenSaver", "String: the screen-saver file; writing an empty String removes it"},
    {"screenSaverActive", "Boolean: whether the screen saver is on"},
    {"screenSaverTimeout", "Integer: the screen saver's idle time in seconds"},
    {"displaySetting",
     "Object: the display mode (pelsWidth, pelsHeight, bitsPerPel, "
     "displayFrequency); writing one changes the mode (only tests it when its "
     "test is true) and stores the result code in its test"},
};

const char* FamilyName(const OSVERSIONINFOA& version) {
    switch (version.dwPlatformId) {
        case VER_PLATFORM_WIN32s: return "Windows 32s";
        case VER_PLATFORM_WIN32_WINDOWS:
            if (version.dwMajorVersion != 4) return "";
            if (version.dwMinorVersion == 0) return "Windows 95";
            if (version.dwMinorVersion == 10) return "Windows 98";
            if (version.dwMinorVersion == 90) return "Windows ME";
            return "";
        case VER_PLATFORM_WIN32_NT:
            if (version.dwMajorVersion == 3 || version.dwMajorVersion == 4) return "Windows NT";
            if (version.dwMajorVersion == 5 && version.dwMinorVersion == 0) return "Windows 2000";
            if (version.dwMajorVersion == 5 && version.dwMinorVersion == 1) return "Windows XP";
            return "";
    }
    return "";
}

Value VersionText(ScriptContext* context) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return MakeNull();
    char text[64 + sizeof version.szCSDVersion];
    const int length =
        std::snprintf(text, sizeof text, "%s %lu.%02lu.%04lu %.*s", FamilyName(version),
                      static_cast<unsigned long>(version.dwMajorVersion),
                      static_cast<unsigned long>(version.dwMinorVersion),
                      static_cast<unsigned long>(version.dwBuildNumber & 0xFFFF),
                      static_cast<int>(strnlen(version.szCSDVersion, sizeof version.szCSDVersion)),
                      version.szCSDVersion);
    if (length < 0) return MakeNull();
    return NewStringFromAnsi(context, text, std::min<size_t>(length, sizeof text - 1));
}

// The computer's name: a 16-byte buffer holds every NetBIOS name; a longer
// name (as some systems give) is asked for again with the size reported.
Value ComputerName(ScriptContext* context) {
    std::vector<char> name(MAX_COMPUTERNAME_LENGTH + 1);
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD size = static_cast<DWORD>(name.size());
        if (GetComputerNameA(name.data(), &size))
            return NewStringFromAnsi(context, name.data(), strnlen(name.data(), name.size()));
        if (GetLastError() != ERROR_BUFFER_OVERFLOW || size <= name.size() || size > 4096) break;
        name.assign(size + 1, '\0');
    }
    return MakeNull();
}

Value UserName(ScriptContext* context) {
    char name[257] = "";  // UNLEN + 1
    DWORD size = sizeof name;
    if (!GetUserNameA(name, &size)) return MakeNull();
    return NewStringFromAnsi(context, name, strnlen(name, sizeof name));
}

template <class Query>
Value FolderOf(ScriptContext* context, Query query) {
    char path[MAX_PATH] = "";
    const UINT length = query(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return MakeBoolean(false);
    return NewStringFromAnsi(context, path, length);
}

Value WorkArea(int member) {
    RECT area;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) return MakeNaN();
    switch (member) {
        case kWorkareaLeft: return MakeInteger(area.left);
        case kWorkareaTop: return MakeInteger(area.top);
        case kWorkareaRight: return MakeInteger(area.right);
        default: return MakeInteger(area.bottom);
    }
}

// The extended query: it counts memory past 4 GB (and past 2 GB in a 32-bit
// process) where the old one stops.
Value Memory(int member) {
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return MakeNaN();
    const DWORDLONG bytes = member == kTotalPhysMemory ? status.ullTotalPhys : status.ullAvailPhys;
    return MakeInteger(static_cast<int64_t>(bytes));
}

Value CpuSpeed() {
    const double mhz = MeasureCpuSpeedMhz();
    return mhz == mhz ? MakeFloat(mhz) : MakeNaN();
}

Value ScreenSaver(ScriptContext* context) {
    std::string file;
    if (!ReadScreenSaverFile(&file)) return MakeNull();
    return AnsiString(context, file);
}

// Settings written through SystemParametersInfo are kept and announced, as
// the display control panel does.
constexpr UINT kKeepAndAnnounce = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;

Value ScreenSaverActive() {
    BOOL active = FALSE;
    if (!SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0)) return MakeNull();
    return MakeBoolean(active != FALSE);
}

Value ScreenSaverTimeout() {
    int seconds = 0;
    if (!SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &seconds, 0)) return MakeNaN();
    return MakeInteger(seconds);
}

Value ReadProperty(ScriptContext* context, int member) {
    switch (member) {
        case kComputerName: return ComputerName(context);
        case kUserName: return UserName(context);
        case kVersion: return VersionText(context);
        case kWinDir: return FolderOf(context, GetWindowsDirectoryA);
        case kSysDir: return FolderOf(context, GetSystemDirectoryA);
        case kWorkareaLeft:
        case kWorkareaTop:
        case kWorkareaRight:
        case kWorkareaBottom: return WorkArea(member);
        case kTotalPhysMemory:
        case kAvailPhysMemory: return Memory(member);
        case kCpuSpeed: return CpuSpeed();
        case kScreenSaver: return ScreenSaver(context);
        case kScreenSaverActive: return ScreenSaverActive();
        case kScreenSaverTimeout: return ScreenSaverTimeout();
        case kDisplaySetting: return CurrentDisplaySetting(context);
    }
    return MakeUndefined();
}

void WriteProperty(ScriptContext* context, int member, const Value& value) {
    std::string text;
    switch (member) {
        case kComputerName:
            if (BoundedAnsi(context, value, MAX_COMPUTERNAME_LENGTH * 16, text))
                SetComputerNameA(text.c_str());
            break;
        case kScreenSaver:
            if (BoundedAnsi(context, value, kMaxPathText, text)) WriteScreenSaverFile(text);
            break;
        case kScreenSaverActive:
            SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, ToBoolean(context, value) ? TRUE : FALSE,
                                  nullptr, kKeepAndAnnounce);
            break;
        case kScreenSaverTimeout:
            if (value.tag == ValueTag::Integer || value.tag == ValueTag::Float) {
                const int32_t seconds = ToInt32(context, value);
                if (seconds >= 0)
                    SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, static_cast<UINT>(seconds),
                                          nullptr, kKeepAndAnnounce);
            }
            break;
        case kDisplaySetting: ApplyDisplaySetting(context, value); break;
    }
}

int SysInfoProperty(ScriptContext* context, NativeClass*, void*, int member, int isSet, Value* io) {
    if (isSet)
        WriteProperty(context, member, *io);
    else
        *io = ReadProperty(context, member);
    return 1;
}

// Ends the session: the process may do that only with the shutdown
// privilege enabled in its token.
void EndSession(UINT how) {
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES privileges = {};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid))
            AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        CloseHandle(token);
    }
    ExitWindowsEx(how, 0);
}

int SysInfoMethod(ScriptContext* context, NativeClass*, void*, int member, Value* out, Value*) {
    switch (member) {
        case kGetDisplaySettings: *out = DisplaySettingsList(context); break;
        case kLogOff: EndSession(EWX_LOGOFF); break;
        case kShutdown: EndSession(EWX_SHUTDOWN); break;
        case kReboot: EndSession(EWX_REBOOT); break;
        case kPowerOff: EndSession(EWX_POWEROFF); break;
    }
    return 1;
}

const ClassSpec kSysInfoClass = {
    .name = "SysInfo",
    .text = u"[object SysInfo]",
    .about =
        "The local machine: computer and user names, Windows version and folders, memory, "
        "work area, processor speed, screen saver, display modes, and ending the session; the "
        "members are the class's own",
    .methods = kMethods,
    .method = SysInfoMethod,
    .properties = kProperties,
    .property = SysInfoProperty,
};

}  // namespace

void RegisterSysInfoClass(ScriptContext* context) { DefineClass(context, kSysInfoClass); }

}  // namespace kelpo
