// The interpreter's inline paths for operators on plain numbers (and for
// == against undefined and null).
//
// Each helper answers only when both operands are Integers or Floats (no
// NaN tag, nothing to convert) and computes exactly what operators.cpp
// would: Integer pairs wrap modulo 2^64, any Float makes a double result,
// and a double that is not a number becomes the NaN tag. Anything else
// returns false and the caller takes the general operator.
#pragma once

#include <cmath>
#include <cstdint>

#include "runtime/value.h"

namespace kelpo {

inline bool IsPlainNumber(const Value& v) {
    return v.tag == ValueTag::Integer || v.tag == ValueTag::Float;
}

inline double PlainDouble(const Value& v) {
    return v.tag == ValueTag::Integer ? static_cast<double>(v.integer) : v.number;
}

inline Value DoubleResult(double d) { return std::isnan(d) ? MakeNaN() : MakeFloat(d); }

// +, - and * when at least one side is a Float.
inline bool FloatAdd(const Value& a, const Value& b, Value* out) {
    if (!IsPlainNumber(a) || !IsPlainNumber(b)) return false;
    *out = DoubleResult(PlainDouble(a) + PlainDouble(b));
    return true;
}
inline bool FloatSub(const Value& a, const Value& b, Value* out) {
    if (!IsPlainNumber(a) || !IsPlainNumber(b)) return false;
    *out = DoubleResult(PlainDouble(a) - PlainDouble(b));
    return true;
}

inline bool NumberMul(const Value& a, const Value& b, Value* out) {
    if (a.tag == ValueTag::Integer && b.tag == ValueTag::Integer) {
        *out = MakeInteger(static_cast<int64_t>(static_cast<uint64_t>(a.integer) *
                                                static_cast<uint64_t>(b.integer)));
        return true;
    }
    if (!IsPlainNumber(a) || !IsPlainNumber(b)) return false;
    *out = DoubleResult(PlainDouble(a) * PlainDouble(b));
    return true;
}

inline bool NumberDiv(const Value& a, const Value& b, Value* out) {
    if (!IsPlainNumber(a) || !IsPlainNumber(b)) return false;
    double x = PlainDouble(a);
    double y = PlainDouble(b);
    *out = std::isinf(x) && y == 0.0 ? MakeFloat(x) : DoubleResult(x / y);
    return true;
}

// Integer % Integer with a divisor other than 0 and -1 only.
inline bool IntegerMod(const Value& a, const Value& b, Value* out) {
    if (a.tag != ValueTag::Integer || b.tag != ValueTag::Integer) return false;
    if (b.integer == 0 || b.integer == -1) return false;
    *out = MakeInteger(a.integer % b.integer);
    return true;
}

// <, >, <=, >= on numbers: Integers exactly, anything with a Float as
// doubles (a Float is never a double that is not a number).
inline bool NumberRelate(uint32_t op, uint32_t lt, uint32_t gt, uint32_t le, const Value& a,
                         const Value& b, bool* out) {
    if (a.tag == ValueTag::Integer && b.tag == ValueTag::Integer) {
        int64_t x = a.integer, y = b.integer;
        *out = op == lt ? x < y : op == gt ? x > y : op == le ? x <= y : x >= y;
        return true;
    }
    if (!IsPlainNumber(a) || !IsPlainNumber(b)) return false;
    double x = PlainDouble(a), y = PlainDouble(b);
    *out = op == lt ? x < y : op == gt ? x > y : op == le ? x <= y : x >= y;
    return true;
}

inline bool IsNullishTag(ValueTag t) { return t == ValueTag::Undefined || t == ValueTag::Null; }

// == between two Integers, or with undefined or null on either side (which
// equals only undefined and null, with no conversion).
inline bool PlainLooseEquals(const Value& a, const Value& b, bool* out) {
    if (a.tag == ValueTag::Integer && b.tag == ValueTag::Integer) {
        *out = a.integer == b.integer;
        return true;
    }
    if (IsNullishTag(a.tag) || IsNullishTag(b.tag)) {
        *out = IsNullishTag(a.tag) && IsNullishTag(b.tag);
        return true;
    }
    return false;
}

}  // namespace kelpo
