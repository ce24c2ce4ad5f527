// Registration tables with the projector's script objects: the core and
// system libraries with the player's objects (FlashPlayer, MovieClip), and
// on Windows the whole projector library (with Application and the host
// global functions).
#pragma once

#include "runtime/registration.h"

namespace kelpo {

extern const RegistrationStep kPlayerLibrary[];
#ifdef _WIN32
extern const RegistrationStep kProjectorLibrary[];
#endif

}  // namespace kelpo
