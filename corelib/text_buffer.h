// A growable UTF-16 buffer for building script strings, and helpers for the
// NUL-terminated view some string operations take of a text.
//
// The buffer lives in context memory (not on the collected heap), so a
// collection that runs while a native builds a result cannot touch it; an
// allocation failure raises "Out of memory" and the destructor still frees
// the buffer while the raise unwinds.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/context.h"
#include "runtime/strings.h"

namespace kelpo {

class TextBuffer {
public:
    explicit TextBuffer(ScriptContext* context) : context_(context) {}
    ~TextBuffer();
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    void Append(const char16_t* units, size_t count);
    void Append(char16_t unit) { Append(&unit, 1); }
    // Appends 7-bit ASCII text.
    void AppendAscii(const char* text);
    // Appends the text of a String value (nothing for other values).
    void AppendString(const Value& string);

    size_t size() const { return size_; }
    const char16_t* data() const { return units_; }
    // The text as a new collected String.
    Value ToValue() const;

private:
    void Reserve(size_t count);

    ScriptContext* context_;
    char16_t* units_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

// Length of the text up to its first NUL code unit (the whole length when
// it has none): what a NUL-terminated copy of the text would show.
uint32_t TerminatedLength(const char16_t* units, uint32_t length);

// Code units and length of a String value (null and 0 for other values).
inline const char16_t* UnitsOf(const Value& v) {
    return v.tag == ValueTag::String ? v.string->chars : nullptr;
}
inline uint32_t LengthOf(const Value& v) {
    return v.tag == ValueTag::String ? v.string->length : 0;
}

// A new collected String holding the units start to end - 1 of a String
// value (the empty string when end <= start).
Value SubString(ScriptContext* context, const Value& string, uint32_t start, uint32_t end);

// The empty static string (String() with no argument).
Value EmptyString(ScriptContext* context);

}  // namespace kelpo
