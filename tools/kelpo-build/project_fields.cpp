// Typed project-file fields with their JSON paths.
#include "tools/kelpo-build/project_fields.h"

#include <algorithm>
#include <cstdlib>

#include "platform/ansi.h"
#include "tools/kelpo-build/project_error.h"

namespace kelpo::build {

namespace {

std::string Names(const SymbolTable& table) {
    std::string names;
    for (const Symbol& symbol : table) {
        if (!names.empty()) names += ", ";
        names += symbol.name;
    }
    return names;
}

const Symbol* FindSymbol(const SymbolTable& table, const std::string& name) {
    for (const Symbol& symbol : table)
        if (name == symbol.name) return &symbol;
    return nullptr;
}

uint32_t ReadSymbol(const Json& value, const std::string& path, const SymbolTable& table) {
    const Symbol* symbol = FindSymbol(table, value.get<std::string>());
    if (symbol == nullptr)
        throw ProjectError(path, "unknown name \"" + value.get<std::string>() +
                                     "\" (expected a number or one of: " + Names(table) + ")");
    return symbol->value;
}

// Appends one UTF-16 encoded code point.
void PutUtf16(std::u16string& out, uint32_t codePoint) {
    if (codePoint < 0x10000) {
        out += static_cast<char16_t>(codePoint);
    } else {
        codePoint -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
        out += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
    }
}

}  // namespace

std::string MemberPath(const std::string& objectPath, const std::string& key) {
    std::string escaped;
    for (char c : key) {
        if (c == '~')
            escaped += "~0";
        else if (c == '/')
            escaped += "~1";
        else
            escaped += c;
    }
    return objectPath + "/" + escaped;
}

std::string ElementPath(const std::string& arrayPath, size_t index) {
    return arrayPath + "/" + std::to_string(index);
}

uint64_t ReadUnsigned(const Json& value, const std::string& path, uint64_t max) {
    if (!value.is_number()) throw ProjectError(path, "expected a number");
    bool whole =
        value.is_number_unsigned() || (value.is_number_integer() && value.get<int64_t>() >= 0);
    if (!whole || value.get<uint64_t>() > max)
        throw ProjectError(path, "expected a whole number from 0 to " + std::to_string(max));
    return value.get<uint64_t>();
}

int64_t ReadSigned(const Json& value, const std::string& path, int64_t min, int64_t max) {
    if (!value.is_number()) throw ProjectError(path, "expected a number");
    bool fits =
        value.is_number_integer() &&
        (value.is_number_unsigned() ? value.get<uint64_t>() <= static_cast<uint64_t>(max)
                                    : value.get<int64_t>() >= min && value.get<int64_t>() <= max);
    if (!fits)
        throw ProjectError(path, "expected a whole number from " + std::to_string(min) + " to " +
                                     std::to_string(max));
    return value.get<int64_t>();
}

bool ReadBool(const Json& value, const std::string& path) {
    if (!value.is_boolean()) throw ProjectError(path, "expected true or false");
    return value.get<bool>();
}

std::string ReadText(const Json& value, const std::string& path) {
    if (!value.is_string()) throw ProjectError(path, "expected a text");
    const std::string& text = value.get_ref<const std::string&>();
    if (text.find('\0') != std::string::npos)
        throw ProjectError(path, "a text may not contain NUL");
    return Utf8ToAnsi(text);
}

uint32_t ReadChoice(const Json& value, const std::string& path, const SymbolTable& table) {
    if (value.is_string()) return ReadSymbol(value, path, table);
    if (!value.is_number())
        throw ProjectError(path, "expected a number or one of: " + Names(table));
    return static_cast<uint32_t>(ReadUnsigned(value, path, UINT32_MAX));
}

uint32_t ReadFlags(const Json& value, const std::string& path, const SymbolTable& table) {
    if (value.is_number()) return static_cast<uint32_t>(ReadUnsigned(value, path, UINT32_MAX));
    if (!value.is_array())
        throw ProjectError(path, "expected a number or an array of: " + Names(table));
    uint32_t flags = 0;
    for (size_t i = 0; i < value.size(); ++i) {
        const Json& item = value[i];
        std::string itemPath = ElementPath(path, i);
        if (item.is_string())
            flags |= ReadSymbol(item, itemPath, table);
        else if (item.is_number())
            flags |= static_cast<uint32_t>(ReadUnsigned(item, itemPath, UINT32_MAX));
        else
            throw ProjectError(itemPath, "expected a number or one of: " + Names(table));
    }
    return flags;
}

uint32_t ReadColor(const Json& value, const std::string& path) {
    if (value.is_number()) return static_cast<uint32_t>(ReadUnsigned(value, path, 0xFFFFFF));
    if (!value.is_string()) throw ProjectError(path, "expected a number or \"#RRGGBB\"");
    const std::string& text = value.get_ref<const std::string&>();
    if (text.size() != 7 || text[0] != '#' ||
        text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
        throw ProjectError(path, "expected a number or \"#RRGGBB\", not \"" + text + "\"");
    uint32_t rgb = static_cast<uint32_t>(std::strtoul(text.c_str() + 1, nullptr, 16));
    // Stored as the bytes red, green, blue, 0.
    return (rgb >> 16) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

std::string Utf8ToAnsi(const std::string& text) {
    std::u16string units;
    for (size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
        uint32_t codePoint = extra == 0   ? lead
                             : extra == 1 ? lead & 0x1F
                             : extra == 2 ? lead & 0x0F
                                          : lead & 0x07;
        bool valid = extra >= 0 && i + static_cast<size_t>(extra) < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            codePoint = codePoint << 6 | (next & 0x3F);
        }
        // The JSON parser has already refused malformed UTF-8; stay safe anyway.
        if (!valid || codePoint > 0x10FFFF) {
            units += u'?';
            ++i;
            continue;
        }
        PutUtf16(units, codePoint);
        i += static_cast<size_t>(extra) + 1;
    }
    if (units.empty()) return std::string();
    std::string ansi(units.size() * 2, '\0');
    ansi.resize(Utf16ToAnsi(units.data(), units.size(), &ansi[0], ansi.size()));
    return ansi;
}

ObjectFields::ObjectFields(const Json& value, std::string path)
    : value_(value), path_(std::move(path)) {
    if (!value_.is_object()) throw ProjectError(path_, "expected an object");
}

const Json* ObjectFields::Take(const std::string& key) {
    auto it = value_.find(key);
    if (it == value_.end()) return nullptr;
    taken_.push_back(key);
    return &*it;
}

void ObjectFields::RefuseUnknownKeys() const {
    for (auto it = value_.begin(); it != value_.end(); ++it) {
        if (std::find(taken_.begin(), taken_.end(), it.key()) == taken_.end())
            throw ProjectError(PathOf(it.key()), "unknown key");
    }
}

void ObjectFields::Unsigned32(const char* key, uint32_t& field) {
    if (const Json* v = Take(key))
        field = static_cast<uint32_t>(ReadUnsigned(*v, PathOf(key), UINT32_MAX));
}

void ObjectFields::Unsigned16(const char* key, uint16_t& field) {
    if (const Json* v = Take(key))
        field = static_cast<uint16_t>(ReadUnsigned(*v, PathOf(key), UINT16_MAX));
}

void ObjectFields::Unsigned8(const char* key, uint8_t& field) {
    if (const Json* v = Take(key))
        field = static_cast<uint8_t>(ReadUnsigned(*v, PathOf(key), UINT8_MAX));
}

void ObjectFields::Signed32(const char* key, int32_t& field) {
    if (const Json* v = Take(key))
        field = static_cast<int32_t>(ReadSigned(*v, PathOf(key), INT32_MIN, INT32_MAX));
}

void ObjectFields::Text(const char* key, std::string& field) {
    if (const Json* v = Take(key)) field = ReadText(*v, PathOf(key));
}

void ObjectFields::FixedText(const char* key, char* field, size_t capacity) {
    const Json* v = Take(key);
    if (v == nullptr) return;
    std::string text = ReadText(*v, PathOf(key));
    if (text.size() >= capacity)
        throw ProjectError(PathOf(key),
                           "text longer than " + std::to_string(capacity - 1) + " characters");
    std::copy(text.begin(), text.end(), field);
    field[text.size()] = '\0';
}

void ObjectFields::Choice(const char* key, uint32_t& field, const SymbolTable& table) {
    if (const Json* v = Take(key)) field = ReadChoice(*v, PathOf(key), table);
}

void ObjectFields::Flags(const char* key, uint32_t& field, const SymbolTable& table) {
    if (const Json* v = Take(key)) field = ReadFlags(*v, PathOf(key), table);
}

void ObjectFields::Color(const char* key, uint32_t& field) {
    if (const Json* v = Take(key)) field = ReadColor(*v, PathOf(key));
}

void ObjectFields::Bool(const char* key, bool& field) {
    if (const Json* v = Take(key)) field = ReadBool(*v, PathOf(key));
}

std::optional<ObjectFields> ObjectFields::Object(const char* key) {
    const Json* v = Take(key);
    if (v == nullptr) return std::nullopt;
    return ObjectFields(*v, PathOf(key));
}

}  // namespace kelpo::build
