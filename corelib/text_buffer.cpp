// Growable UTF-16 buffer and text helpers (see text_buffer.h).
#include "corelib/text_buffer.h"

#include <cstring>

#include "runtime/errors.h"
#include "runtime/gc.h"
#include "runtime/strings.h"

namespace kelpo {

TextBuffer::~TextBuffer() { ContextFree(units_); }

void TextBuffer::Reserve(size_t count) {
    // A script string cannot be longer than the collected heap serves.
    const size_t limit = GcRequestLimit(context_) / sizeof(char16_t);
    if (count > limit || size_ > limit - count) RaiseErrorf(context_, "Out of memory");
    size_t needed = size_ + count;
    if (needed <= capacity_) return;
    size_t grown = capacity_ < 64 ? 64 : capacity_ * 2;
    if (grown < needed) grown = needed;
    if (grown > limit) grown = limit;
    units_ = static_cast<char16_t*>(ContextRealloc(context_, units_, grown * sizeof(char16_t)));
    capacity_ = grown;
}

void TextBuffer::Append(const char16_t* units, size_t count) {
    if (count == 0) return;
    Reserve(count);
    memcpy(units_ + size_, units, count * sizeof(char16_t));
    size_ += count;
}

void TextBuffer::AppendAscii(const char* text) {
    size_t n = strlen(text);
    Reserve(n);
    for (size_t i = 0; i < n; ++i) units_[size_ + i] = static_cast<unsigned char>(text[i]);
    size_ += n;
}

void TextBuffer::AppendString(const Value& string) {
    if (string.tag == ValueTag::String) Append(string.string->chars, string.string->length);
}

Value TextBuffer::ToValue() const {
    return NewString(context_, units_, static_cast<uint32_t>(size_));
}

uint32_t TerminatedLength(const char16_t* units, uint32_t length) {
    for (uint32_t i = 0; i < length; ++i) {
        if (units[i] == 0) return i;
    }
    return length;
}

Value SubString(ScriptContext* context, const Value& string, uint32_t start, uint32_t end) {
    if (end <= start) return NewString(context, nullptr, 0);
    return NewString(context, string.string->chars + start, end - start);
}

Value EmptyString(ScriptContext* context) { return NewStaticString(context, nullptr, 0); }

}  // namespace kelpo
