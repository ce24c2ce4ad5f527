// Conversions between value kinds.
//
// Integers (64-bit) and Floats (doubles) are distinct number kinds and NaN is
// a tag of its own. The conversions that call script code (ToPrimitive and,
// through it, ToNumber and ToString of objects) may raise "Can't convert to
// primitive type"; ToObject raises "Can't convert to object".
#pragma once

#include <cstdint>

#include "runtime/context.h"

namespace kelpo {

// Hints of ToPrimitive: 4 asks for a string-like result, anything else for
// a number-like one (the runtime passes 3, and 0 from loose equality).
constexpr int kHintString = 4;
constexpr int kHintNumber = 3;
constexpr int kHintNone = 0;

int ToBoolean(ScriptContext* context, const Value& value);
// An Integer, a Float or NaN.
Value ToNumber(ScriptContext* context, const Value& value);
int32_t ToInt32(ScriptContext* context, const Value& value);
int64_t ToInt64(ScriptContext* context, const Value& value);
Value ToPrimitive(ScriptContext* context, const Value& value, int hint);
// Always a String.
Value ToString(ScriptContext* context, const Value& value);
Value ToObject(ScriptContext* context, const Value& value);

// Parses the integer prefix of NUL-terminated text (see the .cpp for the
// rules). Returns 0 when no digit was read, 1 with an Integer result, 2 when
// the integer overflowed and the result is the Float in *floatOut.
int ParseNumberText(ScriptContext* context, const char16_t* text, const char16_t** end, int radix,
                    double* floatOut, int64_t* integerOut);

// The standard decimal conversion: optional white space and sign, digits
// with an optional point, an optional exponent introduced by e, E, d or D.
// Returns false (and *end = text) when nothing was consumed.
bool ParseDecimalText(const char16_t* text, const char16_t** end, double* out);

// Texts of numbers: Integers in decimal, Floats through "%g".
Value IntegerToString(ScriptContext* context, int64_t value);
Value FloatToString(ScriptContext* context, double value);
// "%g" text of a double into a buffer of at least 32 bytes; returns length.
int FormatFloatG(double value, char* buffer, size_t size);

// The truncation of a double toward zero, reduced modulo 2^64 into the
// signed range when it does not fit; infinities and not-a-number give 0.
int64_t FloatToInt64Wrapped(double value);

// The elements 0 to length - 1 of an Array converted with ToString, holes as
// empty text, separated by the separator; an array met again inside its own
// elements gives empty text. Any other value gives the empty string.
Value JoinArray(ScriptContext* context, const Value& array, const char16_t* separator,
                uint32_t separatorLength);

// The typeof text of a value, as a static String.
Value TypeOf(ScriptContext* context, const Value& value);

// A static String over literal ASCII text that lives for the whole process.
Value StaticText(ScriptContext* context, const char16_t* text);

}  // namespace kelpo
