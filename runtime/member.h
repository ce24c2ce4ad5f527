// Member access on any value: reads, writes, deletes and the iteration step.
//
// Objects answer from their slots and prototype chain; natives ask their
// class first and then fall back to their own property object (or the class
// prototype); strings, arrays and functions ask the class that serves their
// tag and then their own property object. Misuse never raises: it writes a
// warning to the trace output and gives a defined result.
#pragma once

#include <cstdint>

#include "runtime/context.h"

namespace kelpo {

// 1 with the member's value, 0 when the member does not exist. The stack
// pointer and code position, when given, are saved into the context before
// any native callback runs so that diagnostics see where the script stands.
int GetMember(ScriptContext* context, const Value& target, Atom atom, Value* out,
              Value* stackPointer = nullptr, const uint32_t* code = nullptr);

// Assigns only when the member already exists (1), else changes nothing (0).
int SetMemberIfPresent(ScriptContext* context, const Value& target, Atom atom, const Value& value,
                       Value* stackPointer = nullptr, const uint32_t* code = nullptr);

// The interpreter's member rules, warnings included.
Value ReadMember(ScriptContext* context, const Value& target, Atom atom);
void WriteMember(ScriptContext* context, const Value& target, Atom atom, const Value& value);
Value ReadElement(ScriptContext* context, const Value& target, const Value& key);
void WriteElement(ScriptContext* context, const Value& target, const Value& key,
                  const Value& value);
void DeleteMember(ScriptContext* context, const Value& target, Atom atom);
void DeleteElementOf(ScriptContext* context, const Value& target, const Value& key);

// One step of a loop over a value: the i-th item and whether it existed.
bool IterationStep(ScriptContext* context, const Value& target, int64_t i, Value* item);

// The own property object of a String, Array or Function value (creating
// it, with the class prototype as __proto__, when `create` is set).
ScriptObject* OwnPropertyObject(ScriptContext* context, const Value& value, bool create);

}  // namespace kelpo
