// Reading a native's arguments the way every script class does: argument k
// counts as given when the ArgList has it, and each reader takes only the
// tags it names; anything else gives the caller's default, never an error.
// Narrow texts are ANSI, bounded so that no name from a script reaches the
// system longer than it may be.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/native.h"

namespace kelpo {

// Paths are ANSI texts of at most 259 characters (260 with the terminator).
constexpr size_t kMaxPathText = 259;

inline bool IsStringArg(const Value* args, int64_t k) {
    return HasArg(args, k) && args[k].tag == ValueTag::String;
}
inline bool IsIntegerArg(const Value* args, int64_t k) {
    return HasArg(args, k) && args[k].tag == ValueTag::Integer;
}
// An Integer or a Float.
inline bool IsNumberArg(const Value* args, int64_t k) {
    return HasArg(args, k) && (args[k].tag == ValueTag::Integer || args[k].tag == ValueTag::Float);
}
inline bool IsBooleanArg(const Value* args, int64_t k) {
    return HasArg(args, k) && args[k].tag == ValueTag::Boolean;
}
inline bool IsFunctionArg(const Value* args, int64_t k) {
    return HasArg(args, k) && args[k].tag == ValueTag::Function;
}

inline int64_t IntegerArg(const Value* args, int64_t k, int64_t fallback) {
    return IsIntegerArg(args, k) ? args[k].integer : fallback;
}
inline double NumberArg(const Value* args, int64_t k, double fallback) {
    if (!IsNumberArg(args, k)) return fallback;
    return args[k].tag == ValueTag::Integer ? static_cast<double>(args[k].integer) : args[k].number;
}
inline bool BooleanArg(const Value* args, int64_t k, bool fallback) {
    return IsBooleanArg(args, k) ? args[k].boolean != 0 : fallback;
}

// The ANSI text of a String argument, or `fallback` when argument k is not
// a String.
std::string StringArg(ScriptContext* context, const Value* args, int64_t k,
                      const std::string& fallback = std::string());

// The ANSI text of a String value; false (and `out` empty) when it is not a
// String or its ANSI form is longer than `limit` bytes.
bool BoundedAnsi(ScriptContext* context, const Value& value, size_t limit, std::string& out);

// The ANSI text of any value converted with ToString, cut to `limit` bytes.
std::string AnsiOfValue(ScriptContext* context, const Value& value, size_t limit);

// A String value of ANSI text.
Value AnsiString(ScriptContext* context, const std::string& text);

}  // namespace kelpo
