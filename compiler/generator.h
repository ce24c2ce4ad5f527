// The code generator: syntax trees to instruction lists.
//
// Every function definition becomes a code unit of its own, generated before
// ".main" in function-list order. Parameters and locals live in numbered
// frame slots resolved here; everything else is resolved by name at run time.
// There are no closures: a nested function sees only its own parameters and
// locals and the globals.
#pragma once

#include <cstdint>

#include "compiler/compile_state.h"
#include "compiler/instructions.h"
#include "compiler/syntax_tree.h"

namespace kelpo {

// Every function and block opens a scope, and most hold a handful of
// names: a small table keeps a scope within one small heap block.
constexpr int kScopeBuckets = 13;

enum SlotKind : int32_t {
    ArgumentSlot = 1,
    LocalSlot = 2,
};

struct ScopeEntry {
    const char* name;
    int32_t kind;  // SlotKind
    int32_t slot;
    int32_t line;
    int32_t uses;
    ScopeEntry* next;
};

// What the whole code unit being generated shares across its scopes.
struct UnitInfo {
    const char* codeName;
    int32_t slotsUsed;    // highest local slot used + 1
    int32_t withNesting;  // "with" bodies around the code being generated
};

struct CompileScope {
    int32_t nextSlot;
    ScopeEntry* buckets[kScopeBuckets];
    CompileScope* enclosing;
    UnitInfo* unit;
};

struct LoopRecord {
    Instruction* breakLabel;
    Instruction* continueLabel;
    const char* labelName;
    int32_t held;  // values this construct keeps on the operand stack
    int32_t withDepth;
    int32_t tryDepth;
    LoopRecord* next;
};

// Scopes.
void PushScope(ScriptContext* context, CompileState* state);
void PopScope(CompileState* state);
// Declares a name in the innermost scope and returns its slot: locals take
// the scope's next slot, arguments the slot given.
int32_t DeclareName(ScriptContext* context, CompileState* state, const char* name, int32_t kind,
                    int32_t line, int32_t argumentSlot = 0);
// Looks a name up from the innermost scope outward (counting a use).
ScopeEntry* LookupName(CompileState* state, const char* name);

// Loop stack.
LoopRecord* PushLoop(ScriptContext* context, CompileState* state, Instruction* breakLabel,
                     Instruction* continueLabel, const char* labelName, int32_t held);
void PopLoop(CompileState* state);

// Entry points.
void GenerateProgram(ScriptContext* context, CompileState* state);
void GenerateNode(ScriptContext* context, CompileState* state, SyntaxNode* node);
void GenerateStatements(ScriptContext* context, CompileState* state, SyntaxNode* list);
// An expression that leaves exactly one value.
void GenerateExpression(ScriptContext* context, CompileState* state, SyntaxNode* node);

// Jumps on a condition already on the stack, chosen by its static type.
void EmitCondJump(ScriptContext* context, CompileState* state, SyntaxNode* condition, bool onTrue,
                  Instruction* label);
// PUSH0..PUSH3 or PUSHINT.
void EmitSmallInteger(ScriptContext* context, CompileState* state, int line, int64_t value);

// Variable access by the resolution rules (slot, "with" name, global).
void EmitLoadName(ScriptContext* context, CompileState* state, const char* name, int line);
void EmitStoreName(ScriptContext* context, CompileState* state, const char* name, int line);

// Limits of the one-byte operands that carry counts and slot numbers.
constexpr int kMaxCallArguments = 125;
constexpr int kMaxLocalSlots = 32767;

}  // namespace kelpo
