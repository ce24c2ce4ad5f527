// The command line's registration table, taken from the fixed order.
#include "tools/kelpo/command_line_library.h"

#include "corelib/classes.h"
#include "corelib/globals.h"
#include "corelib/registration.h"
#include "syslib/classes.h"
#ifdef _WIN32
#include "netlib/classes.h"
#include "syslib/message_pump_win32.h"
#endif

namespace kelpo {

#define KELPO_GROUP_Core KELPO_TAKE_STEP
#define KELPO_GROUP_System KELPO_TAKE_STEP
#define KELPO_GROUP_Network KELPO_TAKE_STEP
#define KELPO_GROUP_Console KELPO_TAKE_STEP
#define KELPO_GROUP_Player KELPO_SKIP_STEP
#define KELPO_GROUP_Projector KELPO_SKIP_STEP
const RegistrationStep kLibraries[] = {
#include "corelib/registration_order.def"
    {nullptr, nullptr}};

}  // namespace kelpo
