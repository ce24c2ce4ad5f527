// Conversions between value kinds, the number text forms and typeof.
//
// Invariants kept here:
// - Number text is read by one scanner (ScanNumber) and written by one
//   formatter per kind (IntegerToString, FormatFloatG), so every build reads
//   and writes the same texts: no runtime-library number grammar ("inf",
//   "nan", hex floats) and no float text of one runtime library only ("1.#INF").
// - Decimal text becomes a double through std::from_chars, which rounds
//   correctly and never depends on the process locale; integer digit runs
//   too long for 64 bits are rounded exactly (ties to even) here.
// - Fixed texts are static Strings over literals; numbers and names give
//   collected strings.
// - Conversions that reach script code (toString and valueOf of objects)
//   copy what they need out of collected blocks before calling, so a
//   collection or a mutation by the called code cannot leave them holding a
//   stale pointer.
#include "runtime/convert.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/call.h"
#include "runtime/errors.h"
#include "runtime/gc.h"
#include "runtime/native.h"
#include "runtime/strings.h"

// Float text goes through the C99 printf of both C libraries: glibc, and
// mingw-w64's own implementation, which libstdc++ selects for C++ code.
// The Microsoft runtime's printf would write "1e+006" and "1.#INF".
#if defined(__MINGW32__) && (!defined(__USE_MINGW_ANSI_STDIO) || __USE_MINGW_ANSI_STDIO == 0)
#error "number formatting must use mingw-w64's C99 printf (__USE_MINGW_ANSI_STDIO=1)"
#endif

namespace kelpo {
namespace {

const char16_t kTextUndefined[] = u"undefined";
const char16_t kTextObject[] = u"object";
const char16_t kTextUnknown[] = u"unknown";
const char16_t kTextTrue[] = u"true";
const char16_t kTextFalse[] = u"false";
const char16_t kTextFunctionObject[] = u"[object Function]";
const char16_t kTextBoolean[] = u"boolean";
const char16_t kTextNumber[] = u"number";
const char16_t kTextString[] = u"string";
const char16_t kTextFunction[] = u"function";
const char16_t kTextEmpty[] = u"";

// A ContextAlloc'ed block released when the owner leaves scope, also when a
// raise passes through.
template <class T>
struct ContextBuffer {
    T* data = nullptr;
    uint64_t count = 0;     // elements in use
    uint64_t capacity = 0;  // elements allocated

    ContextBuffer() = default;
    ContextBuffer(const ContextBuffer&) = delete;
    ContextBuffer& operator=(const ContextBuffer&) = delete;
    ~ContextBuffer() { ContextFree(data); }

    void Reserve(ScriptContext* context, uint64_t wanted, uint64_t step) {
        if (wanted <= capacity) return;
        uint64_t rounded = (wanted + step - 1) / step * step;
        if (rounded > SIZE_MAX / sizeof(T)) RaiseErrorf(context, "Out of memory");
        data = static_cast<T*>(
            ContextRealloc(context, data, static_cast<size_t>(rounded * sizeof(T))));
        capacity = rounded;
    }
};

inline bool IsSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }
inline bool IsDecimalDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Digit value of a character in radixes up to 36; -1 for anything else.
inline int DigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'z') return c - u'a' + 10;
    if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
    return -1;
}

inline bool IsDigitOf(char16_t c, int radix) {
    int d = DigitValue(c);
    return d >= 0 && d < radix;
}

// Two's complement reinterpretation (well defined, unlike a narrowing cast
// before C++20).
inline int64_t AsSigned(uint64_t u) {
    int64_t s;
    memcpy(&s, &u, sizeof s);
    return s;
}

// ---- Exact conversion of long digit runs ------------------------------------

// An unsigned integer big enough to decide the double nearest to any digit
// run: once it passes 2^1025 the nearest double is +infinity whatever
// follows, so accumulation stops there ("saturated").
struct BigNatural {
    static constexpr int kLimbs = 34;  // 1088 bits
    uint32_t limb[kLimbs];
    int used = 0;
    bool saturated = false;

    void MulAdd(uint32_t radix, uint32_t digit) {
        if (saturated) return;
        uint64_t carry = digit;
        for (int i = 0; i < used; ++i) {
            uint64_t t = static_cast<uint64_t>(limb[i]) * radix + carry;
            limb[i] = static_cast<uint32_t>(t);
            carry = t >> 32;
        }
        if (carry != 0) {
            if (used == kLimbs) {
                saturated = true;
                return;
            }
            limb[used++] = static_cast<uint32_t>(carry);
        }
        if (BitLength() > 1025) saturated = true;
    }

    int BitLength() const {
        if (used == 0) return 0;
        uint32_t top = limb[used - 1];
        int bits = 0;
        while (top != 0) {
            ++bits;
            top >>= 1;
        }
        return (used - 1) * 32 + bits;
    }

    bool Bit(int n) const { return n >= 0 && ((limb[n / 32] >> (n % 32)) & 1u) != 0; }

    bool AnyBitBelow(int n) const {
        for (int i = 0; i < n; ++i) {
            if (Bit(i)) return true;
        }
        return false;
    }

    // The nearest double, ties to even.
    double ToDouble() const {
        if (saturated) return HUGE_VAL;
        int length = BitLength();
        if (length == 0) return 0.0;
        uint64_t mantissa = 0;  // the top 53 bits (fewer when the value is short)
        int taken = length < 53 ? length : 53;
        for (int i = 0; i < taken; ++i)
            mantissa = (mantissa << 1) | (Bit(length - 1 - i) ? 1u : 0u);
        int shift = length - taken;  // bits below the mantissa
        if (shift > 0) {
            bool half = Bit(shift - 1);
            bool sticky = AnyBitBelow(shift - 1);
            if (half && (sticky || (mantissa & 1u) != 0)) {
                ++mantissa;
                if (mantissa == (uint64_t{1} << 53)) {
                    mantissa >>= 1;
                    ++shift;
                }
            }
        }
        return std::ldexp(static_cast<double>(mantissa), shift);
    }
};

// ---- The number scanner ------------------------------------------------------

// What ScanNumber found at the front of a text.
struct NumberScan {
    int result;  // 0 no digits, 1 Integer, 2 overflow to Float
    int radix;   // the radix actually used
    bool negative;
    const char16_t* numberStart;  // after white space and sign, before any "0x"
    const char16_t* end;          // first character not consumed
    int64_t integer;
    double number;
};

NumberScan ScanNumber(const char16_t* text, int radix) {
    NumberScan scan{};
    const char16_t* p = text;
    while (IsSpace(*p)) ++p;
    if (*p == u'+' || *p == u'-') {
        scan.negative = *p == u'-';
        ++p;
        while (IsSpace(*p)) ++p;
    }
    scan.numberStart = p;
    bool hexPrefix = p[0] == u'0' && (p[1] == u'x' || p[1] == u'X');
    if (radix == 0) {
        if (hexPrefix) {
            radix = 16;
            p += 2;
        } else {
            radix = p[0] == u'0' ? 8 : 10;
        }
    } else if (radix == 16 && hexPrefix) {
        p += 2;
    }
    scan.radix = radix;

    const char16_t* digits = p;
    // The magnitude of the most negative Integer has no positive twin.
    const uint64_t limit = scan.negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    const uint64_t unsignedRadix = static_cast<uint64_t>(radix > 0 ? radix : 1);
    uint64_t magnitude = 0;
    bool overflow = false;
    while (IsDigitOf(*p, radix)) {
        uint64_t d = static_cast<uint64_t>(DigitValue(*p));
        if (!overflow) {
            if (magnitude > (limit - d) / unsignedRadix) {
                overflow = true;
            } else {
                magnitude = magnitude * unsignedRadix + d;
            }
        }
        ++p;
    }
    if (p == digits) {
        scan.result = 0;
        scan.end = text;
        return scan;
    }
    scan.end = p;
    if (overflow) {
        BigNatural big;
        for (const char16_t* q = digits; q != p && !big.saturated; ++q) {
            big.MulAdd(static_cast<uint32_t>(radix), static_cast<uint32_t>(DigitValue(*q)));
        }
        double value = big.ToDouble();
        scan.result = 2;
        scan.number = scan.negative ? -value : value;
        return scan;
    }
    scan.result = 1;
    scan.integer = scan.negative ? AsSigned(0 - magnitude) : AsSigned(magnitude);
    // Below 2^63 every magnitude converts with a single rounding.
    double value = static_cast<double>(magnitude);
    scan.number = scan.negative ? -value : value;
    return scan;
}

// Decimal syntax after an optional sign: digits with an optional point (at
// least one digit on either side), then an optional exponent whose letter
// is e, E, d or D followed by an optional sign and at least one digit.
// Converts the span without its sign; false when no digit was found.
bool ConvertUnsignedDecimal(const char16_t* p, const char16_t** end, double* out) {
    // The significant digits are copied into a fixed buffer with an adjusted
    // exponent. Digits beyond what can influence rounding are folded into
    // one trailing non-zero digit, so any length of text fits.
    constexpr int kKeptDigits = 780;
    char buffer[kKeptDigits + 2 + 24];
    int kept = 0;
    bool droppedNonZero = false;
    int64_t exponentAdjust = 0;  // power of ten to apply to the kept digits
    bool sawDigit = false;
    bool leading = true;  // still in leading zeros

    auto takeDigit = [&](char16_t c, bool afterPoint) {
        sawDigit = true;
        if (leading && c == u'0') {
            if (afterPoint) --exponentAdjust;
            return;
        }
        leading = false;
        if (kept < kKeptDigits) {
            buffer[kept++] = static_cast<char>(c);
            if (afterPoint) --exponentAdjust;
        } else {
            if (c != u'0') droppedNonZero = true;
            if (!afterPoint) ++exponentAdjust;
        }
    };

    const char16_t* q = p;
    while (IsDecimalDigit(*q)) takeDigit(*q++, false);
    if (*q == u'.') {
        const char16_t* afterPoint = q + 1;
        if (sawDigit || IsDecimalDigit(*afterPoint)) {
            q = afterPoint;
            while (IsDecimalDigit(*q)) takeDigit(*q++, true);
        }
    }
    if (!sawDigit) {
        *end = p;
        return false;
    }
    int64_t exponent = 0;
    if (*q == u'e' || *q == u'E' || *q == u'd' || *q == u'D') {
        const char16_t* e = q + 1;
        bool negativeExponent = false;
        if (*e == u'+' || *e == u'-') {
            negativeExponent = *e == u'-';
            ++e;
        }
        if (IsDecimalDigit(*e)) {
            while (IsDecimalDigit(*e)) {
                // Saturate far beyond the double range; the value is then
                // zero or infinite whatever the digits.
                if (exponent < 100000000) exponent = exponent * 10 + (*e - u'0');
                ++e;
            }
            if (negativeExponent) exponent = -exponent;
            q = e;
        }
    }
    *end = q;
    if (kept == 0) {
        *out = 0.0;
        return true;
    }
    if (droppedNonZero) {
        // Stands for the dropped digits: just above the kept ones.
        buffer[kept++] = '1';
        --exponentAdjust;
    }
    int64_t total = exponent + exponentAdjust;
    int length = kept;
    length += snprintf(buffer + kept, sizeof buffer - static_cast<size_t>(kept), "e%lld",
                       static_cast<long long>(total));
    double value = 0.0;
    std::from_chars_result r = std::from_chars(buffer, buffer + length, value);
    if (r.ec == std::errc::result_out_of_range) {
        // The value is kept-digits × 10^total: its decimal magnitude tells
        // overflow from underflow.
        value = total + kept - 1 > 0 ? HUGE_VAL : 0.0;
    }
    *out = value;
    return true;
}

inline bool IsPrimitiveTag(ValueTag tag) {
    int t = static_cast<int>(tag);
    return (t >= 0 && t <= 5) || tag == ValueTag::NaN;
}

Value ArgListEmpty() { return MakeInteger(0); }

// Asks a Native's class for toString or valueOf directly (no error frame):
// 1 with the answer in *out, 0 when the class does not answer.
int InvokeNative(ScriptContext* context, const Value& value, Atom method, Value* out) {
    NativeInstance* instance = value.native;
    NativeClass* klass = instance->klass;
    *out = MakeUndefined();
    if (klass == nullptr || klass->invoke == nullptr) return 0;
    Value args[1] = {ArgListEmpty()};
    return klass->invoke(context, klass, instance->data, method, out, args);
}

// Calls a method of an Object through CallMethod; true when it ran.
bool CallObjectMethod(ScriptContext* context, const Value& value, const char* name, Value* out) {
    Value args[1] = {ArgListEmpty()};
    if (!CallMethod(context, &value, name, 1, args)) return false;
    *out = context->result;
    return true;
}

[[noreturn]] void RaiseNotPrimitive(ScriptContext* context) {
    RaiseErrorf(context, "Can't convert to primitive type");
}

Value StringOfDigits(ScriptContext* context, const char* text, int length) {
    char16_t wide[64];
    for (int i = 0; i < length; ++i) wide[i] = static_cast<unsigned char>(text[i]);
    return NewString(context, wide, static_cast<uint32_t>(length));
}

// Arrays whose text is being built on this thread, innermost first. An
// array met again inside its own text contributes an empty text instead of
// recursing forever.
struct JoinInProgress {
    const ScriptArray* array;
    const JoinInProgress* outer;
};
thread_local const JoinInProgress* gJoinsInProgress = nullptr;

struct JoinScope {
    JoinInProgress entry;
    explicit JoinScope(const ScriptArray* array) : entry{array, gJoinsInProgress} {
        gJoinsInProgress = &entry;
    }
    ~JoinScope() { gJoinsInProgress = entry.outer; }
    JoinScope(const JoinScope&) = delete;
    JoinScope& operator=(const JoinScope&) = delete;
};

bool JoinIsInProgress(const ScriptArray* array) {
    for (const JoinInProgress* j = gJoinsInProgress; j != nullptr; j = j->outer) {
        if (j->array == array) return true;
    }
    return false;
}

// The text being joined: grows geometrically, in multiples of 512 units,
// so that joining many short pieces copies the text a bounded number of
// times.
struct TextBuilder {
    ContextBuffer<char16_t> buffer;

    void Append(ScriptContext* context, const char16_t* chars, uint64_t length) {
        if (length == 0) return;
        uint64_t wanted = buffer.count + length;
        uint64_t most = GcRequestLimit(context) / sizeof(char16_t);
        if (wanted > most) RaiseErrorf(context, "Out of memory");
        if (wanted > buffer.capacity) {
            uint64_t grown = buffer.capacity * 2;
            buffer.Reserve(context, grown > wanted && grown <= most ? grown : wanted, 512);
        }
        memcpy(buffer.data + buffer.count, chars, static_cast<size_t>(length * sizeof(char16_t)));
        buffer.count = wanted;
    }
};

}  // namespace

// ---- Booleans and numbers ------------------------------------------------------

int ToBoolean(ScriptContext* context, const Value& value) {
    switch (value.tag) {
        case ValueTag::Boolean: return value.boolean != 0 ? 1 : 0;
        case ValueTag::Integer: return value.integer != 0 ? 1 : 0;
        case ValueTag::Float:
            // Not-a-number compares unequal to 0.0 and so counts as true.
            return value.number != 0.0 ? 1 : 0;
        case ValueTag::String: return value.string->length != 0 ? 1 : 0;
        case ValueTag::Array:
        case ValueTag::Object:
        case ValueTag::Native:
        case ValueTag::Function: return 1;
        default: return 0;
    }
}

// The rules (ScanNumber): white space, one optional sign, white space; radix
// 0 picks 16 after "0x"/"0X" (skipped), 8 after a leading '0', else 10, and
// radix 16 also skips "0x"; then the longest run of digits of the radix
// ('a'-'z' and 'A'-'Z' are 10 to 35). A run whose magnitude fits 64 bits
// (2^63 included when negative) gives 1 with the Integer and its double;
// a longer one gives 2 with the nearest double, ties to even, in every
// radix. No digits give 0 with *end = text.
int ParseNumberText(ScriptContext* context, const char16_t* text, const char16_t** end, int radix,
                    double* floatOut, int64_t* integerOut) {
    NumberScan scan = ScanNumber(text, radix);
    if (end != nullptr) *end = scan.end;
    if (floatOut != nullptr) *floatOut = scan.result == 0 ? 0.0 : scan.number;
    if (integerOut != nullptr) *integerOut = scan.result == 1 ? scan.integer : 0;
    return scan.result;
}

bool ParseDecimalText(const char16_t* text, const char16_t** end, double* out) {
    const char16_t* p = text;
    while (IsSpace(*p)) ++p;
    bool negative = false;
    if (*p == u'+' || *p == u'-') {
        negative = *p == u'-';
        ++p;
    }
    double value = 0.0;
    const char16_t* stop = p;
    if (!ConvertUnsignedDecimal(p, &stop, &value)) {
        *end = text;
        *out = 0.0;
        return false;
    }
    *end = stop;
    *out = negative ? -value : value;
    return true;
}

namespace {

// ToNumber of the code units of a String (a NUL ends the text early, as
// the conversion works on a terminated copy).
Value NumberOfText(const char16_t* text) {
    NumberScan scan = ScanNumber(text, 0);
    if (scan.result == 0) {
        // No integer digits: the text may still start with a point (".5").
        double value = 0.0;
        const char16_t* stop = nullptr;
        if (!ConvertUnsignedDecimal(scan.numberStart, &stop, &value)) return MakeNaN();
        return MakeFloat(scan.negative ? -value : value);
    }
    char16_t next = *scan.end;
    bool decimalTail = next == u'.' || next == u'e' || next == u'E' || next == u'd' || next == u'D';
    // Hexadecimal digits end the number: a point after them starts no fraction.
    if (decimalTail && scan.radix != 16) {
        double value = 0.0;
        const char16_t* stop = nullptr;
        ConvertUnsignedDecimal(scan.numberStart, &stop, &value);
        return MakeFloat(scan.negative ? -value : value);
    }
    if (scan.result == 2) return MakeFloat(scan.number);
    return MakeInteger(scan.integer);
}

}  // namespace

Value ToNumber(ScriptContext* context, const Value& value) {
    switch (value.tag) {
        case ValueTag::Null: return MakeInteger(0);
        case ValueTag::Boolean: return MakeInteger(value.boolean != 0 ? 1 : 0);
        case ValueTag::Integer:
        case ValueTag::Float:
        case ValueTag::NaN: return value;
        case ValueTag::String: {
            const ScriptString* s = value.string;
            if (s->length == 0) return MakeInteger(0);
            // A terminated copy: the scanners stop at the terminator.
            char16_t small[64];
            ContextBuffer<char16_t> large;
            char16_t* copy = small;
            if (s->length >= sizeof small / sizeof small[0]) {
                large.Reserve(context, uint64_t{s->length} + 1, 1);
                copy = large.data;
            }
            memcpy(copy, s->chars, s->length * sizeof(char16_t));
            copy[s->length] = u'\0';
            return NumberOfText(copy);
        }
        case ValueTag::Array:
        case ValueTag::Object:
        case ValueTag::Native:
        case ValueTag::Function: {
            Value primitive = ToPrimitive(context, value, kHintNumber);
            return ToNumber(context, primitive);
        }
        default: return MakeNaN();
    }
}

int64_t FloatToInt64Wrapped(double value) {
    if (!std::isfinite(value)) return 0;
    double t = std::trunc(value);
    constexpr double kTwo63 = 9223372036854775808.0;
    constexpr double kTwo64 = 18446744073709551616.0;
    if (t >= -kTwo63 && t < kTwo63) return static_cast<int64_t>(t);
    // Beyond 64 bits the value is an exact multiple of 2^11, so reducing it
    // modulo 2^64 is exact.
    double m = std::fmod(t, kTwo64);
    if (m < 0) m += kTwo64;
    return AsSigned(static_cast<uint64_t>(m));
}

int64_t ToInt64(ScriptContext* context, const Value& value) {
    Value n = ToNumber(context, value);
    if (n.tag == ValueTag::Integer) return n.integer;
    if (n.tag == ValueTag::Float) return FloatToInt64Wrapped(n.number);
    return 0;
}

int32_t ToInt32(ScriptContext* context, const Value& value) {
    uint64_t bits = static_cast<uint64_t>(ToInt64(context, value));
    uint32_t low = static_cast<uint32_t>(bits);
    int32_t s;
    memcpy(&s, &low, sizeof s);
    return s;
}

// ---- Primitives, texts and objects --------------------------------------------

Value ToPrimitive(ScriptContext* context, const Value& value, int hint) {
    switch (value.tag) {
        case ValueTag::Object: {
            Value result = MakeUndefined();
            if (hint == kHintString) {
                if (CallObjectMethod(context, value, "toString", &result) &&
                    IsPrimitiveTag(result.tag)) {
                    return result;
                }
                if (CallObjectMethod(context, value, "valueOf", &result) &&
                    IsPrimitiveTag(result.tag)) {
                    return result;
                }
                RaiseNotPrimitive(context);
            }
            if (CallObjectMethod(context, value, "valueOf", &result) &&
                IsPrimitiveTag(result.tag)) {
                return result;
            }
            return ToString(context, value);
        }
        case ValueTag::Array:
        case ValueTag::Function: return ToString(context, value);
        case ValueTag::Native: {
            NativeClass* klass = value.native->klass;
            if (klass == nullptr || klass->invoke == nullptr) RaiseNotPrimitive(context);
            Value result = MakeUndefined();
            // A class's valueOf conventionally answers the instance itself:
            // such a non-primitive answer counts as not converting, or the
            // conversion would never end.
            if (hint == kHintString) {
                if (InvokeNative(context, value, kAtomToString, &result) &&
                    IsPrimitiveTag(result.tag)) {
                    return result;
                }
                if (InvokeNative(context, value, kAtomValueOf, &result) &&
                    IsPrimitiveTag(result.tag)) {
                    return result;
                }
                RaiseNotPrimitive(context);
            }
            if (InvokeNative(context, value, kAtomValueOf, &result) && IsPrimitiveTag(result.tag)) {
                return result;
            }
            return ToString(context, value);
        }
        default:
            if (IsPrimitiveTag(value.tag)) return value;
            RaiseNotPrimitive(context);
    }
}

Value StaticText(ScriptContext* context, const char16_t* text) {
    uint32_t length = 0;
    while (text[length] != u'\0') ++length;
    return NewStaticString(context, text, length);
}

Value IntegerToString(ScriptContext* context, int64_t value) {
    char digits[24];
    int n = sizeof digits;
    uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
        digits[--n] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) digits[--n] = '-';
    return StringOfDigits(context, digits + n, static_cast<int>(sizeof digits) - n);
}

int FormatFloatG(double value, char* buffer, size_t size) {
    if (size == 0) return 0;
    int length;
    if (std::isnan(value)) {
        // printf writes "nan" or "-nan" depending on the library and the
        // sign bit; the language has one text for not-a-number.
        length = snprintf(buffer, size, "NaN");
    } else {
        length = snprintf(buffer, size, "%g", value);
    }
    if (length < 0) length = 0;
    if (static_cast<size_t>(length) >= size) length = static_cast<int>(size - 1);
    return length;
}

Value FloatToString(ScriptContext* context, double value) {
    char text[32];
    int length = FormatFloatG(value, text, sizeof text);
    return StringOfDigits(context, text, length);
}

Value JoinArray(ScriptContext* context, const Value& array, const char16_t* separator,
                uint32_t separatorLength) {
    if (array.tag != ValueTag::Array) return NewString(context, nullptr, 0);
    const ScriptArray* a = array.array;
    uint64_t length = a->length;
    if (length == 0 || JoinIsInProgress(a)) return NewString(context, nullptr, 0);
    if (separatorLength != 0 &&
        length - 1 > GcRequestLimit(context) / sizeof(char16_t) / separatorLength) {
        RaiseErrorf(context, "Out of memory");
    }
    JoinScope scope(a);

    // Element texts may run script that changes the separator's String in
    // place; keep a copy.
    ContextBuffer<char16_t> sep;
    if (separatorLength != 0) {
        sep.Reserve(context, separatorLength, 1);
        memcpy(sep.data, separator, separatorLength * sizeof(char16_t));
    }

    // The stored indexes below the length, in ascending order: holes cost
    // nothing to find however sparse the array is. Elements are read by
    // index afterwards, so one removed meanwhile reads as a hole.
    ContextBuffer<uint64_t> indexes;
    uint64_t stored = 0;
    if (a->buckets != nullptr) {
        for (int b = 0; b < kArrayBuckets; ++b) {
            for (const ElementNode* node = a->buckets[b]; node != nullptr; node = node->next) {
                if (node->index < length) ++stored;
            }
        }
        indexes.Reserve(context, stored == 0 ? 1 : stored, 1);
        for (int b = 0; b < kArrayBuckets; ++b) {
            for (const ElementNode* node = a->buckets[b]; node != nullptr; node = node->next) {
                if (node->index < length) indexes.data[indexes.count++] = node->index;
            }
        }
        std::sort(indexes.data, indexes.data + indexes.count);
    }

    TextBuilder text;
    uint64_t separatorsWritten = 0;
    auto writeSeparatorsUpTo = [&](uint64_t count) {
        if (separatorLength == 0) return;
        for (; separatorsWritten < count; ++separatorsWritten) {
            text.Append(context, sep.data, separatorLength);
        }
    };
    for (uint64_t i = 0; i < indexes.count; ++i) {
        uint64_t index = indexes.data[i];
        writeSeparatorsUpTo(index);
        Value* box = ArrayGet(context, array, index);
        if (box == nullptr) continue;
        Value element = *box;
        Value piece = ToString(context, element);
        text.Append(context, piece.string->chars, piece.string->length);
    }
    writeSeparatorsUpTo(length - 1);
    return NewString(context, text.buffer.data, static_cast<uint32_t>(text.buffer.count));
}

Value ToString(ScriptContext* context, const Value& value) {
    switch (value.tag) {
        case ValueTag::Undefined:
        case ValueTag::Null: return StaticText(context, kTextUndefined);
        case ValueTag::Boolean:
            return StaticText(context, value.boolean != 0 ? kTextTrue : kTextFalse);
        case ValueTag::Integer: return IntegerToString(context, value.integer);
        case ValueTag::Float: return FloatToString(context, value.number);
        case ValueTag::NaN: return StringOfDigits(context, "NaN", 3);
        case ValueTag::String: return value;
        case ValueTag::Array: {
            static const char16_t kComma[] = u",";
            return JoinArray(context, value, kComma, 1);
        }
        case ValueTag::Function: return StaticText(context, kTextFunctionObject);
        case ValueTag::Object: {
            Value result = MakeUndefined();
            if (CallObjectMethod(context, value, "toString", &result) &&
                result.tag == ValueTag::String) {
                return result;
            }
            return StaticText(context, kTextObject);
        }
        case ValueTag::Native: {
            Value result = MakeUndefined();
            if (InvokeNative(context, value, kAtomToString, &result) &&
                result.tag == ValueTag::String) {
                return result;
            }
            return StaticText(context, kTextObject);
        }
        case ValueTag::AtomRef: return NewStringFromCString(context, AtomName(context, value.atom));
        default: return StaticText(context, kTextUnknown);
    }
}

Value ToObject(ScriptContext* context, const Value& value) {
    switch (value.tag) {
        case ValueTag::Boolean:
        case ValueTag::Integer:
        case ValueTag::Float:
        case ValueTag::Array:
        case ValueTag::Object:
        case ValueTag::Native:
        case ValueTag::Function:
        case ValueTag::NaN: return value;
        case ValueTag::String: return NewString(context, value.string->chars, value.string->length);
        default: RaiseErrorf(context, "Can't convert to object");
    }
}

Value TypeOf(ScriptContext* context, const Value& value) {
    const char16_t* text;
    switch (value.tag) {
        case ValueTag::Undefined: text = kTextUndefined; break;
        case ValueTag::Null:
        case ValueTag::Array:
        case ValueTag::Object:
        case ValueTag::Native: text = kTextObject; break;
        case ValueTag::Boolean: text = kTextBoolean; break;
        case ValueTag::Integer:
        case ValueTag::Float:
        case ValueTag::NaN: text = kTextNumber; break;
        case ValueTag::String: text = kTextString; break;
        case ValueTag::Function: text = kTextFunction; break;
        default: text = kTextEmpty; break;
    }
    return StaticText(context, text);
}

}  // namespace kelpo
