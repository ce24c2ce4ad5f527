// The opcode table.
#include "compiler/opcodes.h"

#include <cstring>

namespace kelpo {
namespace {

using K = OperandKind;

const OpcodeInfo kBlank = {"", K::None, 0, 0};

// Indexed by opcode - kFirstOpcode.
const OpcodeInfo kTable[kLastOpcode - kFirstOpcode + 1] = {
    {"WITHCALL", K::Name, 4, 1},        // 33: f -> t r
    {"WITHGET", K::Name, 4, 1},         // 34
    {"ADD2", K::None, 0, 0},            // 35
    {"INC1", K::None, 0, 0},            // 36
    {"JTRUEB", K::Jump, 4, -1},         // 37
    {"JFALSEB", K::Jump, 4, -1},        // 38
    {"THROW", K::None, 0, -1},          // 39
    {"LEAVETRY", K::Unsigned8, 1, 0},   // 40
    {"TRY", K::Jump, 4, 0},             // 41
    {"LEAVEWITH", K::Unsigned8, 1, 0},  // 42
    {"WITH", K::None, 0, -1},           // 43
    {"ARGAT", K::None, 0, 0},           // 44
    {"ARGPAD", K::Unsigned8, 1, -1},    // 45
    {"LOCALS", K::Unsigned16, 2, 0},    // 46: pushes n
    {"DELELEM", K::None, 0, -1},        // 47
    {"DELMEMBER", K::Name, 4, 0},       // 48
    {"NEW", K::None, 0, 1},             // 49: f -> t r
    {"TYPEOF", K::None, 0, 0},          // 50
    {"RETURN", K::None, 0, -1},         // 51
    {"CALL", K::None, 0, 1},            // 52: f -> t r
    {"JMP", K::Jump, 4, 0},             // 53
    {"CALLMETHOD", K::Name, 4, 1},      // 54: o -> o r
    {"JTRUE", K::Jump, 4, -1},          // 55
    {"JFALSE", K::Jump, 4, -1},         // 56
    {"USHR", K::None, 0, -1},           // 57
    {"SHR", K::None, 0, -1},            // 58
    {"SHL", K::None, 0, -1},            // 59
    {"BITXOR", K::None, 0, -1},         // 60
    {"BITOR", K::None, 0, -1},          // 61
    {"NOT", K::None, 0, 0},             // 62
    {"BITAND", K::None, 0, -1},         // 63
    {"NEG", K::None, 0, 0},             // 64
    {"MOD", K::None, 0, -1},            // 65
    {"DIV", K::None, 0, -1},            // 66
    {"MUL", K::None, 0, -1},            // 67
    {"ADD", K::None, 0, -1},            // 68
    {"SUB", K::None, 0, -1},            // 69
    {"STRICTNE", K::None, 0, -1},       // 70
    {"STRICTEQ", K::None, 0, -1},       // 71
    {"GE", K::None, 0, -1},             // 72
    {"LE", K::None, 0, -1},             // 73
    {"GT", K::None, 0, -1},             // 74
    {"LT", K::None, 0, -1},             // 75
    {"NE", K::None, 0, -1},             // 76
    {"EQ", K::None, 0, -1},             // 77
    {"FORINSTEP", K::None, 0, 0},       // 78: o i -> item more
    {"SETELEM", K::None, 0, -3},        // 79
    {"GETELEM", K::None, 0, -1},        // 80
    {"SETMEMBER", K::Name, 4, -2},      // 81
    {"GETMEMBER", K::Name, 4, 0},       // 82
    {"SETLOCAL", K::Unsigned16, 2, -1}, // 83
    {"GETLOCAL", K::Unsigned16, 2, 1},  // 84
    {"SETARG", K::Unsigned8, 1, -1},    // 85
    {"GETARG", K::Unsigned8, 1, 1},     // 86
    {"SETGLOBAL", K::Name, 4, -1},      // 87
    {"GETGLOBAL", K::Name, 4, 1},       // 88
    {"PUSHINT", K::Signed32, 4, 1},     // 89
    {"PUSH3", K::None, 0, 1},           // 90
    {"PUSH2", K::None, 0, 1},           // 91
    {"PUSH1", K::None, 0, 1},           // 92
    {"PUSH0", K::None, 0, 1},           // 93
    {"PUSHUNDEF", K::None, 0, 1},       // 94
    {"PUSHFALSE", K::None, 0, 1},       // 95
    {"PUSHTRUE", K::None, 0, 1},        // 96
    {"PUSHNULL", K::None, 0, 1},        // 97
    {"PUSHCONST", K::Constant, 4, 1},   // 98
    {"ROT", K::Signed8, 1, 0},          // 99
    {"SWAP", K::None, 0, 0},            // 100
    {"SLIDE", K::Unsigned8, 1, 0},      // 101: pops n
    {"POPN", K::Unsigned8, 1, 0},       // 102: pops n
    {"POP", K::None, 0, -1},            // 103
    {"DUP", K::None, 0, 1},             // 104
    {"NOP", K::None, 0, 0},             // 105
    {"END", K::None, 0, -1},            // 106
    {"HALT", K::None, 0, 0},            // 107
    {"WITHSET", K::Name, 4, -1},        // 108
    {"WITHDELETE", K::Name, 4, 0},      // 109
    {"DELGLOBAL", K::Name, 4, 0},       // 110
    {"DELLOCAL", K::Unsigned16, 2, 0},  // 111
    {"DELARG", K::Unsigned8, 1, 0},     // 112
};

}  // namespace

bool IsOpcode(int op) { return op >= kFirstOpcode && op <= kLastOpcode; }

const OpcodeInfo& OpcodeInfoOf(int op) {
    return IsOpcode(op) ? kTable[op - kFirstOpcode] : kBlank;
}

int OpcodeByName(const char* name) {
    for (int op = kFirstOpcode; op <= kLastOpcode; ++op) {
        if (strcmp(kTable[op - kFirstOpcode].name, name) == 0) return op;
    }
    return -1;
}

int StackEffectOf(int op, int64_t operand) {
    switch (op) {
        case OP_LOCALS: return static_cast<int>(operand);
        case OP_SLIDE:
        case OP_POPN: return -static_cast<int>(operand);
        default: return OpcodeInfoOf(op).stackEffect;
    }
}

}  // namespace kelpo
