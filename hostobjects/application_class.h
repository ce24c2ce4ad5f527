// Registration of the Application class (its place in the registration
// order is the host's Application step).
#pragma once

#include "runtime/context.h"

namespace kelpo {

void RegisterApplicationClass(ScriptContext* context);

}  // namespace kelpo
