// The language's operators on values.
//
// Invariants kept here:
// - Integer arithmetic is done on uint64_t and reinterpreted, so it wraps
//   modulo 2^64 without undefined behaviour; INT64_MIN / -1 style cases
//   cannot trap.
// - Not-a-number is only ever the NaN tag: a double result that is not a
//   number (infinity minus infinity, zero times infinity...) becomes NaN.
// - Shift counts are taken modulo 64 (their low six bits), for Integers and
//   converted operands alike.
// - Operands convert left first, so script code reached through toString or
//   valueOf runs in evaluation order.
#include "runtime/operators.h"

#include <cmath>
#include <cstring>

#include "runtime/convert.h"
#include "runtime/errors.h"
#include "runtime/native.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

inline int64_t Wrap(uint64_t u) {
    int64_t s;
    memcpy(&s, &u, sizeof s);
    return s;
}
inline uint64_t Bits(int64_t s) { return static_cast<uint64_t>(s); }

inline Value FloatResult(double d) { return std::isnan(d) ? MakeNaN() : MakeFloat(d); }

// An Integer, Float or NaN: numbers stay, anything else goes through ToNumber.
inline Value Numeric(ScriptContext* context, const Value& v) {
    return IsNumberTag(v.tag) ? v : ToNumber(context, v);
}

// The double of an Integer or Float.
inline double AsDouble(const Value& v) {
    return v.tag == ValueTag::Integer ? static_cast<double>(v.integer) : v.number;
}

inline bool IsZero(const Value& v) {
    return (v.tag == ValueTag::Integer && v.integer == 0) ||
           (v.tag == ValueTag::Float && v.number == 0.0);
}

inline bool IsInfinite(const Value& v) { return v.tag == ValueTag::Float && std::isinf(v.number); }

inline int ShiftCount(int64_t count) { return static_cast<int>(Bits(count) & 63u); }

// The two operands of an arithmetic operator, converted left first.
struct NumericPair {
    Value a;
    Value b;
    bool anyNaN() const { return a.tag == ValueTag::NaN || b.tag == ValueTag::NaN; }
    bool bothIntegers() const { return a.tag == ValueTag::Integer && b.tag == ValueTag::Integer; }
};

NumericPair Numerics(ScriptContext* context, const Value& a, const Value& b) {
    NumericPair p;
    p.a = Numeric(context, a);
    p.b = Numeric(context, b);
    return p;
}

// A concatenation in a new collected, modifiable string.
Value Concatenate(ScriptContext* context, const Value& left, const Value& right) {
    const ScriptString* x = left.string;
    const ScriptString* y = right.string;
    uint64_t length = uint64_t{x->length} + y->length;
    if (length > UINT32_MAX) RaiseErrorf(context, "Out of memory");
    Value result = NewString(context, nullptr, static_cast<uint32_t>(length));
    if (x->length != 0) memcpy(result.string->chars, x->chars, x->length * sizeof(char16_t));
    if (y->length != 0) {
        memcpy(result.string->chars + x->length, y->chars, y->length * sizeof(char16_t));
    }
    return result;
}

enum class Order { Less, Equal, Greater, Unordered };

template <class T>
Order Compare3(T x, T y) {
    if (x < y) return Order::Less;
    if (x > y) return Order::Greater;
    if (x == y) return Order::Equal;
    return Order::Unordered;  // a double that is not a number
}

// The ordering behind <, <=, > and >=.
Order Relate(ScriptContext* context, const Value& a, const Value& b) {
    if (a.tag == ValueTag::String && b.tag == ValueTag::String) {
        int c = CompareStrings(a, b);
        return c < 0 ? Order::Less : c > 0 ? Order::Greater : Order::Equal;
    }
    NumericPair p = Numerics(context, a, b);
    if (p.anyNaN()) return Order::Unordered;
    // Integers compare exactly even when they came from conversions: as
    // doubles, neighbours above 2^53 would compare equal.
    if (p.bothIntegers()) return Compare3(p.a.integer, p.b.integer);
    return Compare3(AsDouble(p.a), AsDouble(p.b));
}

inline bool IsLooseNumericTag(ValueTag t) {
    return IsNumberTag(t) || t == ValueTag::String || t == ValueTag::Boolean;
}

inline bool IsNullish(ValueTag t) { return t == ValueTag::Undefined || t == ValueTag::Null; }

// == on two values of the same tag.
bool LooseEqualsSameTag(const Value& a, const Value& b) {
    switch (a.tag) {
        case ValueTag::Undefined:
        case ValueTag::Null: return true;
        case ValueTag::Boolean: return (a.boolean != 0) == (b.boolean != 0);
        case ValueTag::AtomRef: return a.atom == b.atom;
        default: {
            int t = static_cast<int>(a.tag);
            if (t == 8 || t == 9) return true;
            return StrictEquals(a, b);
        }
    }
}

}  // namespace

// ---- Arithmetic ---------------------------------------------------------------

Value OpAdd(ScriptContext* context, const Value& a, const Value& b) {
    if (a.tag == ValueTag::String || b.tag == ValueTag::String) {
        Value left = ToString(context, a);
        Value right = ToString(context, b);
        return Concatenate(context, left, right);
    }
    NumericPair p = Numerics(context, a, b);
    if (p.anyNaN()) return MakeNaN();
    if (p.bothIntegers()) return MakeInteger(Wrap(Bits(p.a.integer) + Bits(p.b.integer)));
    return FloatResult(AsDouble(p.a) + AsDouble(p.b));
}

Value OpSub(ScriptContext* context, const Value& a, const Value& b) {
    NumericPair p = Numerics(context, a, b);
    if (p.anyNaN()) return MakeNaN();
    if (p.bothIntegers()) return MakeInteger(Wrap(Bits(p.a.integer) - Bits(p.b.integer)));
    return FloatResult(AsDouble(p.a) - AsDouble(p.b));
}

Value OpMul(ScriptContext* context, const Value& a, const Value& b) {
    NumericPair p = Numerics(context, a, b);
    if (p.anyNaN()) return MakeNaN();
    if (p.bothIntegers()) return MakeInteger(Wrap(Bits(p.a.integer) * Bits(p.b.integer)));
    // Zero times an infinity, whatever the zero's kind, gives a double that
    // is not a number, which FloatResult turns into NaN.
    return FloatResult(AsDouble(p.a) * AsDouble(p.b));
}

Value OpDiv(ScriptContext* context, const Value& a, const Value& b) {
    NumericPair p = Numerics(context, a, b);
    if (p.anyNaN()) return MakeNaN();
    double x = AsDouble(p.a);
    double y = AsDouble(p.b);
    if (std::isinf(x) && y == 0.0) return MakeFloat(x);
    // 0 / 0 and infinity / infinity are not numbers; x / 0 is the infinity
    // of IEEE division.
    return FloatResult(x / y);
}

Value OpMod(ScriptContext* context, const Value& a, const Value& b) {
    if (a.tag == ValueTag::Integer && b.tag == ValueTag::Integer) {
        if (b.integer == 0) return MakeNaN();
        // The one quotient that does not fit (INT64_MIN / -1) would trap.
        if (b.integer == -1) return MakeInteger(0);
        return MakeInteger(a.integer % b.integer);
    }
    NumericPair p = Numerics(context, a, b);
    if (p.anyNaN() || IsInfinite(p.a) || IsZero(p.b)) return MakeNaN();
    if (IsInfinite(p.b) || IsZero(p.a)) return p.a;
    if (p.bothIntegers()) {
        if (p.b.integer == -1) return MakeInteger(0);
        return MakeInteger(p.a.integer % p.b.integer);
    }
    // fmod is exact: the remainder has the dividend's sign and is smaller
    // than the divisor for every magnitude of quotient.
    return FloatResult(std::fmod(AsDouble(p.a), AsDouble(p.b)));
}

Value OpNeg(ScriptContext* context, const Value& a) {
    Value n = Numeric(context, a);
    switch (n.tag) {
        case ValueTag::Integer: return MakeInteger(Wrap(0 - Bits(n.integer)));
        case ValueTag::Float: return MakeFloat(-n.number);
        default: return MakeNaN();
    }
}

// ---- Bitwise --------------------------------------------------------------------

namespace {

// Both operands as 64-bit integers, left first.
struct IntegerPair {
    int64_t a;
    int64_t b;
};

IntegerPair Integers(ScriptContext* context, const Value& a, const Value& b) {
    if (a.tag == ValueTag::Integer && b.tag == ValueTag::Integer) return {a.integer, b.integer};
    IntegerPair p;
    p.a = ToInt64(context, a);
    p.b = ToInt64(context, b);
    return p;
}

// The value to shift (64 bits) and the count (ToInt32 of the right operand).
IntegerPair ShiftOperands(ScriptContext* context, const Value& a, const Value& b) {
    if (a.tag == ValueTag::Integer && b.tag == ValueTag::Integer) return {a.integer, b.integer};
    IntegerPair p;
    p.a = ToInt64(context, a);
    p.b = ToInt32(context, b);
    return p;
}

}  // namespace

Value OpBitAnd(ScriptContext* context, const Value& a, const Value& b) {
    IntegerPair p = Integers(context, a, b);
    return MakeInteger(Wrap(Bits(p.a) & Bits(p.b)));
}

Value OpBitOr(ScriptContext* context, const Value& a, const Value& b) {
    IntegerPair p = Integers(context, a, b);
    return MakeInteger(Wrap(Bits(p.a) | Bits(p.b)));
}

Value OpBitXor(ScriptContext* context, const Value& a, const Value& b) {
    IntegerPair p = Integers(context, a, b);
    return MakeInteger(Wrap(Bits(p.a) ^ Bits(p.b)));
}

Value OpShiftLeft(ScriptContext* context, const Value& a, const Value& b) {
    IntegerPair p = ShiftOperands(context, a, b);
    return MakeInteger(Wrap(Bits(p.a) << ShiftCount(p.b)));
}

Value OpShiftRight(ScriptContext* context, const Value& a, const Value& b) {
    IntegerPair p = ShiftOperands(context, a, b);
    int count = ShiftCount(p.b);
    // Sign-propagating without relying on the right shift of a negative
    // signed value: complement, shift logically, complement back.
    uint64_t u = Bits(p.a);
    uint64_t shifted = p.a < 0 ? ~(~u >> count) : u >> count;
    return MakeInteger(Wrap(shifted));
}

Value OpShiftRightUnsigned(ScriptContext* context, const Value& a, const Value& b) {
    IntegerPair p;
    p.a = ToInt64(context, a);
    p.b = ToInt32(context, b);
    return MakeInteger(Wrap(Bits(p.a) >> ShiftCount(p.b)));
}

Value OpNot(ScriptContext* context, const Value& a) { return MakeBoolean(!ToBoolean(context, a)); }

// ---- Relational and equality ------------------------------------------------------

Value OpLess(ScriptContext* context, const Value& a, const Value& b) {
    return MakeBoolean(Relate(context, a, b) == Order::Less);
}

Value OpLessEqual(ScriptContext* context, const Value& a, const Value& b) {
    Order o = Relate(context, a, b);
    return MakeBoolean(o == Order::Less || o == Order::Equal);
}

Value OpGreater(ScriptContext* context, const Value& a, const Value& b) {
    return MakeBoolean(Relate(context, a, b) == Order::Greater);
}

Value OpGreaterEqual(ScriptContext* context, const Value& a, const Value& b) {
    Order o = Relate(context, a, b);
    return MakeBoolean(o == Order::Greater || o == Order::Equal);
}

bool StrictEquals(const Value& a, const Value& b) {
    if (a.tag != b.tag) {
        bool aNumber = a.tag == ValueTag::Integer || a.tag == ValueTag::Float;
        bool bNumber = b.tag == ValueTag::Integer || b.tag == ValueTag::Float;
        return aNumber && bNumber && AsDouble(a) == AsDouble(b);
    }
    switch (a.tag) {
        case ValueTag::Undefined:
        case ValueTag::Null: return true;
        case ValueTag::Boolean: return (a.boolean != 0) == (b.boolean != 0);
        case ValueTag::Integer: return a.integer == b.integer;
        case ValueTag::Float: return a.number == b.number;
        case ValueTag::String: return CompareStrings(a, b) == 0;
        case ValueTag::Array: return a.array == b.array;
        case ValueTag::Object: return a.object == b.object;
        case ValueTag::Function: return a.function == b.function;
        case ValueTag::Native:
            return a.native->klass == b.native->klass && a.native->data == b.native->data;
        default: return false;  // NaN, AtomRef, the unassigned tags
    }
}

bool LooseEquals(ScriptContext* context, const Value& left, const Value& right) {
    Value a = left;
    Value b = right;
    for (;;) {
        if (a.tag == b.tag) return LooseEqualsSameTag(a, b);
        if (IsNullish(a.tag) && IsNullish(b.tag)) return true;
        if (IsNumberTag(a.tag) && IsNumberTag(b.tag)) return StrictEquals(a, b);
        if (IsLooseNumericTag(a.tag) && IsLooseNumericTag(b.tag)) {
            Value x = ToNumber(context, a);
            Value y = ToNumber(context, b);
            if (x.tag == ValueTag::NaN || y.tag == ValueTag::NaN) return false;
            if (x.tag == ValueTag::Integer && y.tag == ValueTag::Integer)
                return x.integer == y.integer;
            return AsDouble(x) == AsDouble(y);
        }
        // An object against a primitive that converts: compare its primitive.
        if (a.tag == ValueTag::Object && IsLooseNumericTag(b.tag)) {
            a = ToPrimitive(context, a, kHintNone);
            continue;
        }
        if (b.tag == ValueTag::Object && IsLooseNumericTag(a.tag)) {
            b = ToPrimitive(context, b, kHintNone);
            continue;
        }
        return false;
    }
}

}  // namespace kelpo
