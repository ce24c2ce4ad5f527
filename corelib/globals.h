// The global values and functions registered first in every context: NaN,
// Infinity, parseInt, parseFloat, escape, unescape, isNaN, isFinite, trace.
#pragma once

#include "runtime/context.h"

namespace kelpo {

void RegisterGlobalFunctions(ScriptContext* context);

}  // namespace kelpo
