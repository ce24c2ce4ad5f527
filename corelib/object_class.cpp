// The Object class (being built).
#include "corelib/classes.h"

namespace kelpo {

void RegisterObjectClass(ScriptContext* /*context*/) {}

}  // namespace kelpo
