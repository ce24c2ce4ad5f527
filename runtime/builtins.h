// Registration of every class and global function into a new context.
#pragma once

#include "runtime/context.h"

namespace kelpo {

using RegisterFn = void (*)(ScriptContext* context);

// One step of the fixed registration order.
struct BuiltinRegistration {
    const char* what;  // the globals the step binds, for diagnostics
    RegisterFn registerFn;
};

// Runs every registration step in the fixed order. Raises on failure.
void RegisterBuiltins(ScriptContext* context);

// Extra registration run after the built-ins (tests use it to inject
// classes); null by default.
void SetExtraRegistration(RegisterFn fn);

}  // namespace kelpo
