// Compiled function records.
#include "compiler/compiled_function.h"

namespace kelpo {
namespace {

void DestroyCompiledFunction(void* block) {
    auto* f = static_cast<CompiledFunction*>(block);
    if (f->context != nullptr && f->words != nullptr) GcUnregisterCode(f->context, f);
    ContextFree(f->name);
    ContextFree(f->words);
    ContextFree(f->sourceName);
    ContextFree(f->lines);
    f->name = nullptr;
    f->words = nullptr;
    f->sourceName = nullptr;
    f->lines = nullptr;
}

}  // namespace

CompiledFunction* NewCompiledFunction(ScriptContext* context) {
    auto* f = static_cast<CompiledFunction*>(GcAllocFinalized(context, sizeof(CompiledFunction)));
    f->destroy = DestroyCompiledFunction;
    return f;
}

void RegisterCompiledFunction(ScriptContext* context, CompiledFunction* function) {
    function->context = context;
    GcRegisterCode(context, function->words, function->words + function->wordCount, function);
}

CompiledFunction* FindCompiledFunction(ScriptContext* context, const uint32_t* position) {
    return static_cast<CompiledFunction*>(GcFindCode(context, position));
}

}  // namespace kelpo
