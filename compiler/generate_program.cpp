// Code generation for whole programs: one unit per function definition, in
// function-list order, then ".main".
#include <cstring>

#include "compiler/diagnostics.h"
#include "compiler/generator.h"
#include "compiler/opcodes.h"
#include "runtime/gc.h"

namespace kelpo {
namespace {

UnitInfo* NewUnit(ScriptContext* context, const char* codeName) {
    auto* unit = static_cast<UnitInfo*>(GcAlloc(context, sizeof(UnitInfo)));
    memset(unit, 0, sizeof *unit);
    unit->codeName = codeName;
    return unit;
}

// Unlinks `ins`, which follows `previous` (or starts the list).
void RemoveInstruction(CompileState* state, Instruction* previous, Instruction* ins) {
    if (previous == nullptr) {
        state->firstInstruction = ins->next;
    } else {
        previous->next = ins->next;
    }
    if (state->lastInstruction == ins) state->lastInstruction = previous;
}

// Builds the "arguments" object in local slot d: an Object holding the
// arguments by position, with "length" and "callee".
void EmitArgumentsObject(ScriptContext* context, CompileState* state, int line, int32_t d,
                         const char* codeName) {
    Instruction* loop = NewLabel(context, state);
    Instruction* done = NewLabel(context, state);
    EmitInstruction(context, state, OP_PUSH0, line);
    EmitName(context, state, OP_GETGLOBAL, line, "Object");
    EmitInstruction(context, state, OP_NEW, line);
    EmitInstruction(context, state, OP_SWAP, line);
    EmitInstruction(context, state, OP_SLIDE, line, 2);
    EmitInstruction(context, state, OP_SETLOCAL, line, d);
    EmitInstruction(context, state, OP_PUSH0, line);
    PlaceLabel(state, loop);
    EmitInstruction(context, state, OP_DUP, line);
    EmitInstruction(context, state, OP_GETARG, line, 1);
    EmitInstruction(context, state, OP_GE, line);
    EmitJump(context, state, OP_JTRUEB, line, done);
    EmitInstruction(context, state, OP_DUP, line);
    EmitInstruction(context, state, OP_DUP, line);
    EmitInstruction(context, state, OP_ADD2, line);
    EmitInstruction(context, state, OP_ARGAT, line);
    EmitInstruction(context, state, OP_SWAP, line);
    EmitInstruction(context, state, OP_GETLOCAL, line, d);
    EmitInstruction(context, state, OP_SWAP, line);
    EmitInstruction(context, state, OP_SETELEM, line);
    EmitInstruction(context, state, OP_INC1, line);
    EmitJump(context, state, OP_JMP, line, loop);
    PlaceLabel(state, done);
    EmitInstruction(context, state, OP_GETLOCAL, line, d);
    EmitName(context, state, OP_SETMEMBER, line, "length");
    EmitName(context, state, OP_GETGLOBAL, line, codeName);
    EmitInstruction(context, state, OP_GETLOCAL, line, d);
    EmitName(context, state, OP_SETMEMBER, line, "callee");
}

void GenerateFunction(ScriptContext* context, CompileState* state, SyntaxNode* node) {
    const char* codeName = FunctionCodeName(node);
    int line = node->line;
    bool usesArguments = FunctionUsesArguments(node) != 0;
    UnitInfo* unit = NewUnit(context, codeName);

    CompileScope* root = state->scope;
    PushScope(context, state);
    state->scope->unit = unit;
    int32_t parameters = 0;
    for (SyntaxNode* p = FunctionParameters(node); p != nullptr; p = p->next) {
        DeclareName(context, state, IdentifierName(p), ArgumentSlot, p->line, 2 + parameters);
        ++parameters;
    }
    if (parameters > kMaxCallArguments) CompileError(context, state, line, "too many parameters");

    EmitFunctionStart(context, state, line, codeName);
    EmitInstruction(context, state, OP_GETARG, line, 1);
    EmitInstruction(context, state, OP_ADD2, line);
    EmitInstruction(context, state, OP_ARGPAD, line, parameters + 2);
    // The local count is known once the body is generated.
    Instruction* beforeLocals = state->lastInstruction;
    Instruction* locals = EmitInstruction(context, state, OP_LOCALS, line, 0);
    if (usesArguments) {
        int32_t d = DeclareName(context, state, "arguments", LocalSlot, line);
        EmitArgumentsObject(context, state, line, d, codeName);
    }
    GenerateStatements(context, state, FunctionBody(node));
    int endLine = static_cast<int>(FunctionEndLine(node));
    EmitInstruction(context, state, OP_PUSHUNDEF, endLine);
    EmitInstruction(context, state, OP_RETURN, endLine);

    if (unit->slotsUsed > 0 || usesArguments) {
        locals->operand.integer = unit->slotsUsed;
        locals->stackEffect = unit->slotsUsed;
    } else {
        RemoveInstruction(state, beforeLocals, locals);
    }
    state->scope = root;
}

void GenerateMain(ScriptContext* context, CompileState* state) {
    UnitInfo* unit = NewUnit(context, ".main");
    state->scope->unit = unit;
    EmitFunctionStart(context, state, 0, ".main");
    Instruction* beforeLocals = state->lastInstruction;
    Instruction* locals = EmitInstruction(context, state, OP_LOCALS, 0, 0);
    GenerateStatements(context, state, state->main.first);

    // The value of a final expression statement is the result of the run.
    Instruction* last = state->lastInstruction;
    if (last != nullptr && last->opcode == OP_POP) {
        Instruction* previous = nullptr;
        for (Instruction* i = state->firstInstruction; i != last; i = i->next) previous = i;
        RemoveInstruction(state, previous, last);
    } else {
        EmitInstruction(context, state, OP_PUSHUNDEF, last != nullptr ? last->line : 0);
    }

    if (unit->slotsUsed > 0) {
        locals->operand.integer = unit->slotsUsed;
        locals->stackEffect = unit->slotsUsed;
    } else {
        RemoveInstruction(state, beforeLocals, locals);
    }
}

}  // namespace

void GenerateProgram(ScriptContext* context, CompileState* state) {
    // The empty root scope surrounds every unit; the root loop record is
    // always present.
    state->scope = nullptr;
    PushScope(context, state);
    state->loops = nullptr;
    PushLoop(context, state, nullptr, nullptr, nullptr, 0);
    if (state->labelCounter == 0) state->labelCounter = 1;
    for (SyntaxNode* f = state->functions.first; f != nullptr; f = f->next) {
        GenerateFunction(context, state, f);
    }
    GenerateMain(context, state);
}

}  // namespace kelpo
