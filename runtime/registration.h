// Registering the library into a new context.
//
// The runtime knows no classes: each program hands it the table of
// registration steps it links (the fixed order lives with the libraries, in
// corelib/registration_order.def), the way the compiler hands it the
// interpreter entry.
#pragma once

#include "runtime/context.h"

namespace kelpo {

using RegisterFn = void (*)(ScriptContext* context);

// One step of the fixed registration order.
struct RegistrationStep {
    const char* names;  // the globals the step binds, for diagnostics
    RegisterFn registerFn;
};

// The table contexts created from now on register, ended by a step with a
// null function; null registers nothing.
void SetDefaultRegistration(const RegistrationStep* steps);

// Runs every step of the default table in order. Raises on failure.
void RegisterBuiltins(ScriptContext* context);

// Extra registration run after the table (tests use it to inject classes);
// null by default.
void SetExtraRegistration(RegisterFn fn);

}  // namespace kelpo
