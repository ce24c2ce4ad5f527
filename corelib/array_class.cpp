// The Array class (being built).
#include "corelib/classes.h"

namespace kelpo {

void RegisterArrayClass(ScriptContext* /*context*/) {}

}  // namespace kelpo
