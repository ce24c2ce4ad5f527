// The Function class (being built).
#include "corelib/classes.h"

namespace kelpo {

void RegisterFunctionClass(ScriptContext* /*context*/) {}

}  // namespace kelpo
