// Script strings: UTF-16 text on the collected heap.
//
// A ScriptString refers to its code units; the buffer is collected unless
// flag bit 0 marks it static (literal or caller-owned text, never modified in
// place). Strings are not NUL-terminated; `chars` is null when length is 0.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/context.h"

namespace kelpo {

constexpr uint32_t kStaticStringFlag = 1;

struct ScriptString {
    uint32_t flags;
    char16_t* chars;
    uint32_t length;
    ScriptObject* props;  // own properties of `new String(...)` values
};

inline bool IsStaticString(const ScriptString* s) { return (s->flags & kStaticStringFlag) != 0; }

// A String referring to `chars` without copying (the text outlives it).
Value NewStaticString(ScriptContext* context, const char16_t* chars, uint32_t length);

// A String with a collected buffer of `length` units, filled from `chars`
// when given (otherwise left for the caller to fill).
Value NewString(ScriptContext* context, const char16_t* chars, uint32_t length);

// A String converted from ANSI text; null text, zero count or a failed
// conversion give the empty string.
Value NewStringFromAnsi(ScriptContext* context, const char* text, size_t count);

// Convenience for NUL-terminated ANSI text.
Value NewStringFromCString(ScriptContext* context, const char* text);

// Like NewStringFromAnsi but reports an allocation failure by returning false
// (with `out` untouched) instead of raising. Used while a raise is under way.
bool NewStringFromAnsiNoRaise(ScriptContext* context, Value* out, const char* text, size_t count);

// A ContextAlloc'ed, NUL-terminated ANSI copy of a String value (empty text
// for any other value). The caller frees it with ContextFree.
char* StringToAnsi(ScriptContext* context, const Value& value);

// Orders two String values by unsigned UTF-16 code units: -1, 0 or 1.
int CompareStrings(const Value& a, const Value& b);

// Compares a String value with ASCII text (tests and table lookups).
bool StringEquals(const Value& s, const char* ascii);

}  // namespace kelpo
