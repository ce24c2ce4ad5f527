// Building the instruction list.
#include "compiler/instructions.h"

#include <cstring>

#include "compiler/compile_state.h"
#include "compiler/opcodes.h"
#include "runtime/gc.h"

namespace kelpo {
namespace {

Instruction* NewRecord(ScriptContext* context, int opcode, int line) {
    auto* ins = static_cast<Instruction*>(GcAllocPacked(context, sizeof(Instruction)));
    memset(ins, 0, sizeof *ins);
    ins->opcode = opcode;
    ins->line = line;
    if (opcode != kFunctionStartRecord && opcode != kLabelRecord) {
        ins->size = 1 + OpcodeInfoOf(opcode).width;
    }
    return ins;
}

void Append(CompileState* state, Instruction* ins) {
    if (state->lastInstruction == nullptr) {
        state->firstInstruction = ins;
    } else {
        state->lastInstruction->next = ins;
    }
    state->lastInstruction = ins;
}

}  // namespace

Instruction* EmitInstruction(ScriptContext* context, CompileState* state, int opcode, int line,
                             int64_t operand) {
    Instruction* ins = NewRecord(context, opcode, line);
    if (OpcodeInfoOf(opcode).width != 0) ins->operandType = OperandType::Immediate;
    ins->operand.integer = operand;
    ins->stackEffect = StackEffectOf(opcode, operand);
    Append(state, ins);
    return ins;
}

Instruction* EmitName(ScriptContext* context, CompileState* state, int opcode, int line,
                      const char* name) {
    Instruction* ins = NewRecord(context, opcode, line);
    ins->operandType = OperandType::Text;
    ins->operand.text = name;
    ins->stackEffect = StackEffectOf(opcode, 0);
    Append(state, ins);
    return ins;
}

Instruction* EmitJump(ScriptContext* context, CompileState* state, int opcode, int line,
                      Instruction* label) {
    Instruction* ins = NewRecord(context, opcode, line);
    ins->operandType = OperandType::LabelRef;
    ins->operand.label = label;
    ins->stackEffect = StackEffectOf(opcode, 0);
    Append(state, ins);
    return ins;
}

namespace {

Instruction* EmitConst(ScriptContext* context, CompileState* state, int line, OperandType type) {
    Instruction* ins = NewRecord(context, 98 /* PUSHCONST */, line);
    ins->operandType = type;
    ins->stackEffect = 1;
    Append(state, ins);
    return ins;
}

}  // namespace

Instruction* EmitConstInteger(ScriptContext* context, CompileState* state, int line,
                              int64_t value) {
    Instruction* ins = EmitConst(context, state, line, OperandType::ConstInteger);
    ins->operand.integer = value;
    return ins;
}

Instruction* EmitConstFloat(ScriptContext* context, CompileState* state, int line, double value) {
    Instruction* ins = EmitConst(context, state, line, OperandType::ConstFloat);
    ins->operand.number = value;
    return ins;
}

Instruction* EmitConstString(ScriptContext* context, CompileState* state, int line,
                             const char* text) {
    Instruction* ins = EmitConst(context, state, line, OperandType::ConstString);
    ins->operand.text = text;
    return ins;
}

Instruction* EmitConstRegExp(ScriptContext* context, CompileState* state, int line,
                             const char* pattern, uint8_t flags) {
    Instruction* ins = EmitConst(context, state, line, OperandType::ConstRegExp);
    ins->operand.text = pattern;
    ins->regexpFlags = flags;
    return ins;
}

Instruction* EmitFunctionStart(ScriptContext* context, CompileState* state, int line,
                               const char* codeName) {
    Instruction* ins = NewRecord(context, kFunctionStartRecord, line);
    ins->operandType = OperandType::Text;
    ins->operand.text = codeName;
    Append(state, ins);
    return ins;
}

Instruction* NewLabel(ScriptContext* context, CompileState* state) {
    Instruction* label = NewRecord(context, kLabelRecord, 0);
    label->operandType = OperandType::Immediate;
    label->operand.integer = state->labelCounter++;
    return label;
}

void PlaceLabel(CompileState* state, Instruction* label) { Append(state, label); }

void AssignOffsets(ScriptContext* /*context*/, CompileState* state) {
    uint32_t offset = 0;
    for (Instruction* ins = state->firstInstruction; ins != nullptr; ins = ins->next) {
        ins->offset = offset;
        offset += static_cast<uint32_t>(ins->size);
    }
}

}  // namespace kelpo
