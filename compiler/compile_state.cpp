// Creating and preparing the state of one compilation.
#include "compiler/compile_state.h"

#include <cstring>

#include "runtime/gc.h"

namespace kelpo {

CompileState* NewCompileState(ScriptContext* context) {
    auto* state = static_cast<CompileState*>(GcAlloc(context, sizeof(CompileState)));
    memset(state, 0, sizeof *state);
    return state;
}

void PrepareCompileState(ScriptContext* context, CompileState* state, ScriptStream* source,
                         uint32_t options) {
    state->source = source;
    state->sourceName = source->name;
    state->options = options;
    state->typedJumps = 1;
    state->labelCounter = 1;
    state->messages = OpenScriptStream(context, nullptr, MemoryStream);
    InsertKeywords(context);
}

}  // namespace kelpo
