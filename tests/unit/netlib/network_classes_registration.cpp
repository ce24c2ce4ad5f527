// The Windows tests of the network library run their scripts with its
// classes registered after the core library.
#include "netlib/classes.h"
#include "runtime/registration.h"

namespace kelpo {
namespace {

void RegisterNetworkClasses(ScriptContext* context) {
    RegisterSocketClass(context);
    RegisterPConnClass(context);
    RegisterInetClass(context);
    RegisterIPConfigClass(context);
}

const bool kRegistered = (SetExtraRegistration(RegisterNetworkClasses), true);

}  // namespace
}  // namespace kelpo
