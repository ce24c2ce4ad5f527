// Stack-depth verification by abstract interpretation over word code.
#include "compiler/verifier.h"

#include <cstddef>
#include <cstdint>

#include "compiler/opcodes.h"

namespace kelpo {
namespace {

struct Effect {
    int32_t pops;
    int32_t pushes;
};

// Values an instruction takes from and leaves on the operand stack.
Effect EffectOf(int op, int32_t operand) {
    switch (op) {
        case OP_WITHCALL:
        case OP_NEW:
        case OP_CALL:
        case OP_CALLMETHOD: return {1, 2};
        case OP_WITHGET:
        case OP_GETLOCAL:
        case OP_GETARG:
        case OP_GETGLOBAL:
        case OP_PUSHINT:
        case OP_PUSH3:
        case OP_PUSH2:
        case OP_PUSH1:
        case OP_PUSH0:
        case OP_PUSHUNDEF:
        case OP_PUSHFALSE:
        case OP_PUSHTRUE:
        case OP_PUSHNULL:
        case OP_PUSHCONST: return {0, 1};
        case OP_ADD2:
        case OP_INC1:
        case OP_ARGAT:
        case OP_DELMEMBER:
        case OP_TYPEOF:
        case OP_NOT:
        case OP_NEG:
        case OP_GETMEMBER:
        case OP_WITHDELETE:
        case OP_DELGLOBAL:
        case OP_DELLOCAL:
        case OP_DELARG: return {1, 1};
        case OP_JTRUEB:
        case OP_JFALSEB:
        case OP_THROW:
        case OP_WITH:
        case OP_ARGPAD:
        case OP_RETURN:
        case OP_JTRUE:
        case OP_JFALSE:
        case OP_SETLOCAL:
        case OP_SETARG:
        case OP_SETGLOBAL:
        case OP_POP:
        case OP_END:
        case OP_WITHSET: return {1, 0};
        case OP_LOCALS: return {0, operand < 0 ? 0 : operand};
        case OP_DELELEM:
        case OP_GETELEM:
        case OP_USHR:
        case OP_SHR:
        case OP_SHL:
        case OP_BITXOR:
        case OP_BITOR:
        case OP_BITAND:
        case OP_MOD:
        case OP_DIV:
        case OP_MUL:
        case OP_ADD:
        case OP_SUB:
        case OP_STRICTNE:
        case OP_STRICTEQ:
        case OP_GE:
        case OP_LE:
        case OP_GT:
        case OP_LT:
        case OP_NE:
        case OP_EQ: return {2, 1};
        case OP_FORINSTEP:
        case OP_SWAP: return {2, 2};
        case OP_SETELEM: return {3, 0};
        case OP_SETMEMBER: return {2, 0};
        case OP_ROT: {
            int32_t n = operand < 0 ? -operand : operand;
            return n >= 2 ? Effect{n, n} : Effect{0, 0};
        }
        case OP_SLIDE: return {operand + 1, 1};
        case OP_POPN: return {operand, 0};
        case OP_DUP: return {1, 2};
        default: return {0, 0};  // LEAVETRY, TRY, LEAVEWITH, JMP, NOP
    }
}

bool EndsFlow(int op) { return op == OP_JMP || op == OP_RETURN || op == OP_THROW || op == OP_END; }

}  // namespace

bool VerifyUnitStack(const std::vector<uint32_t>& words) {
    // Paths may reach an instruction with different depths: a try statement
    // reaches its finally code with the rethrow flag alone or with the
    // exception under it, and only the flag's value tells which path goes
    // on. What must hold on every path is that nothing pops below the
    // frame's operand area, so each instruction keeps the least depth any
    // path brings; a deeper path is then safe too. Growth is the business of
    // the stack check the interpreter makes at every jump.
    const size_t n = words.size();
    std::vector<int32_t> leastDepth(n, INT32_MAX);
    std::vector<size_t> work;
    auto reach = [&](int64_t w, int64_t depth) {
        if (w < 0 || w >= static_cast<int64_t>(n) || depth > 0x100000) return false;
        if (depth < leastDepth[w]) {
            leastDepth[w] = static_cast<int32_t>(depth);
            work.push_back(static_cast<size_t>(w));
        }
        return true;
    };
    if (n == 0) return true;
    reach(0, 0);
    while (!work.empty()) {
        size_t w = work.back();
        work.pop_back();
        int op = static_cast<int>(words[w]);
        if (!IsOpcode(op) || op == OP_HALT) return false;
        bool hasOperand = OpcodeInfoOf(op).width != 0;
        if (hasOperand && w + 1 >= n) return false;
        int32_t operand = hasOperand ? static_cast<int32_t>(words[w + 1]) : 0;
        if ((op == OP_SLIDE || op == OP_POPN) && operand < 0) return false;
        Effect e = EffectOf(op, operand);
        int32_t depth = leastDepth[w];
        if (depth < e.pops) return false;  // would pop into the frame record
        int64_t after = int64_t{depth} - e.pops + e.pushes;
        int64_t next = static_cast<int64_t>(w) + (hasOperand ? 2 : 1);
        if (OpcodeInfoOf(op).operand == OperandKind::Jump) {
            // A handler starts with the raised value where the stack stood.
            int64_t targetDepth = op == OP_TRY ? depth + 1 : after;
            if (!reach(next + operand, targetDepth)) return false;
        }
        if (!EndsFlow(op) && !reach(next, after)) return false;
    }
    return true;
}

}  // namespace kelpo
