// The libraries of the command line: the core library with the system and
// network libraries (and the media library as it arrives), at their places
// in the fixed order, and processMsg in place of the projector's message
// pump. The table lives with the tool because it is the one program that
// links every library without the projector; the projector makes its own
// (hostobjects/player_library.h).
#pragma once

#include "runtime/registration.h"

namespace kelpo {

extern const RegistrationStep kLibraries[];

// Makes every context created from now on register these libraries.
inline void InstallLibraries() { SetDefaultRegistration(kLibraries); }

}  // namespace kelpo
