// The libraries of the command line: the core library with the system
// library (and the network and media libraries as they arrive), at their
// places in the fixed order. The kelpo command registers this; the
// projector adds its own objects (hostobjects/player_library.h).
#pragma once

#include "runtime/registration.h"

namespace kelpo {

extern const RegistrationStep kLibraries[];

// Makes every context created from now on register these libraries.
inline void InstallLibraries() { SetDefaultRegistration(kLibraries); }

}  // namespace kelpo
