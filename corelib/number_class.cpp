// The Number class: Number(x) and new Number(x) give primitive numbers; it
// serves every value of tag Integer, Float and NaN (toString with a radix,
// valueOf, format) and answers the five numeric constants on the class and
// on every number.
#include "corelib/classes.h"

#include <cfloat>
#include <initializer_list>
#include <limits>

#include "corelib/number_format.h"
#include "corelib/text_buffer.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

enum Method { kToString, kValueOf, kFormat };
const MemberRow kMethodNames[] = {
    {"toString",
     "toString([radix]) -> String: the number as text; an Integer in radix 2-36 "
     "(10 is signed, others unsigned 64-bit); \"[type Function]\" on the class"},
    {"valueOf", "valueOf() -> Number: the number itself; the class's global on the class"},
    {"format",
     "format(fmt) -> String: the number formatted by the printf-style format fmt; "
     "without a String fmt, the number as text"},
};

enum Constant { kMaxValue, kMinValue, kNaNMember, kNegativeInfinity, kPositiveInfinity };
const MemberRow kConstantNames[] = {
    {"MAX_VALUE", "Float, read-only: the largest double, 1.7976931348623157e308"},
    {"MIN_VALUE", "Float, read-only: the smallest normalised double, 2.2250738585072014e-308"},
    {"NaN", "NaN, read-only: not a number"},
    {"NEGATIVE_INFINITY", "Float, read-only: minus infinity"},
    {"POSITIVE_INFINITY", "Float, read-only: plus infinity"},
};

Value ConstantValue(int member) {
    const double inf = std::numeric_limits<double>::infinity();
    switch (member) {
        case kMaxValue: return MakeFloat(DBL_MAX);
        // The smallest normalised double, not the smallest denormal.
        case kMinValue: return MakeFloat(DBL_MIN);
        case kNegativeInfinity: return MakeFloat(-inf);
        case kPositiveInfinity: return MakeFloat(inf);
        default: return MakeNaN();
    }
}

void ConstructNumber(ScriptContext* context, NativeClass*, Value* args, Value* out) {
    *out = HasArg(args, 1) ? ToNumber(context, args[1]) : MakeInteger(0);
}

void CallNumber(ScriptContext* context, NativeClass* klass, void*, Value* out, Value* args) {
    ConstructNumber(context, klass, args, out);
}

// Digits of an Integer in a radix from 2 to 36: radix 10 is signed, every
// other radix shows the 64 bits as an unsigned value.
Value IntegerInRadix(ScriptContext* context, int64_t value, int64_t radix) {
    if (radix == 10) return IntegerToString(context, value);
    char16_t digits[64];
    int n = 64;
    uint64_t rest = static_cast<uint64_t>(value);
    const uint64_t base = static_cast<uint64_t>(radix);
    do {
        digits[--n] = static_cast<char16_t>(u"0123456789abcdefghijklmnopqrstuvwxyz"[rest % base]);
        rest /= base;
    } while (rest != 0);
    return NewString(context, digits + n, static_cast<uint32_t>(64 - n));
}

// An Integer radix argument from 2 to 36 counts; anything else gives 10.
Value NumberToString(ScriptContext* context, const Value& self, Value* args) {
    if (self.tag == ValueTag::Integer) {
        int64_t radix = 10;
        if (HasArg(args, 1) && args[1].tag == ValueTag::Integer && args[1].integer >= 2 &&
            args[1].integer <= 36) {
            radix = args[1].integer;
        }
        return IntegerInRadix(context, self.integer, radix);
    }
    return ToString(context, self);
}

Value NumberFormat(ScriptContext* context, const Value& self, Value* args) {
    if (!HasArg(args, 1) || args[1].tag != ValueTag::String) return ToString(context, self);
    if (self.tag == ValueTag::NaN) return StaticText(context, u"NaN");
    const Value format = args[1];
    TextBuffer text(context);
    FormatNumber(self, format.string->chars, format.string->length, &text);
    return text.ToValue();
}

// `data` is the number's Value, or null for the class object.
int NumberMethod(ScriptContext* context, NativeClass*, void* data, int member, Value* out,
                 Value* args) {
    const Value* self = static_cast<const Value*>(data);
    if (self == nullptr) {
        if (member == kToString)
            *out = StaticText(context, u"[type Function]");
        else if (member == kValueOf)
            *out = GetGlobal(context, "Number");
        else
            return 0;
        return 1;
    }
    if (!IsNumberTag(self->tag)) return 0;
    switch (member) {
        case kToString: *out = NumberToString(context, *self, args); break;
        case kValueOf: *out = *self; break;
        case kFormat: *out = NumberFormat(context, *self, args); break;
    }
    return 1;
}

// The constants read the same on the class and on every number; writes are
// accepted and ignored.
int NumberProperty(ScriptContext*, NativeClass*, void*, int member, int isSet, Value* io) {
    if (!isSet) *io = ConstantValue(member);
    return 1;
}

const ClassSpec kNumberClass = {
    .name = "Number",
    .about =
        "Numbers: the class of Integers, Floats and NaN; Number(x) and new Number(x) "
        "convert x to a number (0 without an argument); the constants read on any number",
    .methods = kMethodNames,
    .method = NumberMethod,
    .properties = kConstantNames,
    .property = NumberProperty,
    .call = CallNumber,
    .construct = ConstructNumber,
};

}  // namespace

void RegisterNumberClass(ScriptContext* context) {
    NativeClass* klass = DefineClass(context, kNumberClass);
    for (ValueTag tag : {ValueTag::Integer, ValueTag::Float, ValueTag::NaN}) {
        context->classForTag[static_cast<int>(tag)] = klass;
    }
}

}  // namespace kelpo
