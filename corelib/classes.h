// Registration of the core language classes, in the order of
// registration_order.def.
#pragma once

#include "runtime/context.h"

namespace kelpo {

void RegisterDateClass(ScriptContext* context);      // Date
void RegisterMathObject(ScriptContext* context);     // Math
void RegisterRegExpClass(ScriptContext* context);    // RegExp
void RegisterArrayClass(ScriptContext* context);     // Array; classForTag 6
void RegisterBooleanClass(ScriptContext* context);   // Boolean; classForTag 2
void RegisterFunctionClass(ScriptContext* context);  // Function; classForTag 12
void RegisterNumberClass(ScriptContext* context);    // Number; classForTag 3, 5, 13
void RegisterStringClass(ScriptContext* context);    // String; classForTag 4
void RegisterObjectClass(ScriptContext* context);    // Object; classForTag 7
void RegisterUriFunctions(ScriptContext* context);   // decodeURI, encodeURI, ...Component
void RegisterDataFileClass(ScriptContext* context);  // DataFile

}  // namespace kelpo
