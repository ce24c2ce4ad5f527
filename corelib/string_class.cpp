// The String class (being built).
#include "corelib/classes.h"

namespace kelpo {

void RegisterStringClass(ScriptContext* /*context*/) {}

}  // namespace kelpo
