// The text of a run's result, as `kelpo eval` and the interactive mode
// print it.
#pragma once

#include <string>

#include "runtime/context.h"

namespace kelpo {

// Converts the context's `result` to text; false (the error in the
// context) when its toString raises.
bool ResultText(ScriptContext* context, std::string* text);

}  // namespace kelpo
