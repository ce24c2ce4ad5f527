// The INI class (Windows only): a private profile file read and written
// through the system's profile functions. An instance holds the file's
// full path; a call with too few or wrongly typed arguments does nothing.
#include <new>
#include <string>
#include <vector>

#include "runtime/array.h"
#include "runtime/class_kit.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"
#include "syslib/classes.h"
#include "syslib/registry_win32.h"

namespace kelpo {
namespace {

struct IniRecord {
    std::string* path;
};

enum Method {
    kGetInt,
    kGetString,
    kGetSection,
    kGetSectionNames,
    kWriteString,
    kWriteSection,
    kDeleteSection,
    kDeleteKey
};
const MemberRow kMethodNames[] = {
    {"getInt", "getInt(section, key) -> Integer: the key's value as a number; 0 when missing"},
    {"getString",
     "getString(section, key) -> String: the key's value; \"key not found\" when "
     "missing"},
    {"getSection", "getSection(section) -> Array: the section's lines, \"key=value\""},
    {"getSectionNames", "getSectionNames() -> Array: the names of the file's sections"},
    {"writeString", "writeString(section, key, value) -> nothing: sets the key"},
    {"writeSection",
     "writeSection(section, lines) -> nothing: replaces the section with the "
     "Array's lines"},
    {"deleteSection", "deleteSection(section) -> nothing: removes the section"},
    {"deleteKey", "deleteKey(section, key) -> nothing: removes the key"},
};

// Section and key names and values are bounded like the profile functions'
// own buffers; results stop growing at kMaxRegistryBytes.
constexpr size_t kMaxProfileText = 65535;
constexpr DWORD kBufferStep = 1024;

// Argument k as profile text; false when it is missing, no String or too
// long.
bool TextArg(ScriptContext* context, const Value* args, int k, std::string* out) {
    return HasArg(args, k) && BoundedAnsi(context, args[k], kMaxProfileText, *out);
}

// Calls `read(buffer, size)` with a buffer grown by 1024 bytes while the
// answer reaches `size - slack` (the sign that it was cut).
template <class Read>
std::string ReadGrowing(DWORD slack, Read read) {
    std::vector<char> buffer(kBufferStep);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD got = read(buffer.data(), size);
        if (got < size - slack || size >= kMaxRegistryBytes)
            return std::string(buffer.data(), std::min(got, size));
        buffer.resize(size + kBufferStep);
    }
}

// The profile functions drop one pair of quotes around a value when they
// read it; a value that is itself quoted gets an extra pair so that it
// reads back as written.
std::string GuardQuotes(const std::string& value) {
    const size_t size = value.size();
    if (size >= 2 && (value[0] == '"' || value[0] == '\'') && value[size - 1] == value[0])
        return '"' + value + '"';
    return value;
}

// A NUL-separated list ending in an empty entry, as an Array of Strings.
Value ListOf(ScriptContext* context, const std::string& block) {
    Value list = NewArray(context, 0);
    uint64_t count = 0;
    size_t at = 0;
    while (at < block.size() && block[at] != '\0') {
        size_t end = block.find('\0', at);
        if (end == std::string::npos) end = block.size();
        ArraySet(context, list, NewStringFromAnsi(context, block.data() + at, end - at), count++);
        list.array->length = count;
        at = end + 1;
    }
    return list;
}

Value IniCall(ScriptContext* context, const char* file, int member, Value* args) {
    std::string section, key, value;
    switch (member) {
        case kGetInt:
            if (!TextArg(context, args, 1, &section) || !TextArg(context, args, 2, &key)) break;
            return MakeInteger(
                static_cast<int32_t>(GetPrivateProfileIntA(section.c_str(), key.c_str(), 0, file)));
        case kGetString: {
            if (!TextArg(context, args, 1, &section) || !TextArg(context, args, 2, &key)) break;
            const std::string text = ReadGrowing(1, [&](char* buffer, DWORD size) {
                return GetPrivateProfileStringA(section.c_str(), key.c_str(), "key not found",
                                                buffer, size, file);
            });
            return AnsiString(context, text);
        }
        case kGetSection: {
            if (!TextArg(context, args, 1, &section)) break;
            return ListOf(context, ReadGrowing(2, [&](char* buffer, DWORD size) {
                              return GetPrivateProfileSectionA(section.c_str(), buffer, size, file);
                          }));
        }
        case kGetSectionNames:
            return ListOf(context, ReadGrowing(2, [&](char* buffer, DWORD size) {
                              return GetPrivateProfileSectionNamesA(buffer, size, file);
                          }));
        case kWriteString:
            if (!TextArg(context, args, 1, &section) || !TextArg(context, args, 2, &key) ||
                !TextArg(context, args, 3, &value)) {
                break;
            }
            WritePrivateProfileStringA(section.c_str(), key.c_str(), GuardQuotes(value).c_str(),
                                       file);
            break;
        case kWriteSection: {
            if (!TextArg(context, args, 1, &section) || !HasArg(args, 2) ||
                args[2].tag != ValueTag::Array) {
                break;
            }
            std::string block;
            if (!PackScriptValue(context, args[2], true, &block)) break;
            block.append(2, '\0');  // the block ends in an empty line
            WritePrivateProfileSectionA(section.c_str(), block.data(), file);
            break;
        }
        case kDeleteSection:
            if (ArgCount(args) != 1 || !TextArg(context, args, 1, &section)) break;
            WritePrivateProfileSectionA(section.c_str(), nullptr, file);
            break;
        case kDeleteKey:
            if (!TextArg(context, args, 1, &section) || !TextArg(context, args, 2, &key)) break;
            WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, file);
            break;
    }
    return MakeUndefined();
}

int IniMethod(ScriptContext* context, NativeClass*, void* data, int member, Value* out,
              Value* args) {
    auto* record = static_cast<IniRecord*>(data);
    if (record == nullptr || record->path == nullptr) return 0;
    *out = IniCall(context, record->path->c_str(), member, args);
    return 1;
}

// new INI(path): the path is made full here, so that a relative name means
// the current folder, not the Windows folder where the profile functions
// would look for it.
void ConstructIni(ScriptContext* context, NativeClass* klass, Value* args, Value* out) {
    *out = MakeNull();
    std::string path;
    if (!HasArg(args, 1) || !BoundedAnsi(context, args[1], kMaxPathText, path) || path.empty())
        return;
    char full[MAX_PATH];
    const DWORD size = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (size == 0 || size >= MAX_PATH) return;
    auto* record = NewInstanceOf<IniRecord>(context, klass, out);
    record->path = new (std::nothrow) std::string(full, size);
}

void FinalizeIni(NativeClass*, void* data) {
    auto* record = static_cast<IniRecord*>(data);
    if (record == nullptr) return;
    delete record->path;
    record->path = nullptr;
}

const ClassSpec kIniClass = {
    .name = "INI",
    .text = u"[object INI]",
    .about =
        "An INI file: new INI(path) (null without a String path) reads and writes its "
        "sections and keys; wrongly typed arguments do nothing",
    .methods = kMethodNames,
    .method = IniMethod,
    .construct = ConstructIni,
    .finalize = FinalizeIni,
    .instanceSize = sizeof(IniRecord),
};

}  // namespace

void RegisterIniClass(ScriptContext* context) { DefineClass(context, kIniClass); }

}  // namespace kelpo
