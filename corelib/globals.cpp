// Global values and functions.
#include "corelib/globals.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "runtime/atoms.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/native.h"
#include "runtime/strings.h"
#include "runtime/trace.h"

namespace kelpo {
namespace {

// UTF-16 text of a String value plus a terminator (ParseNumberText reads
// NUL-terminated text).
std::u16string TerminatedText(const Value& s) {
    std::u16string text(s.string->chars, s.string->chars + s.string->length);
    return text;
}

void ParseIntCall(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    *out = MakeNaN();
    if (!HasArg(args, 1)) return;
    Value text = ToString(context, args[1]);
    int radix = 0;
    if (HasArg(args, 2)) {
        radix = args[2].tag == ValueTag::Integer ? static_cast<int>(args[2].integer)
                                                 : ToInt32(context, args[2]);
    }
    std::u16string chars = TerminatedText(text);
    const char16_t* end = nullptr;
    double f = 0;
    int64_t i = 0;
    int kind = ParseNumberText(context, chars.c_str(), &end, radix, &f, &i);
    if (kind == 1) *out = MakeInteger(i);
    if (kind == 2) *out = MakeFloat(f);
}

void ParseFloatCall(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    *out = MakeNaN();
    if (!HasArg(args, 1)) return;
    Value n = ToNumber(context, args[1]);
    *out = n.tag == ValueTag::Integer ? MakeFloat(static_cast<double>(n.integer)) : n;
}

void IsNaNCall(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    *out = MakeUndefined();
    if (!HasArg(args, 1)) return;
    const Value& x = args[1];
    switch (x.tag) {
        case ValueTag::Integer:
        case ValueTag::Float: *out = MakeBoolean(false); return;
        case ValueTag::NaN: *out = MakeBoolean(true); return;
        default: *out = MakeBoolean(ToNumber(context, x).tag == ValueTag::NaN); return;
    }
}

void IsFiniteCall(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    *out = MakeUndefined();
    if (!HasArg(args, 1)) return;
    Value n = args[1];
    if (n.tag != ValueTag::Integer && n.tag != ValueTag::Float && n.tag != ValueTag::NaN) {
        n = ToNumber(context, n);
    }
    bool finite =
        n.tag == ValueTag::Integer || (n.tag == ValueTag::Float && std::isfinite(n.number));
    *out = MakeBoolean(finite);
}

const char kHexDigits[] = "0123456789ABCDEF";

bool KeptByEscape(char16_t c) {
    if (c >= 128) return false;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
    switch (c) {
        case '@':
        case '*':
        case '_':
        case '+':
        case '-':
        case '.':
        case '/': return true;
        default: return false;
    }
}

void EscapeCall(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    if (!HasArg(args, 1)) {
        *out = NewString(context, nullptr, 0);
        return;
    }
    Value text = ToString(context, args[1]);
    std::u16string result;
    for (uint32_t i = 0; i < text.string->length; ++i) {
        char16_t c = text.string->chars[i];
        if (KeptByEscape(c)) {
            result += c;
        } else if (c < 256) {
            result += u'%';
            result += static_cast<char16_t>(kHexDigits[c >> 4]);
            result += static_cast<char16_t>(kHexDigits[c & 15]);
        } else {
            result += u"%u";
            for (int shift = 12; shift >= 0; shift -= 4) {
                result += static_cast<char16_t>(kHexDigits[(c >> shift) & 15]);
            }
        }
    }
    *out = NewString(context, result.data(), static_cast<uint32_t>(result.size()));
}

int HexValue(char16_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Value of `count` hexadecimal digits at text[at], or -1.
int HexRun(const char16_t* text, uint32_t length, uint32_t at, int count) {
    if (at + count > length) return -1;
    int v = 0;
    for (int k = 0; k < count; ++k) {
        int d = HexValue(text[at + k]);
        if (d < 0) return -1;
        v = v * 16 + d;
    }
    return v;
}

void UnescapeCall(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    *out = MakeUndefined();
    if (!HasArg(args, 1)) return;
    Value text = ToString(context, args[1]);
    const char16_t* s = text.string->chars;
    uint32_t n = text.string->length;
    std::u16string result;
    for (uint32_t i = 0; i < n; ++i) {
        if (s[i] == u'%') {
            int v;
            if (i + 1 < n && s[i + 1] == u'u' && (v = HexRun(s, n, i + 2, 4)) >= 0) {
                result += static_cast<char16_t>(v);
                i += 5;
                continue;
            }
            if ((v = HexRun(s, n, i + 1, 2)) >= 0) {
                result += static_cast<char16_t>(v);
                i += 2;
                continue;
            }
        }
        result += s[i];
    }
    *out = NewString(context, result.data(), static_cast<uint32_t>(result.size()));
}

void TraceCall(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    *out = MakeUndefined();
    if (!TraceIsOpen()) return;
    std::string line;
    for (int64_t k = 1; k <= ArgCount(args); ++k) {
        Value text = ToString(context, args[k]);
        char* ansi = StringToAnsi(context, text);
        line += ansi;
        ContextFree(ansi);
    }
    line += "\r\n";
    TraceWrite(line.data(), line.size());
}

const MemberRow kGlobalRows[] = {
    {"NaN", "NaN: not a number (an ordinary, assignable global)"},
    {"Infinity", "Float: plus infinity (an ordinary, assignable global)"},
    {"parseInt",
     "parseInt(text [, radix]) -> Number: the whole number at the start of text "
     "(radix 0 or absent: 0x and 0 prefixes count); NaN without digits"},
    {"parseFloat", "parseFloat(text) -> Float: the number text converts to; NaN when none"},
    {"escape",
     "escape(text) -> String: text with every code unit but A-Z a-z 0-9 @*_+-./ as "
     "%XX or %uXXXX"},
    {"unescape",
     "unescape(text) -> String: text with %XX and %uXXXX decoded; undefined without "
     "an argument"},
    {"isNaN", "isNaN(x) -> Boolean: whether x converts to NaN; undefined without an argument"},
    {"isFinite",
     "isFinite(x) -> Boolean: whether x converts to a number that is not NaN or an "
     "infinity; undefined without an argument"},
    {"trace",
     "trace(value, ...) -> nothing: writes the values' texts and a line end to the "
     "trace output when it is open"},
};

}  // namespace

void RegisterGlobalFunctions(ScriptContext* context) {
    DescribeGlobals(kGlobalRows);
    SetGlobal(context, "NaN", MakeNaN());
    SetGlobal(context, "Infinity", MakeFloat(std::numeric_limits<double>::infinity()));
    RegisterGlobalFunction(context, "parseInt", ParseIntCall);
    RegisterGlobalFunction(context, "parseFloat", ParseFloatCall);
    RegisterGlobalFunction(context, "escape", EscapeCall);
    RegisterGlobalFunction(context, "unescape", UnescapeCall);
    RegisterGlobalFunction(context, "isNaN", IsNaNCall);
    RegisterGlobalFunction(context, "isFinite", IsFiniteCall);
    RegisterGlobalFunction(context, "trace", TraceCall);
}

}  // namespace kelpo
