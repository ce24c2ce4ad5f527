// What RegKey, RegValue and INI share (Windows only): key paths with a
// root name, the record behind a RegValue, and the packing of script
// values into value bytes.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "runtime/context.h"

namespace kelpo {

// No value is read or written larger than this: the registry itself keeps
// values far smaller, and the bound keeps a wrong size from a racing writer
// or a huge Array from taking the whole heap.
constexpr size_t kMaxRegistryBytes = 16u << 20;

// The longest value name the registry allows, in characters; ANSI names can
// take two bytes per character.
constexpr size_t kMaxValueNameBytes = 2 * 16383;

// A key path: "HKCU\Software\X" names a root and a subkey below it; any
// other text is a subkey below `own`. False when neither applies (no root
// name and no own key, as on the class object).
bool ResolveKeyPath(const std::string& path, HKEY own, HKEY* root, std::string* subkey);

// The data of one RegValue: its name (none for the key's default value),
// registry type and bytes.
struct RegValueBody {
    bool hasName = false;
    std::string name;
    DWORD type = REG_SZ;
    std::string bytes;
};

// The RegValue behind a value; null for anything else.
RegValueBody* RegValueOf(const Value& value);

// A new RegValue instance holding `body`; Null when the RegValue class is
// not registered.
Value NewRegValue(ScriptContext* context, RegValueBody body);

// Appends a script value as value bytes: an Integer as its low 32 bits, a
// Float as its 8-byte double, a String as its ANSI bytes (with a NUL when
// `stringTerminator`), an Array as its elements in index order (Strings
// always with their NUL; other kinds skipped). False when the result would
// pass kMaxRegistryBytes.
bool PackScriptValue(ScriptContext* context, const Value& value, bool stringTerminator,
                     std::string* bytes);

}  // namespace kelpo
