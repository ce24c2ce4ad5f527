// File version information: the fixed block's version numbers and the
// string table of the file's first translation. Every block is read
// through VerQueryValueA, which checks the lengths inside the resource.
#include "syslib/file_version_info_win32.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "runtime/atoms.h"
#include "runtime/native_args.h"
#include "runtime/object.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

struct StringEntry {
    const char* property;
    const char* key;
};
const StringEntry kStringEntries[] = {
    {"comments", "Comments"},
    {"companyName", "CompanyName"},
    {"fileDescription", "FileDescription"},
    {"fileVersion", "FileVersion"},
    {"internalName", "InternalName"},
    {"legalCopyright", "LegalCopyright"},
    {"legalTrademarks", "LegalTrademarks"},
    {"originalFilename", "OriginalFilename"},
    {"privateBuild", "PrivateBuild"},
    {"productName", "ProductName"},
    {"productVersion", "ProductVersion"},
    {"specialBuild", "SpecialBuild"},
};

// Version resources are small (a few KB); anything claiming more than this
// is refused rather than allocated.
constexpr DWORD kMaxVersionBytes = 1u << 20;

int64_t VersionNumber(DWORD high, DWORD low) {
    return static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
}

void Put(ScriptContext* context, ScriptObject* object, const char* name, const Value& value) {
    PutProperty(context, object, InternAtom(context, name), value);
}

// The text of a string entry; empty when missing.
std::string StringEntryText(void* block, DWORD translation, const char* key) {
    char name[96];
    std::snprintf(name, sizeof name, "\\StringFileInfo\\%08lX\\%s",
                  static_cast<unsigned long>(translation), key);
    char* text = nullptr;
    UINT size = 0;
    if (!VerQueryValueA(block, name, reinterpret_cast<void**>(&text), &size) || text == nullptr)
        return std::string();
    // The size counts the terminator when there is one; stop at the first NUL.
    std::string value(text, size);
    const size_t nul = value.find('\0');
    if (nul != std::string::npos) value.resize(nul);
    return value;
}

}  // namespace

Value FileVersionInfo(ScriptContext* context, const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0 || size > kMaxVersionBytes) return MakeNull();
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return MakeNull();

    ScriptObject* object = NewObject(context);
    if (object == nullptr) return MakeNull();
    const Value result = MakeObject(object);

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) &&
        fixed != nullptr && fixedSize == sizeof(VS_FIXEDFILEINFO)) {
        Put(context, object, "fileVersionNum",
            MakeInteger(VersionNumber(fixed->dwFileVersionMS, fixed->dwFileVersionLS)));
        Put(context, object, "productVersionNum",
            MakeInteger(VersionNumber(fixed->dwProductVersionMS, fixed->dwProductVersionLS)));
    }

    WORD* translations = nullptr;
    UINT translationSize = 0;
    if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                       reinterpret_cast<void**>(&translations), &translationSize) &&
        translations != nullptr && translationSize >= 4) {
        const DWORD translation = (static_cast<DWORD>(translations[0]) << 16) | translations[1];
        Put(context, object, "translation", MakeInteger(translation));
        for (const StringEntry& entry : kStringEntries) {
            Put(context, object, entry.property,
                AnsiString(context, StringEntryText(block.data(), translation, entry.key)));
        }
    }
    return result;
}

}  // namespace kelpo
