// The core library with the player's script objects, taken from the fixed
// order.
#include "hostobjects/player_library.h"

#include "corelib/classes.h"
#include "corelib/globals.h"
#include "corelib/registration.h"
#include "syslib/classes.h"
#include "hostobjects/flash_player_classes.h"

namespace kelpo {

#define KELPO_GROUP_Core KELPO_TAKE_STEP
#define KELPO_GROUP_System KELPO_TAKE_STEP
#define KELPO_GROUP_Network KELPO_SKIP_STEP
#define KELPO_GROUP_Console KELPO_SKIP_STEP
#define KELPO_GROUP_Player KELPO_TAKE_STEP
#define KELPO_GROUP_Projector KELPO_SKIP_STEP
const RegistrationStep kPlayerLibrary[] = {
#include "corelib/registration_order.def"
    {nullptr, nullptr}};

}  // namespace kelpo
