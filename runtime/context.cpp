// Context lifecycle and plain context allocation.
#include "runtime/context.h"

#include <cstdlib>
#include <cstring>

#include "runtime/array_index.h"
#include "runtime/atoms.h"
#include "runtime/errors.h"
#include "runtime/gc.h"
#include "runtime/registration.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

struct DefaultEntries {
    InterpreterEntry interpreter = nullptr;
    FunctionNameAtFn functionNameAt = nullptr;
    SourceLineAtFn sourceLineAt = nullptr;
    SourceRunEntry runSource = nullptr;
};
DefaultEntries gEntries;

[[noreturn]] void OutOfMemory(ScriptContext* context) {
    SetErrorText(context, "Out of memory");
    RaiseError(context);
}

void FreeAtoms(ScriptContext* context) {
    for (AtomEntry*& bucket : context->atomBuckets) {
        AtomEntry* e = bucket;
        while (e != nullptr) {
            AtomEntry* next = e->next;
            ContextFree(e->name);
            ContextFree(e);
            e = next;
        }
        bucket = nullptr;
    }
}

void FreeKeywords(ScriptContext* context) {
    for (KeywordEntry*& bucket : context->keywordTable) {
        KeywordEntry* e = bucket;
        while (e != nullptr) {
            KeywordEntry* next = e->next;
            ContextFree(e->name);
            ContextFree(e);
            e = next;
        }
        bucket = nullptr;
    }
}

// String constants own their text outside the heap (the loader copies it);
// the collector never frees those buffers.
void FreeConstantTexts(ScriptContext* context) {
    for (uint32_t i = 0; i < context->constantCount; ++i) {
        Value& c = context->constants[i];
        if (c.tag == ValueTag::String && IsStaticString(c.string) && c.string->chars != nullptr) {
            ContextFree(c.string->chars);
            c.string->chars = nullptr;
        }
    }
}

}  // namespace

void SetDefaultInterpreterEntry(InterpreterEntry entry, FunctionNameAtFn functionNameAt,
                                SourceLineAtFn sourceLineAt) {
    gEntries.interpreter = entry;
    gEntries.functionNameAt = functionNameAt;
    gEntries.sourceLineAt = sourceLineAt;
}

void SetDefaultSourceRunEntry(SourceRunEntry entry) { gEntries.runSource = entry; }

void* ContextAlloc(ScriptContext* context, size_t size) {
    void* block = malloc(size == 0 ? 1 : size);
    if (block == nullptr && context != nullptr) OutOfMemory(context);
    return block;
}

void* ContextCalloc(ScriptContext* context, size_t count, size_t size) {
    if (count == 0 || size == 0) count = size = 1;
    void* block = calloc(count, size);
    if (block == nullptr && context != nullptr) OutOfMemory(context);
    return block;
}

void* ContextRealloc(ScriptContext* context, void* block, size_t size) {
    void* grown = realloc(block, size == 0 ? 1 : size);
    if (grown == nullptr && context != nullptr) OutOfMemory(context);
    return grown;
}

void ContextFree(void* block) { free(block); }

char* ContextStrDup(ScriptContext* context, const char* text) {
    size_t n = strlen(text) + 1;
    auto* copy = static_cast<char*>(ContextAlloc(context, n));
    if (copy != nullptr) memcpy(copy, text, n);
    return copy;
}

char16_t* ContextWcsDup(ScriptContext* context, const char16_t* text) {
    size_t n = 0;
    while (text[n] != 0) ++n;
    ++n;
    auto* copy = static_cast<char16_t*>(ContextAlloc(context, n * sizeof(char16_t)));
    if (copy != nullptr) memcpy(copy, text, n * sizeof(char16_t));
    return copy;
}

ScriptContext* NewContext(int stackSlots, int /*unused*/, void* userData, uint32_t optionBit) {
    auto* context = static_cast<ScriptContext*>(ContextCalloc(nullptr, 1, sizeof(ScriptContext)));
    if (context == nullptr) return nullptr;
    context->userData = userData;
    context->options = (optionBit & 1) | kWarnUndefinedVariableOption;
    context->engineCounter = 1;
    context->interpreter = gEntries.interpreter;
    context->functionNameAt = gEntries.functionNameAt;
    context->sourceLineAt = gEntries.sourceLineAt;
    context->runSource = gEntries.runSource;
    context->result = MakeUndefined();

    if (stackSlots < 16) stackSlots = 16;
    context->stackBase = static_cast<Value*>(ContextCalloc(nullptr, stackSlots, sizeof(Value)));
    if (context->stackBase == nullptr) {
        ContextFree(context);
        return nullptr;
    }
    context->stackSlots = stackSlots;
    context->stackPointer = context->stackBase + stackSlots - 1;
    context->heap.threshold = kGcDefaultThreshold;
    context->stackReserve = 0;

    bool registered = CatchRaise(context, [&] {
        context->atomProto = InternAtom(context, "__proto__");
        context->atomPrototype = InternAtom(context, "prototype");
        context->atomToSource = InternAtom(context, "toSource");
        context->atomToString = InternAtom(context, "toString");
        context->atomValueOf = InternAtom(context, "valueOf");
        RegisterBuiltins(context);
    });
    if (!registered) {
        DestroyContext(context);
        return nullptr;
    }
    return context;
}

void DestroyContext(ScriptContext* context) {
    if (context == nullptr) return;
    // Nothing is marked, so every block is finalized: native instances
    // release their resources, classes their data.
    // Constant texts first: the sweep reuses the records' first words.
    FreeConstantTexts(context);
    ReleaseAllArrayIndexes(context);
    SweepHeap(context);
    ContextFree(context->constants);
    FreeAtoms(context);
    ContextFree(context->atomValues);
    ContextFree(context->stackBase);
    FreeHeapChunks(context);
    ContextFree(context->codeRanges);
    UnwindErrorFramesTo(context, nullptr);
    FreeKeywords(context);
    free(context->longErrorText);
    ContextFree(context);
}

}  // namespace kelpo
