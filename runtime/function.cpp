// Function values.
#include "runtime/function.h"

#include "runtime/gc.h"

namespace kelpo {

Value NewFunctionValue(ScriptContext* context, CompiledFunction* code) {
    auto* f = static_cast<ScriptFunction*>(GcAlloc(context, sizeof(ScriptFunction)));
    f->code = code;
    f->props = nullptr;
    Value v;
    v.tag = ValueTag::Function;
    v.bits = 0;
    v.function = f;
    return v;
}

}  // namespace kelpo
