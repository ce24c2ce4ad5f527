// Support DLLs carried as "SUPPORT" resources "$1" to "$4" (MSVCRT.DLL,
// OLEAUT32.DLL, URLMON.DLL, WININET.DLL): supplied to the player's folder
// when the system lacks them, or offered as an update of a too old one.
#pragma once

#include <cstdint>
#include <string>

namespace kelpo {

// The fixed file version of a file (most- and least-significant words);
// false when it has none.
bool ReadFileVersion(const std::string& path, uint32_t& mostSignificant,
                     uint32_t& leastSignificant);

// Writes the support file of that index as folder + dllName unless the DLL
// can already be loaded. True when the DLL is available afterwards.
bool ProvideSupportFile(int index, const char* dllName, const std::string& folder);

// Checks the loaded DLL's file version against major.minor; when it is
// older, asks the user and copies the carried file over it. True when the
// DLL was recent enough or the update was copied.
bool UpdateSystemDll(int index, const char* dllName, unsigned major, unsigned minor);

}  // namespace kelpo
