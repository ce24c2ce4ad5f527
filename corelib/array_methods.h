// The Array class's methods, one function each, shared between the files
// that implement them and the class's dispatch table.
#pragma once

#include <cstdint>

#include "runtime/array.h"

namespace kelpo {

// Every method receives the Array value it runs on, its result preset to
// Undefined and the ArgList of the call.
using ArrayMethod = void (*)(ScriptContext* context, const Value& self, Value* out, Value* args);

void ConcatMethod(ScriptContext* context, const Value& self, Value* out, Value* args);
void JoinMethod(ScriptContext* context, const Value& self, Value* out, Value* args);
void PopMethod(ScriptContext* context, const Value& self, Value* out, Value* args);
void PushMethod(ScriptContext* context, const Value& self, Value* out, Value* args);
void ReverseMethod(ScriptContext* context, const Value& self, Value* out, Value* args);
void ShiftMethod(ScriptContext* context, const Value& self, Value* out, Value* args);
void SliceMethod(ScriptContext* context, const Value& self, Value* out, Value* args);
void SpliceMethod(ScriptContext* context, const Value& self, Value* out, Value* args);
void SortMethod(ScriptContext* context, const Value& self, Value* out, Value* args);
void UnshiftMethod(ScriptContext* context, const Value& self, Value* out, Value* args);

// Argument k when it is an Integer: its low 32 bits as a signed number.
inline bool IntegerArgument(const Value* args, int64_t k, int64_t* out) {
    if (args[0].integer < k || args[k].tag != ValueTag::Integer) return false;
    *out = static_cast<int32_t>(static_cast<uint32_t>(args[k].integer & 0xFFFFFFFF));
    return true;
}

// The low word of an array's length, which the range methods work with.
inline int64_t LowLength(const ScriptArray* array) {
    return static_cast<int64_t>(array->length & 0xFFFFFFFF);
}

}  // namespace kelpo
