// String methods for characters, pieces and case: charAt, charCodeAt,
// concat, fromCharCode, slice, substr, substring, toLowerCase, toUpperCase.
//
// Positions are UTF-16 code units. Position arguments count only when their
// tag is Integer; the full 64-bit value is used unless a method says
// otherwise, and every position is clamped before it touches the text.
#include <cstdint>

#include "corelib/string_methods.h"
#include "corelib/text_buffer.h"
#include "corelib/unit_case.h"
#include "runtime/convert.h"
#include "runtime/native.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

bool IntegerArg(const Value* args, int64_t k) {
    return HasArg(args, k) && args[k].tag == ValueTag::Integer;
}

// A position measured from the end when negative (0 if still negative),
// and at most the length.
int64_t FromEitherEnd(int64_t v, int64_t length) {
    if (v < 0) {
        v += length;
        if (v < 0) v = 0;
    }
    return v > length ? length : v;
}

Value Piece(ScriptContext* context, const Value& s, int64_t start, int64_t end) {
    return SubString(context, s, static_cast<uint32_t>(start), static_cast<uint32_t>(end));
}

Value NoText(ScriptContext* context) { return NewString(context, nullptr, 0); }

// The C runtime's decimal text-to-int conversion: leading white space, a
// sign, digits up to the first other unit, saturated to 32 bits.
int32_t DecimalTextToInt(const Value& text) {
    const char16_t* p = UnitsOf(text);
    uint32_t n = TerminatedLength(p, LengthOf(text));
    uint32_t i = 0;
    while (i < n && (p[i] == u' ' || (p[i] >= 0x09 && p[i] <= 0x0D))) ++i;
    bool negative = false;
    if (i < n && (p[i] == u'+' || p[i] == u'-')) negative = p[i++] == u'-';
    int64_t value = 0;
    for (; i < n && p[i] >= u'0' && p[i] <= u'9'; ++i) {
        value = value * 10 + (p[i] - u'0');
        if (value > int64_t{INT32_MAX} + 1) break;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

char16_t CharCodeOf(const Value& v) {
    switch (v.tag) {
        case ValueTag::Integer: return static_cast<char16_t>(v.integer & 0xFFFF);
        case ValueTag::String: return static_cast<char16_t>(DecimalTextToInt(v) & 0xFFFF);
        case ValueTag::Float: return static_cast<char16_t>(FloatToInt64Wrapped(v.number) & 0xFFFF);
        default: return 0;
    }
}

Value MapUnits(ScriptContext* context, const Value& self, char16_t (*map)(char16_t)) {
    Value result = NewString(context, UnitsOf(self), LengthOf(self));
    for (uint32_t i = 0; i < LengthOf(result); ++i) {
        result.string->chars[i] = map(result.string->chars[i]);
    }
    return result;
}

}  // namespace

Value StringCharAt(ScriptContext* context, const Value& self, Value* args) {
    if (!IntegerArg(args, 1)) return NoText(context);
    uint32_t i = static_cast<uint32_t>(args[1].integer);  // low word, unsigned
    if (i >= LengthOf(self)) return NoText(context);
    return SubString(context, self, i, i + 1);
}

Value StringCharCodeAt(ScriptContext* /*context*/, const Value& self, Value* args) {
    int64_t length = LengthOf(self);
    int64_t i = !HasArg(args, 1) ? 0 : IntegerArg(args, 1) ? args[1].integer : length;
    if (i < 0 || i >= length) return MakeNaN();
    return MakeInteger(self.string->chars[i]);
}

Value StringConcat(ScriptContext* context, const Value& self, Value* args) {
    // The text collects outside the collected heap: converting a later
    // argument may run script code that collects.
    TextBuffer text(context);
    text.AppendString(self);
    for (int64_t k = 1; k <= ArgCount(args); ++k) text.AppendString(ToString(context, args[k]));
    return text.ToValue();
}

Value StringFromCharCode(ScriptContext* context, const Value& /*self*/, Value* args) {
    TextBuffer text(context);
    for (int64_t k = 1; k <= ArgCount(args); ++k) text.Append(CharCodeOf(args[k]));
    return text.ToValue();
}

Value StringSlice(ScriptContext* context, const Value& self, Value* args) {
    if (!IntegerArg(args, 1) || (HasArg(args, 2) && !IntegerArg(args, 2))) return NoText(context);
    int64_t length = LengthOf(self);
    int64_t start = FromEitherEnd(args[1].integer, length);
    int64_t end = HasArg(args, 2) ? FromEitherEnd(args[2].integer, length) : length;
    if (start > end) return NoText(context);
    return Piece(context, self, start, end);
}

Value StringSubstr(ScriptContext* context, const Value& self, Value* args) {
    if (!IntegerArg(args, 1)) return NoText(context);
    int64_t length = LengthOf(self);
    int64_t start = FromEitherEnd(args[1].integer, length);
    int64_t count = length;
    if (IntegerArg(args, 2)) count = args[2].integer < 0 ? 0 : args[2].integer;
    if (count > length - start) count = length - start;
    return Piece(context, self, start, start + count);
}

Value StringSubstring(ScriptContext* context, const Value& self, Value* args) {
    if (!IntegerArg(args, 1)) return NoText(context);
    int64_t length = LengthOf(self);
    int64_t start = args[1].integer < 0 ? 0 : args[1].integer;
    int64_t end = IntegerArg(args, 2) ? args[2].integer : length;
    if (end > length) end = length;
    // The arguments are not exchanged: a start beyond the end is empty.
    if (start > end) return NoText(context);
    return Piece(context, self, start, end);
}

Value StringToLowerCase(ScriptContext* context, const Value& self, Value* /*args*/) {
    return MapUnits(context, self, LowerUnit);
}

Value StringToUpperCase(ScriptContext* context, const Value& self, Value* /*args*/) {
    return MapUnits(context, self, UpperUnit);
}

}  // namespace kelpo
