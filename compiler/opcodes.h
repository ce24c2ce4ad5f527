// The instruction set of the stack machine: one table, read by the code
// generator, the optimizer, the image writer and loader, the interpreter's
// decoding and the disassembler.
#pragma once

#include <cstdint>

namespace kelpo {

enum Opcode : uint8_t {
    OP_WITHCALL = 33,
    OP_WITHGET = 34,
    OP_ADD2 = 35,
    OP_INC1 = 36,
    OP_JTRUEB = 37,
    OP_JFALSEB = 38,
    OP_THROW = 39,
    OP_LEAVETRY = 40,
    OP_TRY = 41,
    OP_LEAVEWITH = 42,
    OP_WITH = 43,
    OP_ARGAT = 44,
    OP_ARGPAD = 45,
    OP_LOCALS = 46,
    OP_DELELEM = 47,
    OP_DELMEMBER = 48,
    OP_NEW = 49,
    OP_TYPEOF = 50,
    OP_RETURN = 51,
    OP_CALL = 52,
    OP_JMP = 53,
    OP_CALLMETHOD = 54,
    OP_JTRUE = 55,
    OP_JFALSE = 56,
    OP_USHR = 57,
    OP_SHR = 58,
    OP_SHL = 59,
    OP_BITXOR = 60,
    OP_BITOR = 61,
    OP_NOT = 62,
    OP_BITAND = 63,
    OP_NEG = 64,
    OP_MOD = 65,
    OP_DIV = 66,
    OP_MUL = 67,
    OP_ADD = 68,
    OP_SUB = 69,
    OP_STRICTNE = 70,
    OP_STRICTEQ = 71,
    OP_GE = 72,
    OP_LE = 73,
    OP_GT = 74,
    OP_LT = 75,
    OP_NE = 76,
    OP_EQ = 77,
    OP_FORINSTEP = 78,
    OP_SETELEM = 79,
    OP_GETELEM = 80,
    OP_SETMEMBER = 81,
    OP_GETMEMBER = 82,
    OP_SETLOCAL = 83,
    OP_GETLOCAL = 84,
    OP_SETARG = 85,
    OP_GETARG = 86,
    OP_SETGLOBAL = 87,
    OP_GETGLOBAL = 88,
    OP_PUSHINT = 89,
    OP_PUSH3 = 90,
    OP_PUSH2 = 91,
    OP_PUSH1 = 92,
    OP_PUSH0 = 93,
    OP_PUSHUNDEF = 94,
    OP_PUSHFALSE = 95,
    OP_PUSHTRUE = 96,
    OP_PUSHNULL = 97,
    OP_PUSHCONST = 98,
    OP_ROT = 99,
    OP_SWAP = 100,
    OP_SLIDE = 101,
    OP_POPN = 102,
    OP_POP = 103,
    OP_DUP = 104,
    OP_NOP = 105,
    OP_END = 106,
    OP_HALT = 107,
    OP_WITHSET = 108,
    OP_WITHDELETE = 109,
    OP_DELGLOBAL = 110,
    OP_DELLOCAL = 111,
    OP_DELARG = 112,
};

constexpr int kFirstOpcode = 33;
constexpr int kLastOpcode = 112;

// What an instruction's operand is.
enum class OperandKind : uint8_t {
    None,
    Name,      // name32: constant-pool index of a name
    Constant,  // const32: constant-pool index of a constant
    Jump,      // rel32: byte displacement from the end of the instruction
    Signed8,   // s8 (ROT)
    Unsigned8, // u8 counts and argument slots
    Unsigned16,// u16 local slots and counts
    Signed32,  // s32 immediate (PUSHINT)
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

inline bool IsJumpOpcode(int op) {
    return op == OP_JTRUEB || op == OP_JFALSEB || op == OP_TRY || op == OP_JMP || op == OP_JTRUE ||
           op == OP_JFALSE;
}

}  // namespace kelpo
