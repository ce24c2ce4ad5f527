// The RegValue class (Windows only): one registry value held in memory, its
// name, type and bytes. RegKey reads values into RegValues and writes them
// back; `data` turns the bytes into a script value by the type and back.
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/class_kit.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"
#include "syslib/classes.h"
#include "syslib/registry_win32.h"
#include "syslib/string_stream.h"

namespace kelpo {
namespace {

struct RegValueRecord {
    RegValueBody* body;
};

enum Property { kName, kType, kData };
const MemberRow kPropertyNames[] = {
    {"name", "String: the value's name; undefined for the key's default value"},
    {"type",
     "Integer: the registry type (1 REG_SZ, 3 REG_BINARY, 4 REG_DWORD, 7 REG_MULTI_SZ "
     "...)"},
    {"data",
     "any: the data by type: a String, an Integer for 4 and 5, an Array for 7; a number, "
     "String or Array sets the bytes"},
};

// The class under a name scripts cannot reach, for RegKey to make values
// even when a script has reused the global.
const char kClassGlobal[] = "RegValue class";

Value DecodeAnsi(ScriptContext* context, const char* bytes, size_t size) {
    if (size == 0) return MakeUndefined();
    return NewStringFromAnsi(context, bytes, size);
}

// REG_MULTI_SZ: the strings up to the first empty one; a last string
// without its NUL ends at the end of the bytes.
Value MultiStrings(ScriptContext* context, const std::string& bytes) {
    if (bytes.empty() || bytes[0] == '\0') return MakeUndefined();
    Value list = NewArray(context, 0);
    uint64_t count = 0;
    size_t at = 0;
    while (at < bytes.size() && bytes[at] != '\0') {
        size_t end = bytes.find('\0', at);
        if (end == std::string::npos) end = bytes.size();
        ArraySet(context, list, NewStringFromAnsi(context, bytes.data() + at, end - at), count++);
        list.array->length = count;
        at = end + 1;
    }
    return list;
}

Value ReadData(ScriptContext* context, const RegValueBody& body) {
    const std::string& bytes = body.bytes;
    switch (body.type) {
        case REG_NONE:
        case REG_BINARY:
        case REG_LINK: return DecodeAnsi(context, bytes.data(), bytes.size());
        case REG_DWORD: {
            if (bytes.size() < 4) return MakeUndefined();
            uint32_t number;
            std::memcpy(&number, bytes.data(), 4);
            return MakeInteger(number);
        }
        case REG_DWORD_BIG_ENDIAN: {
            // Read in the same order as it is written (low byte first), so
            // an Integer written under this type reads back unchanged.
            if (bytes.size() < 4) return MakeUndefined();
            int32_t number;
            std::memcpy(&number, bytes.data(), 4);
            return MakeInteger(number);
        }
        case REG_MULTI_SZ: return MultiStrings(context, bytes);
        default:
            if (body.type > 8) return MakeUndefined();
            // Text types: up to the first NUL, never past the bytes held
            // (a value stored without its terminator ends at its length).
            return DecodeAnsi(context, bytes.data(), strnlen(bytes.data(), bytes.size()));
    }
}

// Writing `data` keeps the type. A StringStream gives its bytes unchanged.
void WriteData(ScriptContext* context, RegValueBody* body, const Value& value) {
    std::vector<uint8_t> raw;
    if (StringStreamBytes(value, &raw)) {
        if (raw.size() <= kMaxRegistryBytes) body->bytes.assign(raw.begin(), raw.end());
        return;
    }
    std::string bytes;
    if (value.tag != ValueTag::Integer && value.tag != ValueTag::Float &&
        value.tag != ValueTag::String && value.tag != ValueTag::Array) {
        return;
    }
    if (PackScriptValue(context, value, false, &bytes)) body->bytes = std::move(bytes);
}

int RegValueProperty(ScriptContext* context, NativeClass*, void* data, int member, int isSet,
                     Value* io) {
    auto* record = static_cast<RegValueRecord*>(data);
    if (record == nullptr || record->body == nullptr) return 0;
    RegValueBody* body = record->body;
    if (!isSet) {
        switch (member) {
            case kName:
                *io = body->hasName ? AnsiString(context, body->name) : MakeUndefined();
                break;
            case kType: *io = MakeInteger(body->type); break;
            case kData: *io = ReadData(context, *body); break;
        }
        return 1;
    }
    switch (member) {
        case kName:
            // Names longer than the registry takes are refused, not cut.
            if (io->tag == ValueTag::String) {
                std::string name;
                if (BoundedAnsi(context, *io, kMaxValueNameBytes / 2, name)) {
                    body->name = std::move(name);
                    body->hasName = true;
                }
            }
            break;
        case kType:
            if (io->tag == ValueTag::Integer) body->type = static_cast<DWORD>(io->integer);
            break;
        case kData: WriteData(context, body, *io); break;
    }
    return 1;
}

void ConstructRegValue(ScriptContext* context, NativeClass* klass, Value*, Value* out) {
    auto* record = NewInstanceOf<RegValueRecord>(context, klass, out);
    record->body = new (std::nothrow) RegValueBody();
}

void FinalizeRegValue(NativeClass*, void* data) {
    auto* record = static_cast<RegValueRecord*>(data);
    if (record == nullptr) return;
    delete record->body;
    record->body = nullptr;
}

const ClassSpec kRegValueClass = {
    .name = "RegValue",
    .text = u"[object RegValue]",
    .about =
        "A typed registry value, read with RegKey.getValue or made with new RegValue() "
        "(no name, type 1, no data) and stored with RegKey.write",
    .properties = kPropertyNames,
    .property = RegValueProperty,
    .construct = ConstructRegValue,
    .finalize = FinalizeRegValue,
    .instanceSize = sizeof(RegValueRecord),
};

}  // namespace

RegValueBody* RegValueOf(const Value& value) {
    if (value.tag != ValueTag::Native || value.native->data == nullptr ||
        ClassSpecOf(value.native->klass) != &kRegValueClass) {
        return nullptr;
    }
    return static_cast<RegValueRecord*>(value.native->data)->body;
}

Value NewRegValue(ScriptContext* context, RegValueBody body) {
    Value holder = GetGlobal(context, kClassGlobal);
    if (holder.tag != ValueTag::Native || ClassSpecOf(holder.native->klass) != &kRegValueClass)
        return MakeNull();
    Value out;
    auto* record = NewInstanceOf<RegValueRecord>(context, holder.native->klass, &out);
    record->body = new (std::nothrow) RegValueBody(std::move(body));
    return out;
}

void RegisterRegValueClass(ScriptContext* context) {
    DefineClass(context, kRegValueClass);
    SetGlobal(context, kClassGlobal, GetGlobal(context, kRegValueClass.name));
}

}  // namespace kelpo
