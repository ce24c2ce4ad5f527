// Script strings and their conversion to and from ANSI text.
#include "runtime/strings.h"

#include <cstring>

#include "platform/ansi.h"
#include "runtime/errors.h"
#include "runtime/gc.h"

namespace kelpo {
namespace {

ScriptString* NewStringRecord(ScriptContext* context) {
    auto* s = static_cast<ScriptString*>(GcAlloc(context, sizeof(ScriptString)));
    s->flags = 0;
    s->chars = nullptr;
    s->length = 0;
    s->props = nullptr;
    return s;
}

}  // namespace

Value NewStaticString(ScriptContext* context, const char16_t* chars, uint32_t length) {
    ScriptString* s = NewStringRecord(context);
    s->flags = kStaticStringFlag;
    s->chars = length == 0 ? nullptr : const_cast<char16_t*>(chars);
    s->length = length;
    return MakeStringValue(s);
}

Value NewString(ScriptContext* context, const char16_t* chars, uint32_t length) {
    ScriptString* s = NewStringRecord(context);
    if (length != 0) {
        if (length > UINT32_MAX / sizeof(char16_t)) {
            SetErrorText(context, "Out of memory");
            RaiseError(context);
        }
        // The record is reachable only from here until we return; collections
        // never run inside an allocation, so it cannot be lost meanwhile.
        s->chars = static_cast<char16_t*>(GcAlloc(context, length * sizeof(char16_t)));
        s->length = length;
        if (chars != nullptr) memcpy(s->chars, chars, length * sizeof(char16_t));
    }
    return MakeStringValue(s);
}

Value NewStringFromAnsi(ScriptContext* context, const char* text, size_t count) {
    if (text == nullptr || count == 0 || count > UINT32_MAX / 2)
        return NewString(context, nullptr, 0);
    size_t needed = AnsiToUtf16(text, count, nullptr, 0);
    if (needed == 0) return NewString(context, nullptr, 0);
    Value v = NewString(context, nullptr, static_cast<uint32_t>(needed));
    size_t written = AnsiToUtf16(text, count, v.string->chars, needed);
    if (written == 0) {
        v.string->chars = nullptr;
        v.string->length = 0;
    } else {
        v.string->length = static_cast<uint32_t>(written);
    }
    return v;
}

Value NewStringFromCString(ScriptContext* context, const char* text) {
    return NewStringFromAnsi(context, text, text == nullptr ? 0 : strlen(text));
}

bool NewStringFromAnsiNoRaise(ScriptContext* context, Value* out, const char* text, size_t count) {
    // Run the allocation inside a frame of its own so that an allocation
    // failure comes back here instead of leaving for the outer frame.
    Value result = MakeUndefined();
    bool ok = CatchRaise(context, [&] { result = NewStringFromAnsi(context, text, count); });
    if (ok) *out = result;
    return ok;
}

char* StringToAnsi(ScriptContext* context, const Value& value) {
    uint32_t length = value.tag == ValueTag::String ? value.string->length : 0;
    size_t capacity = 2 * static_cast<size_t>(length) + 2;
    auto* buffer = static_cast<char*>(ContextAlloc(context, capacity));
    size_t written = 0;
    if (length != 0) written = Utf16ToAnsi(value.string->chars, length, buffer, capacity - 1);
    buffer[written] = '\0';
    return buffer;
}

int CompareStrings(const Value& a, const Value& b) {
    const ScriptString* x = a.string;
    const ScriptString* y = b.string;
    uint32_t n = x->length < y->length ? x->length : y->length;
    for (uint32_t i = 0; i < n; ++i) {
        char16_t p = x->chars[i];
        char16_t q = y->chars[i];
        if (p != q) return p < q ? -1 : 1;
    }
    if (x->length == y->length) return 0;
    return x->length < y->length ? -1 : 1;
}

bool StringEquals(const Value& s, const char* ascii) {
    if (s.tag != ValueTag::String) return false;
    size_t n = strlen(ascii);
    if (s.string->length != n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (s.string->chars[i] != static_cast<unsigned char>(ascii[i])) return false;
    }
    return true;
}

}  // namespace kelpo
