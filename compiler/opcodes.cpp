// The opcode table.
#include "compiler/opcodes.h"

#include <cstring>

namespace kelpo {
namespace {

using K = OperandKind;

const OpcodeInfo kBlank = {"", K::None, 0, 0};

// Indexed by opcode - kFirstOpcode: the list is in number order.
const OpcodeInfo kTable[] = {
#define KELPO_TABLE_ENTRY(name, number, operand, width, effect) {#name, K::operand, width, effect},
    KELPO_OPCODES(KELPO_TABLE_ENTRY)
#undef KELPO_TABLE_ENTRY
};

#define KELPO_LISTED_NUMBER(name, number, ...) number,
constexpr int kListedNumbers[] = {KELPO_OPCODES(KELPO_LISTED_NUMBER)};
#undef KELPO_LISTED_NUMBER

// The table's indexing and IsOpcode rely on this.
constexpr bool ListedInNumberOrderWithoutGaps() {
    int expected = kFirstOpcode;
    for (int number : kListedNumbers) {
        if (number != expected++) return false;
    }
    return expected == kLastOpcode + 1;
}
static_assert(ListedInNumberOrderWithoutGaps(), "opcode_list.h: opcodes out of order or missing");

}  // namespace

bool IsOpcode(int op) { return op >= kFirstOpcode && op <= kLastOpcode; }

const OpcodeInfo& OpcodeInfoOf(int op) { return IsOpcode(op) ? kTable[op - kFirstOpcode] : kBlank; }

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
