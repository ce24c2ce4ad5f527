// Script function values: a compiled function record plus an optional object
// of the function's own properties (the shared members of what it constructs).
#pragma once

#include "runtime/context.h"

namespace kelpo {

struct ScriptFunction {
    CompiledFunction* code;  // collected compiled-function record
    ScriptObject* props;     // null until first needed
};

Value NewFunctionValue(ScriptContext* context, CompiledFunction* code);

}  // namespace kelpo
