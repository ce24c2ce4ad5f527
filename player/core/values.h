// Script values and objects. Objects live in the player's arena until the
// player is freed, so values hold plain pointers; a movie clip reference
// holds the clip's path and is resolved at each use, so a removed clip is
// simply not found.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "player/core/movie_data.h"

namespace kelpo::player {

struct Object;
struct Interpreter;

enum class ValueType : uint8_t { Undefined, Null, Boolean, Number, String, Object, Clip };

struct Value {
    ValueType type = ValueType::Undefined;
    bool boolean = false;
    double number = 0;
    std::string text;  // strings; a clip's absolute dot path
    Object* object = nullptr;
};

Value Undefined();
Value Null();
Value Bool(bool b);
Value Number(double n);
Value String(std::string s);
Value ObjectValue(Object* o);
Value ClipValue(std::string path);

// Member names compare without letter case before version 7.
struct NameLess {
    bool caseSensitive = false;
    bool operator()(const std::string& l, const std::string& r) const;
};
bool SameName(const std::string& l, const std::string& r, bool caseSensitive);

using NativeFunction = Value (*)(Interpreter& in, const Value& self, std::vector<Value>& args);

// A function written in the movie: its code and how it was declared.
struct ScriptFunction {
    ActionBlock code;
    std::vector<std::string> params;
    std::vector<uint8_t> paramRegisters;  // DefineFunction2: 0 = a named local
    int registerCount = 0;
    uint16_t flags = 0;   // DefineFunction2 preload/suppress bits
    bool second = false;  // declared by DefineFunction2
    std::shared_ptr<const std::vector<std::string>> constants;
    std::string clipPath;       // the clip the function was defined on
    Object* closure = nullptr;  // the defining call's locals, if any
};

struct Object {
    explicit Object(bool caseSensitive) : members(NameLess{caseSensitive}) {}
    std::map<std::string, Value, NameLess> members;
    Object* proto = nullptr;
    Object* scopeParent = nullptr;  // activation objects: the enclosing function's
    bool isArray = false;
    std::vector<Value> elements;  // arrays: indices 0..length-1
    std::unique_ptr<ScriptFunction> function;
    NativeFunction native = nullptr;
    const char* className = "Object";
    bool marked = false;  // collector's mark
};

// Array lengths are held within this bound; larger indices are ordinary members.
constexpr size_t kMaxArrayLength = 1u << 20;
// Strings made by scripts are cut at this length so doubling loops stay small.
constexpr size_t kMaxStringLength = 4u << 20;

std::string NumberToString(double n);
double StringToNumber(const std::string& text, int version);
bool ToBoolean(const Value& v, int version);
double ToNumber(const Value& v, int version);
std::string ToString(const Value& v, int version);
// An array index named by `name` ("0", "12"), or -1.
long ArrayIndex(const std::string& name);

}  // namespace kelpo::player
