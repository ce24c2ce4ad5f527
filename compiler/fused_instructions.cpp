// The loader's pass that marks fusable instruction runs (see
// fused_instructions.h).
#include "compiler/fused_instructions.h"

#include "compiler/opcodes.h"

namespace kelpo {
namespace {

// Above every image opcode, and within the interpreter's 256 dispatch slots.
#define KELPO_FUSED_NUMBER_CHECK(name, number) \
    static_assert(number > kLastOpcode && number <= 0xFF, #name " is out of range");
KELPO_FUSED_OPCODES(KELPO_FUSED_NUMBER_CHECK)
#undef KELPO_FUSED_NUMBER_CHECK

bool IsOperandRead(uint32_t op) {
    return op == OP_GETLOCAL || op == OP_GETARG || op == OP_PUSHCONST || op == OP_PUSH0 ||
           op == OP_PUSH1 || op == OP_PUSH2 || op == OP_PUSH3;
}

bool IsFusableOperator(uint32_t op) {
    return op == OP_ADD || op == OP_SUB || op == OP_MUL || op == OP_MOD || op == OP_LT ||
           op == OP_GT || op == OP_LE || op == OP_GE;
}

uint32_t WordsOf(uint32_t op) { return OpcodeInfoOf(static_cast<int>(op)).width != 0 ? 2 : 1; }

}  // namespace

void FuseInstructions(uint32_t* words, uint32_t count) {
    for (uint32_t i = 0; i < count;) {
        uint32_t op = words[i];
        uint32_t next = i + WordsOf(op);
        if (op == OP_GETARG && next + 2 < count && words[i + 1] == 1 && words[next] == OP_ADD2 &&
            words[next + 1] == OP_ARGPAD) {
            words[i] = OP_FUSED_PROLOGUE;
        } else if ((op == OP_GETLOCAL || op == OP_GETARG) && next < count &&
                   IsOperandRead(words[next])) {
            uint32_t third = next + WordsOf(words[next]);
            if (third < count && IsFusableOperator(words[third])) {
                words[i] = op == OP_GETLOCAL ? OP_FUSED_LOCAL : OP_FUSED_ARG;
            }
        }
        i = next;
    }
}

}  // namespace kelpo
