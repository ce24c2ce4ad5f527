// Calling values: the host-side entry points and the dispatch rules the
// interpreter follows for X(...), new X(...) and a.name(...).
#pragma once

#include "runtime/context.h"

namespace kelpo {

// Host entry points. Each resets `result` and `errorText`, runs inside an
// error frame, restores the stack pointer and returns 1 on success, 0 when
// nothing could be called or a runtime error was raised (text in errorText).
// `count` is the number of Values in `args` including element 0.
int CallFunction(ScriptContext* context, const char* globalName, const Value* function, int count,
                 Value* args);
int CallValue(ScriptContext* context, const Value* thisValue, const Value* function, int count,
              Value* args);
int CallMethod(ScriptContext* context, const Value* target, const char* methodName, int count,
               Value* args);

// What a method lookup found for a.name(...).
enum class MethodKind {
    Answered,  // a native answered; the result is in *out
    Script,    // *function is a Function to run with the target as receiver
    Missing,   // nothing handles the name
};
MethodKind FindMethod(ScriptContext* context, const Value& target, Atom method, Value* args,
                      Value* out, Value* function);

// X(...) on a Native: true when its class has `call` (the result in *out).
bool CallNative(ScriptContext* context, const Value& callee, Value* args, Value* out);

// new X(...) for non-Function callees: true when a class constructed
// something (the value in *out). Functions are constructed by the
// interpreter with NewInstanceOf.
bool ConstructNative(ScriptContext* context, const Value& callee, Value* args, Value* out);

// The object a Function constructs: its __proto__ is the function's own
// property object (created on demand with the Object prototype).
Value NewInstanceOf(ScriptContext* context, const Value& function);

// The interpreter's entry, through the context (raises like any operation).
void RunFunction(ScriptContext* context, const Value* receiver, const Value& function, int count,
                 Value* args);

}  // namespace kelpo
