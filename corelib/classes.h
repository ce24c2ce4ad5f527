// Registration of the core language classes, in the order RegisterBuiltins
// calls them.
#pragma once

#include "runtime/context.h"

namespace kelpo {

void RegisterRegExpClass(ScriptContext* context);    // RegExp
void RegisterArrayClass(ScriptContext* context);     // Array; classForTag 6
void RegisterFunctionClass(ScriptContext* context);  // Function; classForTag 12
void RegisterStringClass(ScriptContext* context);    // String; classForTag 4
void RegisterObjectClass(ScriptContext* context);    // Object; classForTag 7

}  // namespace kelpo
