// Shared parts of the registry and INI classes; see registry_win32.h.
#include "syslib/registry_win32.h"

#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/class_kit.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"

namespace kelpo {

namespace {

struct RootName {
    const char* name;
    HKEY key;
};

const RootName kRoots[] = {
    {"HKCR", HKEY_CLASSES_ROOT}, {"HKCU", HKEY_CURRENT_USER},     {"HKLM", HKEY_LOCAL_MACHINE},
    {"HKU", HKEY_USERS},         {"HKPD", HKEY_PERFORMANCE_DATA}, {"HKCC", HKEY_CURRENT_CONFIG},
    {"HKDD", HKEY_DYN_DATA},
};

void AppendBytes(std::string* bytes, const void* data, size_t size) {
    bytes->append(static_cast<const char*>(data), size);
}

}  // namespace

bool ResolveKeyPath(const std::string& path, HKEY own, HKEY* root, std::string* subkey) {
    const size_t slash = path.find('\\');
    if (slash != std::string::npos) {
        const std::string head = path.substr(0, slash);
        for (const RootName& entry : kRoots) {
            if (lstrcmpiA(head.c_str(), entry.name) == 0) {
                *root = entry.key;
                *subkey = path.substr(slash + 1);
                return true;
            }
        }
    }
    if (own == nullptr) return false;
    *root = own;
    *subkey = path;
    return true;
}

bool PackScriptValue(ScriptContext* context, const Value& value, bool stringTerminator,
                     std::string* bytes) {
    switch (value.tag) {
        case ValueTag::Integer: {
            const uint32_t low = static_cast<uint32_t>(value.integer);
            AppendBytes(bytes, &low, 4);
            break;
        }
        case ValueTag::Float: AppendBytes(bytes, &value.number, 8); break;
        case ValueTag::String: {
            // Converted as a whole, so zero characters (as in binary data
            // read back from a value) stay in the bytes.
            const ScriptString* text = value.string;
            if (text->length > kMaxRegistryBytes) return false;
            const size_t start = bytes->size();
            if (text->length > 0) {
                const auto* wide = reinterpret_cast<const wchar_t*>(text->chars);
                const int length = static_cast<int>(text->length);
                const int size =
                    WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
                if (size <= 0 || start + size > kMaxRegistryBytes) return false;
                bytes->resize(start + size);
                WideCharToMultiByte(CP_ACP, 0, wide, length, &(*bytes)[start], size, nullptr,
                                    nullptr);
            }
            if (stringTerminator) bytes->push_back('\0');
            break;
        }
        case ValueTag::Array:
            for (uint64_t i = 0; i < value.array->length; ++i) {
                const Value* element = ArrayGet(context, value, i);
                if (element == nullptr || element->tag == ValueTag::Array) continue;
                if (!PackScriptValue(context, *element, true, bytes)) return false;
            }
            break;
        default: break;
    }
    return bytes->size() <= kMaxRegistryBytes;
}

}  // namespace kelpo
