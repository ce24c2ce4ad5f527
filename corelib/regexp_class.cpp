// The RegExp class (being built).
#include "corelib/classes.h"

namespace kelpo {

void RegisterRegExpClass(ScriptContext* /*context*/) {}

}  // namespace kelpo
