// Compile-time scopes and the loop stack.
#include <cstring>

#include "compiler/diagnostics.h"
#include "compiler/generator.h"
#include "runtime/atoms.h"
#include "runtime/gc.h"

namespace kelpo {
namespace {

uint32_t BucketOf(const char* name) { return NameHash(name, strlen(name)) % kScopeBuckets; }

}  // namespace

void PushScope(ScriptContext* context, CompileState* state) {
    auto* scope = static_cast<CompileScope*>(GcAlloc(context, sizeof(CompileScope)));
    memset(scope, 0, sizeof *scope);
    CompileScope* enclosing = state->scope;
    if (enclosing != nullptr) {
        // Block scopes continue the numbering; their slots are reused after.
        scope->nextSlot = enclosing->nextSlot;
        scope->unit = enclosing->unit;
    }
    scope->enclosing = enclosing;
    state->scope = scope;
}

void PopScope(CompileState* state) {
    if (state->scope != nullptr) state->scope = state->scope->enclosing;
}

int32_t DeclareName(ScriptContext* context, CompileState* state, const char* name, int32_t kind,
                    int32_t line, int32_t argumentSlot) {
    CompileScope* scope = state->scope;
    uint32_t bucket = BucketOf(name);
    ScopeEntry* entry = nullptr;
    for (ScopeEntry* e = scope->buckets[bucket]; e != nullptr; e = e->next) {
        if (strcmp(e->name, name) == 0) {
            entry = e;
            break;
        }
    }
    if (entry != nullptr && entry->kind == kind) return entry->slot;
    if (entry == nullptr) {
        entry = static_cast<ScopeEntry*>(GcAlloc(context, sizeof(ScopeEntry)));
        memset(entry, 0, sizeof *entry);
        entry->name = name;
        entry->next = scope->buckets[bucket];
        scope->buckets[bucket] = entry;
    }
    // New, or redeclared with the other kind: kind, slot and line change.
    entry->kind = kind;
    entry->line = line;
    entry->slot = kind == LocalSlot ? scope->nextSlot++ : argumentSlot;
    if (kind == LocalSlot && scope->unit != nullptr) {
        if (entry->slot >= kMaxLocalSlots) {
            CompileError(context, state, line, "too many local variables");
        }
        if (entry->slot + 1 > scope->unit->slotsUsed) scope->unit->slotsUsed = entry->slot + 1;
    }
    return entry->slot;
}

ScopeEntry* LookupName(CompileState* state, const char* name) {
    uint32_t bucket = BucketOf(name);
    for (CompileScope* scope = state->scope; scope != nullptr; scope = scope->enclosing) {
        for (ScopeEntry* e = scope->buckets[bucket]; e != nullptr; e = e->next) {
            if (strcmp(e->name, name) == 0) {
                e->uses++;
                return e;
            }
        }
    }
    return nullptr;
}

LoopRecord* PushLoop(ScriptContext* context, CompileState* state, Instruction* breakLabel,
                     Instruction* continueLabel, const char* labelName, int32_t held) {
    auto* loop = static_cast<LoopRecord*>(GcAlloc(context, sizeof(LoopRecord)));
    memset(loop, 0, sizeof *loop);
    loop->breakLabel = breakLabel;
    loop->continueLabel = continueLabel;
    loop->labelName = labelName;
    loop->held = held;
    loop->next = state->loops;
    state->loops = loop;
    return loop;
}

void PopLoop(CompileState* state) {
    if (state->loops != nullptr && state->loops->next != nullptr) state->loops = state->loops->next;
}

}  // namespace kelpo
