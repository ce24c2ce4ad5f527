// Instruction records: the code generator's output, rewritten by the
// optimizer and written into an image by the assembler.
//
// One list per compilation, singly linked in emission order: each code unit
// starts with a function-start record; labels are records of their own that
// jumps refer to directly.
#pragma once

#include <cstdint>

#include "runtime/context.h"

namespace kelpo {

struct CompileState;

constexpr int32_t kFunctionStartRecord = 1000;
constexpr int32_t kLabelRecord = 1001;

enum class OperandType : uint8_t {
    None,
    Immediate,     // counts, slots, PUSHINT values
    Text,          // names; the code name of a function start
    LabelRef,      // jumps and TRY: the target label record
    ConstInteger,  // PUSHCONST constants
    ConstString,
    ConstFloat,
    ConstRegExp,  // text = pattern, regexpFlags
};

struct Instruction {
    int32_t opcode;  // 33..112, kFunctionStartRecord or kLabelRecord
    int32_t line;
    int32_t size;  // encoded bytes: 1 + operand width (0 for records)
    OperandType operandType;
    uint8_t regexpFlags;  // 1 g, 2 i, 4 m
    union {
        int64_t integer;  // immediates, Integer constants, label numbers
        double number;
        const char* text;
        Instruction* label;
    } operand;
    int32_t stackEffect;
    uint32_t offset;  // byte offset in the code section, after AssignOffsets
    Instruction* next;
};

// Appends an instruction with an immediate (or no) operand.
Instruction* EmitInstruction(ScriptContext* context, CompileState* state, int opcode, int line,
                             int64_t operand = 0);
// Appends an instruction whose operand is a name.
Instruction* EmitName(ScriptContext* context, CompileState* state, int opcode, int line,
                      const char* name);
// Appends a jump (or TRY) to a label.
Instruction* EmitJump(ScriptContext* context, CompileState* state, int opcode, int line,
                      Instruction* label);
// PUSHCONST of a constant.
Instruction* EmitConstInteger(ScriptContext* context, CompileState* state, int line, int64_t value);
Instruction* EmitConstFloat(ScriptContext* context, CompileState* state, int line, double value);
Instruction* EmitConstString(ScriptContext* context, CompileState* state, int line,
                             const char* text);
Instruction* EmitConstRegExp(ScriptContext* context, CompileState* state, int line,
                             const char* pattern, uint8_t flags);
// A function-start record.
Instruction* EmitFunctionStart(ScriptContext* context, CompileState* state, int line,
                               const char* codeName);

// A label record with the next label number, not yet appended.
Instruction* NewLabel(ScriptContext* context, CompileState* state);
// Appends a label record made by NewLabel.
void PlaceLabel(CompileState* state, Instruction* label);

// Running byte offset over the whole list.
void AssignOffsets(ScriptContext* context, CompileState* state);

}  // namespace kelpo
