// The core library's registration table, taken from the fixed order.
#include "corelib/core_library.h"

#include "corelib/classes.h"
#include "corelib/globals.h"
#include "corelib/registration.h"

namespace kelpo {

#define KELPO_GROUP_Core KELPO_TAKE_STEP
#define KELPO_GROUP_System KELPO_SKIP_STEP
#define KELPO_GROUP_Network KELPO_SKIP_STEP
#define KELPO_GROUP_Console KELPO_SKIP_STEP
#define KELPO_GROUP_Player KELPO_SKIP_STEP
#define KELPO_GROUP_Projector KELPO_SKIP_STEP
const RegistrationStep kCoreLibrary[] = {
#include "corelib/registration_order.def"
    {nullptr, nullptr}};

}  // namespace kelpo
