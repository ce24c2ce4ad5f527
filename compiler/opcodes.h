// The instruction set of the stack machine (listed in opcode_list.h): one
// table, read by the code generator, the optimizer, the image writer and
// loader, the interpreter's decoding and the disassembler.
#pragma once

#include <algorithm>
#include <cstdint>

#include "compiler/opcode_list.h"

namespace kelpo {

enum Opcode : uint8_t {
#define KELPO_OPCODE_ENUMERATOR(name, number, ...) OP_##name = number,
    KELPO_OPCODES(KELPO_OPCODE_ENUMERATOR)
#undef KELPO_OPCODE_ENUMERATOR
};

#define KELPO_OPCODE_NUMBER(name, number, ...) number,
constexpr int kFirstOpcode = std::min({KELPO_OPCODES(KELPO_OPCODE_NUMBER)});
constexpr int kLastOpcode = std::max({KELPO_OPCODES(KELPO_OPCODE_NUMBER)});
#undef KELPO_OPCODE_NUMBER

// What an instruction's operand is.
enum class OperandKind : uint8_t {
    None,
    Name,        // name32: constant-pool index of a name
    Constant,    // const32: constant-pool index of a constant
    Jump,        // rel32: byte displacement from the end of the instruction
    Signed8,     // s8 (ROT)
    Unsigned8,   // u8 counts and argument slots
    Unsigned16,  // u16 local slots and counts
    Signed32,    // s32 immediate (PUSHINT)
};

struct OpcodeInfo {
    const char* name;
    OperandKind operand;
    uint8_t width;       // operand bytes in the image: 0, 1, 2 or 4
    int8_t stackEffect;  // pushed minus popped; variable ones (LOCALS, SLIDE, POPN) are 0 here
};

bool IsOpcode(int op);
// The table entry of an opcode (a blank entry for non-opcodes).
const OpcodeInfo& OpcodeInfoOf(int op);
// Opcode by name, or -1.
int OpcodeByName(const char* name);

// Stack effect of an instruction with its operand (LOCALS n pushes n,
// SLIDE n and POPN n pop n).
int StackEffectOf(int op, int64_t operand);

inline bool IsJumpOpcode(int op) { return OpcodeInfoOf(op).operand == OperandKind::Jump; }

}  // namespace kelpo
