// The core library as a registration table: the language's own classes and
// global functions at their places in the fixed order.
#pragma once

#include "runtime/registration.h"

namespace kelpo {

extern const RegistrationStep kCoreLibrary[];

// Makes every context created from now on register the core library.
inline void InstallCoreLibrary() { SetDefaultRegistration(kCoreLibrary); }

}  // namespace kelpo
