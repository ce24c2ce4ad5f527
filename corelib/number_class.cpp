// The Number class: Number(x) and new Number(x) give primitive numbers; it
// serves every value of tag Integer, Float and NaN (toString with a radix,
// valueOf, format) and answers the five numeric constants on the class and
// on every number.
//
// The class data is the table of member atoms, in the order of kNames.
#include "corelib/classes.h"

#include <cfloat>
#include <initializer_list>
#include <limits>

#include "corelib/number_format.h"
#include "corelib/text_buffer.h"
#include "runtime/atoms.h"
#include "runtime/convert.h"
#include "runtime/native.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

enum Member { kMaxValue, kMinValue, kNaNMember, kNegativeInfinity, kPositiveInfinity, kFormat,
              kMemberCount };
const char* const kNames[kMemberCount] = {
    "MAX_VALUE", "MIN_VALUE", "NaN", "NEGATIVE_INFINITY", "POSITIVE_INFINITY", "format",
};

int MemberOf(NativeClass* klass, Atom atom) {
    const Atom* atoms = static_cast<const Atom*>(klass->data);
    for (int i = 0; i < kMemberCount; ++i) {
        if (atoms[i] == atom) return i;
    }
    return -1;
}

Value Constant(int member) {
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
int NumberInvoke(ScriptContext* context, NativeClass* klass, void* data, Atom method, Value* out,
                 Value* args) {
    *out = MakeUndefined();
    const Value* self = static_cast<const Value*>(data);
    if (self == nullptr) {
        if (method == kAtomToString) {
            *out = StaticText(context, u"[type Function]");
            return 1;
        }
        if (method == kAtomValueOf) {
            *out = context->atomValues[InternAtom(context, "Number")];
            return 1;
        }
        return 0;
    }
    if (!IsNumberTag(self->tag)) return 0;
    if (method == kAtomToString) {
        *out = NumberToString(context, *self, args);
    } else if (method == kAtomValueOf) {
        *out = *self;
    } else if (MemberOf(klass, method) == kFormat) {
        *out = NumberFormat(context, *self, args);
    } else {
        return 0;
    }
    return 1;
}

// The constants read the same on the class and on every number; writes are
// accepted and ignored.
int NumberProperty(ScriptContext*, NativeClass* klass, void*, Atom atom, int isSet, Value* io) {
    int member = MemberOf(klass, atom);
    if (member < 0 || member == kFormat) {
        if (!isSet) *io = MakeUndefined();
        return 0;
    }
    if (!isSet) *io = Constant(member);
    return 1;
}

void FreeMemberAtoms(void* data) { ContextFree(data); }

}  // namespace

void RegisterNumberClass(ScriptContext* context) {
    NativeClass* klass = NewNativeClass(context);
    auto* atoms = static_cast<Atom*>(ContextCalloc(context, kMemberCount, sizeof(Atom)));
    klass->data = atoms;
    klass->freeData = FreeMemberAtoms;
    for (int i = 0; i < kMemberCount; ++i) atoms[i] = InternAtom(context, kNames[i]);
    klass->call = CallNumber;
    klass->construct = ConstructNumber;
    klass->invoke = NumberInvoke;
    klass->property = NumberProperty;
    BindGlobalClass(context, "Number", klass);
    for (ValueTag tag : {ValueTag::Integer, ValueTag::Float, ValueTag::NaN}) {
        context->classForTag[static_cast<int>(tag)] = klass;
    }
}

}  // namespace kelpo
