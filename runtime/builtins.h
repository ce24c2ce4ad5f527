// Registration of every class and global function into a new context.
#pragma once

#include "runtime/context.h"

namespace kelpo {

using RegisterFn = void (*)(ScriptContext* context);

// One step of the fixed registration order.
struct BuiltinRegistration {
    const char* what;  // the globals the step binds, for diagnostics
    RegisterFn registerFn;
    int hostPosition = 0;  // > 0: a step the host fills (SetHostRegistration)
};

// Positions in the registration order of the classes the host supplies.
enum HostRegistrationStep {
    kHostStepCreateControl = 26,
    kHostStepFlashPlayer = 27,
    kHostStepMovieClip = 28,
    kHostStepHostFunctions = 29,  // getMainWnd ... invoke, before the URI functions
    kHostStepWindow = 30,
    kHostStepMenu = 38,
    kHostStepApplication = 39,
    kHostStepSplashWnd = 40,
    kHostStepForm = 51,
    kHostStepLimit = 52,
};

// Runs every registration step in the fixed order. Raises on failure.
void RegisterBuiltins(ScriptContext* context);

// Fills a host step of the registration order (null empties it); contexts
// created afterwards run it at its position.
void SetHostRegistration(int position, RegisterFn fn);

// Extra registration run after the built-ins (tests use it to inject
// classes); null by default.
void SetExtraRegistration(RegisterFn fn);

}  // namespace kelpo
