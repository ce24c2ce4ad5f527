// The command line's registration table, taken from the fixed order.
#include "syslib/libraries.h"

#include "corelib/classes.h"
#include "corelib/globals.h"
#include "corelib/registration.h"
#include "syslib/classes.h"

namespace kelpo {

#define KELPO_GROUP_Core KELPO_TAKE_STEP
#define KELPO_GROUP_System KELPO_TAKE_STEP
#define KELPO_GROUP_Player KELPO_SKIP_STEP
#define KELPO_GROUP_Projector KELPO_SKIP_STEP
const RegistrationStep kLibraries[] = {
#include "corelib/registration_order.def"
    {nullptr, nullptr}};

}  // namespace kelpo
