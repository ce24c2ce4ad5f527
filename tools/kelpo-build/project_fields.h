// Typed reading of project-file fields. Every read knows the JSON path of its
// value, so every complaint names the exact field; an object's reader also
// remembers which members it used and refuses the rest as unknown keys
// (catching misspelt names that would otherwise silently keep a default).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace kelpo::build {

using Json = nlohmann::ordered_json;

// A symbolic name of a number: a choice (windowShape "mask") or a flag bit
// (borderIcons ["minimize", "systemMenu"]).
struct Symbol {
    const char* name;
    uint32_t value;
};
using SymbolTable = std::vector<Symbol>;

// JSON-pointer form of a member path: "/" and "~" in keys are escaped.
std::string MemberPath(const std::string& objectPath, const std::string& key);
std::string ElementPath(const std::string& arrayPath, size_t index);

// Free readers of one value at `path`; each throws ProjectError.
uint64_t ReadUnsigned(const Json& value, const std::string& path, uint64_t max);
int64_t ReadSigned(const Json& value, const std::string& path, int64_t min, int64_t max);
bool ReadBool(const Json& value, const std::string& path);
// A text in the ANSI code page (project files are UTF-8).
std::string ReadText(const Json& value, const std::string& path);
// A number, or a name of the table.
uint32_t ReadChoice(const Json& value, const std::string& path, const SymbolTable& table);
// A number, or an array of names (and numbers) whose values are or-ed.
uint32_t ReadFlags(const Json& value, const std::string& path, const SymbolTable& table);
// A number (bytes red, green, blue, 0 from the low end) or "#RRGGBB".
uint32_t ReadColor(const Json& value, const std::string& path);

// UTF-8 text to the ANSI code page; unrepresentable characters become '?'.
std::string Utf8ToAnsi(const std::string& text);

class ObjectFields {
public:
    // Throws unless `value` is an object.
    ObjectFields(const Json& value, std::string path);

    const std::string& path() const { return path_; }
    const Json& json() const { return value_; }
    std::string PathOf(const std::string& key) const { return MemberPath(path_, key); }

    // The member, marked used; null when absent.
    const Json* Take(const std::string& key);
    // Every member not taken is an unknown key.
    void RefuseUnknownKeys() const;

    // Setters that keep `field` as it is when the key is absent.
    void Unsigned32(const char* key, uint32_t& field);
    void Unsigned16(const char* key, uint16_t& field);
    void Unsigned8(const char* key, uint8_t& field);
    void Signed32(const char* key, int32_t& field);
    void Text(const char* key, std::string& field);
    // A text of a fixed buffer: longer texts are refused, not cut.
    void FixedText(const char* key, char* field, size_t capacity);
    void Choice(const char* key, uint32_t& field, const SymbolTable& table);
    void Flags(const char* key, uint32_t& field, const SymbolTable& table);
    void Color(const char* key, uint32_t& field);
    void Bool(const char* key, bool& field);
    // The member as an object reader, when present.
    std::optional<ObjectFields> Object(const char* key);

private:
    const Json& value_;
    std::string path_;
    std::vector<std::string> taken_;
};

}  // namespace kelpo::build
