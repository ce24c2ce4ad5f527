// The whole library of the projector's engines, taken from the fixed order.
#include "corelib/classes.h"
#include "corelib/globals.h"
#include "corelib/registration.h"
#include "netlib/classes.h"
#include "syslib/classes.h"
#include "hostobjects/application_class.h"
#include "hostobjects/flash_player_classes.h"
#include "hostobjects/form_class.h"
#include "hostobjects/host_functions.h"
#include "hostobjects/player_library.h"

namespace kelpo {

#define KELPO_GROUP_Core KELPO_TAKE_STEP
#define KELPO_GROUP_System KELPO_TAKE_STEP
#define KELPO_GROUP_Network KELPO_TAKE_STEP
#define KELPO_GROUP_Console KELPO_SKIP_STEP
#define KELPO_GROUP_Player KELPO_TAKE_STEP
#define KELPO_GROUP_Projector KELPO_TAKE_STEP
const RegistrationStep kProjectorLibrary[] = {
#include "corelib/registration_order.def"
    {nullptr, nullptr}};

}  // namespace kelpo
