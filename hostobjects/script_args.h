// Argument helpers shared by the projector's script objects: presence and
// tag checks on an ArgList and bounded ANSI copies of script texts, so that
// no name from a script reaches the system longer than it may be.
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

// The ANSI text of a String value; false (and `out` empty) when it is not a
// String or its ANSI form is longer than `limit` bytes.
bool BoundedAnsi(ScriptContext* context, const Value& value, size_t limit, std::string& out);

// The ANSI text of any value converted with ToString, cut to `limit` bytes.
std::string AnsiOfValue(ScriptContext* context, const Value& value, size_t limit);

// A String value of ANSI text.
Value AnsiString(ScriptContext* context, const std::string& text);

}  // namespace kelpo
