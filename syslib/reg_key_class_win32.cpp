// The RegKey class (Windows only): an open registry key. The class object
// opens, creates and deletes keys by rooted paths ("HKCU\Software\X"); an
// instance also works below itself, enumerates its subkeys and values and
// reads and writes values as RegValues. Failures set the context's error
// text to the system's message and answer Null, false or an empty list.
#include <vector>

#include "runtime/array.h"
#include "runtime/class_kit.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"
#include "syslib/classes.h"
#include "syslib/registry_win32.h"
#include "syslib/system_error_win32.h"

namespace kelpo {
namespace {

struct RegKeyRecord {
    HKEY hkey;
    int32_t newCreated;
};

enum Method {
    kOpen,
    kCreate,
    kDeleteKey,
    kDeleteValue,
    kGetSubkeyNames,
    kGetValues,
    kGetValue,
    kWrite,
    kClone
};
const MemberRow kMethodNames[] = {
    {"open",
     "open(path [, access]) -> RegKey: opens the key given by a root name, a backslash and "
     "a subkey, or a subkey of this key; null on failure; also on the class"},
    {"create",
     "create(path [, class [, accessIndex]]) -> RegKey: opens or creates the key, "
     "newCreated telling which; null on failure; also on the class"},
    {"deleteKey",
     "deleteKey(path) -> Boolean: deletes the key (one without subkeys); also on the "
     "class"},
    {"deleteValue", "deleteValue(name) -> Boolean: deletes the named value of this key"},
    {"getSubkeyNames", "getSubkeyNames() -> Array: the names of the direct subkeys"},
    {"getValues", "getValues() -> Array: a RegValue for each value of the key"},
    {"getValue",
     "getValue([name]) -> RegValue: the named value, or the default one; null when it "
     "does not exist"},
    {"write", "write(value) -> Boolean: stores the RegValue (its name, type and data) in the key"},
    {"clone", "clone() -> RegKey: a second handle on the same key; null on failure"},
};
enum Property { kClassName, kNewCreated, kLastWriteTime };
const MemberRow kPropertyNames[] = {
    {"className", "String, read-only: the key's class string; undefined on failure"},
    {"newCreated", "Boolean, read-only: whether create made a new key"},
    {"lastWriteTime", "Float, read-only: the last write, in ms since 1970 UTC; 0 on failure"},
};

// The access masks `create` takes by index.
const REGSAM kAccessByIndex[] = {
    KEY_ALL_ACCESS, KEY_CREATE_LINK, KEY_CREATE_SUB_KEY, KEY_ENUMERATE_SUB_KEYS, KEY_EXECUTE,
    KEY_NOTIFY,     KEY_QUERY_VALUE, KEY_READ,           KEY_SET_VALUE,          KEY_WRITE,
};

// Key paths are at most a few hundred bytes in practice; the registry takes
// 255 characters per name and about 32767 in all.
constexpr size_t kMaxKeyPath = 32767;

// 1601-01-01 as a time value (milliseconds since 1970-01-01 UTC).
constexpr double k1601 = -11644473600000.0;

Value WrapKey(ScriptContext* context, NativeClass* klass, HKEY key, bool created) {
    Value out;
    auto* record = NewInstanceOf<RegKeyRecord>(context, klass, &out);
    record->hkey = key;
    record->newCreated = created ? 1 : 0;
    return out;
}

bool PathArg(ScriptContext* context, const Value* args, int k, HKEY own, HKEY* root,
             std::string* subkey) {
    std::string path;
    if (!HasArg(args, k) || !BoundedAnsi(context, args[k], kMaxKeyPath, path)) return false;
    return ResolveKeyPath(path, own, root, subkey);
}

Value OpenKey(ScriptContext* context, NativeClass* klass, HKEY own, Value* args) {
    HKEY root;
    std::string subkey;
    if (!PathArg(context, args, 1, own, &root, &subkey)) return MakeNull();
    const REGSAM access = static_cast<REGSAM>(IntegerArg(args, 2, KEY_ALL_ACCESS));
    HKEY key = nullptr;
    const LSTATUS status = RegOpenKeyExA(root, subkey.c_str(), 0, access, &key);
    if (status != ERROR_SUCCESS) {
        SetSystemError(context, status);
        return MakeNull();
    }
    return WrapKey(context, klass, key, false);
}

Value CreateKey(ScriptContext* context, NativeClass* klass, HKEY own, Value* args) {
    HKEY root;
    std::string subkey;
    if (!PathArg(context, args, 1, own, &root, &subkey)) return MakeNull();
    std::string keyClass = "REG_SZ";
    if (IsStringArg(args, 2) && !BoundedAnsi(context, args[2], kMaxKeyPath, keyClass))
        return MakeNull();
    const int64_t index = IntegerArg(args, 3, -1);
    const REGSAM access = index >= 0 && index <= 9 ? kAccessByIndex[index] : KEY_ALL_ACCESS;
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LSTATUS status =
        RegCreateKeyExA(root, subkey.c_str(), 0, &keyClass[0], REG_OPTION_NON_VOLATILE, access,
                        nullptr, &key, &disposition);
    if (status != ERROR_SUCCESS) {
        SetSystemError(context, status);
        return MakeNull();
    }
    return WrapKey(context, klass, key, disposition == REG_CREATED_NEW_KEY);
}

bool DeleteKey(ScriptContext* context, HKEY own, Value* args) {
    HKEY root;
    std::string subkey;
    if (!PathArg(context, args, 1, own, &root, &subkey)) return false;
    // An empty subkey would name the key itself (or a root): refused.
    if (subkey.empty()) return false;
    const LSTATUS status = RegDeleteKeyA(root, subkey.c_str());
    if (status != ERROR_SUCCESS) SetSystemError(context, status);
    return status == ERROR_SUCCESS;
}

bool DeleteValue(ScriptContext* context, HKEY key, Value* args) {
    std::string name;
    if (!HasArg(args, 1) || !BoundedAnsi(context, args[1], kMaxValueNameBytes / 2, name))
        return false;
    const LSTATUS status = RegDeleteValueA(key, name.c_str());
    if (status != ERROR_SUCCESS) SetSystemError(context, status);
    return status == ERROR_SUCCESS;
}

struct KeyInfo {
    DWORD subkeys = 0, maxSubkeyName = 0, values = 0, maxValueName = 0, maxValueData = 0;
    FILETIME written = {};
};

LSTATUS QueryKey(HKEY key, KeyInfo* info) {
    return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &info->subkeys, &info->maxSubkeyName,
                            nullptr, &info->values, &info->maxValueName, &info->maxValueData,
                            nullptr, &info->written);
}

// QueryKey, with the error text set when it fails.
bool QueryKeyReporting(ScriptContext* context, HKEY key, KeyInfo* info) {
    const LSTATUS status = QueryKey(key, info);
    if (status == ERROR_SUCCESS) return true;
    SetSystemError(context, status);
    return false;
}

Value SubkeyNames(ScriptContext* context, HKEY key) {
    Value list = NewArray(context, 0);
    KeyInfo info;
    if (!QueryKeyReporting(context, key, &info)) return list;
    // Names are at most 255 characters; the buffer takes them as ANSI bytes
    // and whatever the key reports as its longest.
    std::vector<char> name(std::max<size_t>(261, 2 * (info.maxSubkeyName + 1)));
    for (DWORD i = 0; i < info.subkeys; ++i) {
        DWORD size = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(key, i, name.data(), &size, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS) {
            ArraySet(context, list, NewStringFromAnsi(context, name.data(), size), i);
        }
        list.array->length = i + 1;
    }
    return list;
}

Value ValueList(ScriptContext* context, HKEY key) {
    Value list = NewArray(context, 0);
    KeyInfo info;
    if (!QueryKeyReporting(context, key, &info)) return list;
    std::vector<char> name(2 * (static_cast<size_t>(info.maxValueName) + 1));
    std::vector<char> data(std::min<size_t>(info.maxValueData, kMaxRegistryBytes) + 1);
    for (DWORD i = 0; i < info.values; ++i) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type,
                          reinterpret_cast<BYTE*>(data.data()), &dataSize) == ERROR_SUCCESS) {
            RegValueBody body;
            // The default value has an empty name and shows none.
            body.hasName = nameSize > 0;
            body.name.assign(name.data(), nameSize);
            body.type = type;
            body.bytes.assign(data.data(), std::min<size_t>(dataSize, data.size()));
            ArraySet(context, list, NewRegValue(context, std::move(body)), i);
        }
        list.array->length = i + 1;
    }
    return list;
}

Value ReadValue(ScriptContext* context, HKEY key, Value* args) {
    RegValueBody body;
    if (IsStringArg(args, 1)) {
        if (!BoundedAnsi(context, args[1], kMaxValueNameBytes / 2, body.name)) return MakeNull();
        body.hasName = !body.name.empty();
    }
    const char* name = body.hasName ? body.name.c_str() : nullptr;
    // Size, then data; a value that grew in between is asked for again.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        LSTATUS status = RegQueryValueExA(key, name, nullptr, &body.type, nullptr, &size);
        if (status != ERROR_SUCCESS || size > kMaxRegistryBytes) return MakeNull();
        body.bytes.assign(size, '\0');
        status = RegQueryValueExA(key, name, nullptr, &body.type,
                                  reinterpret_cast<BYTE*>(&body.bytes[0]), &size);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return MakeNull();
        body.bytes.resize(size);
        return NewRegValue(context, std::move(body));
    }
    return MakeNull();
}

bool WriteValue(ScriptContext* context, HKEY key, Value* args) {
    RegValueBody* body = HasArg(args, 1) ? RegValueOf(args[1]) : nullptr;
    if (body == nullptr || body->bytes.empty()) return false;
    if (body->type == REG_MULTI_SZ) {
        // The list ends in an empty string: two zero bytes.
        const size_t size = body->bytes.size();
        if (body->bytes[size - 1] != '\0')
            body->bytes.append(2, '\0');
        else if (size < 2 || body->bytes[size - 2] != '\0')
            body->bytes.push_back('\0');
    }
    std::string stored = body->bytes;
    // Text values are stored with their terminator, so that no reader runs
    // past the end of one.
    if ((body->type == REG_SZ || body->type == REG_EXPAND_SZ) && stored.back() != '\0')
        stored.push_back('\0');
    const LSTATUS status = RegSetValueExA(key, body->hasName ? body->name.c_str() : nullptr, 0,
                                          body->type, reinterpret_cast<const BYTE*>(stored.data()),
                                          static_cast<DWORD>(stored.size()));
    if (status != ERROR_SUCCESS) SetSystemError(context, status);
    return status == ERROR_SUCCESS;
}

Value CloneKey(ScriptContext* context, NativeClass* klass, HKEY own) {
    HKEY key = nullptr;
    const LSTATUS status = RegOpenKeyExA(own, nullptr, 0, KEY_ALL_ACCESS, &key);
    if (status != ERROR_SUCCESS) {
        SetSystemError(context, status);
        return MakeNull();
    }
    return WrapKey(context, klass, key, false);
}

int RegKeyMethod(ScriptContext* context, NativeClass* klass, void* data, int member, Value* out,
                 Value* args) {
    auto* record = static_cast<RegKeyRecord*>(data);
    const HKEY own = record != nullptr ? record->hkey : nullptr;
    switch (member) {
        case kOpen: *out = OpenKey(context, klass, own, args); return 1;
        case kCreate: *out = CreateKey(context, klass, own, args); return 1;
        case kDeleteKey: *out = MakeBoolean(DeleteKey(context, own, args)); return 1;
    }
    if (own == nullptr) return 0;  // the rest needs an open key
    switch (member) {
        case kDeleteValue: *out = MakeBoolean(DeleteValue(context, own, args)); break;
        case kGetSubkeyNames: *out = SubkeyNames(context, own); break;
        case kGetValues: *out = ValueList(context, own); break;
        case kGetValue: *out = ReadValue(context, own, args); break;
        case kWrite: *out = MakeBoolean(WriteValue(context, own, args)); break;
        case kClone: *out = CloneKey(context, klass, own); break;
    }
    return 1;
}

Value ClassName(ScriptContext* context, HKEY key) {
    std::vector<char> text(256);
    for (;;) {
        DWORD size = static_cast<DWORD>(text.size());
        const LSTATUS status =
            RegQueryInfoKeyA(key, text.data(), &size, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA && text.size() < 65536) {
            text.resize(text.size() * 4);
            continue;
        }
        if (status != ERROR_SUCCESS) {
            SetSystemError(context, status);
            return MakeUndefined();
        }
        return NewStringFromAnsi(context, text.data(), std::min<size_t>(size, text.size()));
    }
}

Value LastWriteTime(ScriptContext* context, HKEY key) {
    KeyInfo info;
    if (!QueryKeyReporting(context, key, &info)) return MakeFloat(0);
    const uint64_t ticks =
        (static_cast<uint64_t>(info.written.dwHighDateTime) << 32) | info.written.dwLowDateTime;
    return MakeFloat(static_cast<double>(ticks / 10000) + k1601);
}

// Read-only: writes are accepted and ignored.
int RegKeyProperty(ScriptContext* context, NativeClass*, void* data, int member, int isSet,
                   Value* io) {
    auto* record = static_cast<RegKeyRecord*>(data);
    if (record == nullptr) return 0;
    if (isSet) return 1;
    switch (member) {
        case kClassName: *io = ClassName(context, record->hkey); break;
        case kNewCreated: *io = MakeBoolean(record->newCreated != 0); break;
        case kLastWriteTime: *io = LastWriteTime(context, record->hkey); break;
    }
    return 1;
}

// RegKey(path [, access]) with or without `new`: opens an existing key.
void ConstructRegKey(ScriptContext* context, NativeClass* klass, Value* args, Value* out) {
    *out = OpenKey(context, klass, nullptr, args);
}

void CallRegKey(ScriptContext* context, NativeClass* klass, void*, Value* out, Value* args) {
    *out = OpenKey(context, klass, nullptr, args);
}

void FinalizeRegKey(NativeClass*, void* data) {
    auto* record = static_cast<RegKeyRecord*>(data);
    if (record == nullptr || record->hkey == nullptr) return;
    RegCloseKey(record->hkey);
    record->hkey = nullptr;
}

const ClassSpec kRegKeyClass = {
    .name = "RegKey",
    .text = u"[object RegKey]",
    .about =
        "An open registry key: new RegKey(path [, access]) opens one under a root named "
        "HKCR, HKCU, HKLM, HKU, HKPD, HKCC or HKDD (null on failure); failures leave the "
        "system's message in the error text",
    .methods = kMethodNames,
    .method = RegKeyMethod,
    .properties = kPropertyNames,
    .property = RegKeyProperty,
    .call = CallRegKey,
    .construct = ConstructRegKey,
    .finalize = FinalizeRegKey,
    .instanceSize = sizeof(RegKeyRecord),
};

}  // namespace

void RegisterRegKeyClass(ScriptContext* context) { DefineClass(context, kRegKeyClass); }

}  // namespace kelpo
