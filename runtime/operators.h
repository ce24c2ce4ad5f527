// The language's operators on values.
//
// Integer arithmetic stays 64-bit and wraps; any Float operand makes a Float
// result; division always gives a Float; a NaN operand gives NaN unless an
// operator says otherwise. Operands that are not numbers convert with
// ToNumber (which may call script code through valueOf and toString).
#pragma once

#include "runtime/context.h"

namespace kelpo {

Value OpAdd(ScriptContext* context, const Value& a, const Value& b);
Value OpSub(ScriptContext* context, const Value& a, const Value& b);
Value OpMul(ScriptContext* context, const Value& a, const Value& b);
Value OpDiv(ScriptContext* context, const Value& a, const Value& b);
Value OpMod(ScriptContext* context, const Value& a, const Value& b);
Value OpNeg(ScriptContext* context, const Value& a);

Value OpBitAnd(ScriptContext* context, const Value& a, const Value& b);
Value OpBitOr(ScriptContext* context, const Value& a, const Value& b);
Value OpBitXor(ScriptContext* context, const Value& a, const Value& b);
Value OpShiftLeft(ScriptContext* context, const Value& a, const Value& b);
Value OpShiftRight(ScriptContext* context, const Value& a, const Value& b);
Value OpShiftRightUnsigned(ScriptContext* context, const Value& a, const Value& b);

Value OpNot(ScriptContext* context, const Value& a);

// Relational operators; the result is always a Boolean.
Value OpLess(ScriptContext* context, const Value& a, const Value& b);
Value OpLessEqual(ScriptContext* context, const Value& a, const Value& b);
Value OpGreater(ScriptContext* context, const Value& a, const Value& b);
Value OpGreaterEqual(ScriptContext* context, const Value& a, const Value& b);

bool StrictEquals(const Value& a, const Value& b);
bool LooseEquals(ScriptContext* context, const Value& a, const Value& b);

}  // namespace kelpo
