// The optimizer: a peephole pass, jump threading, dead stores into locals,
// and a cleanup of unused labels and unreachable code.
//
// Code offsets are only assigned after optimizing, so until then the passes
// keep per-label facts (a position in a unit, a count of uses) in the
// label's `offset`.
#include "compiler/optimizer.h"

#include <vector>

#include "compiler/compile_state.h"
#include "compiler/instructions.h"
#include "compiler/opcodes.h"

namespace kelpo {
namespace {

bool IsRecord(const Instruction* i) {
    return i->opcode == kFunctionStartRecord || i->opcode == kLabelRecord;
}

bool IsJump(const Instruction* i) { return i->operandType == OperandType::LabelRef; }

constexpr uint32_t kNoPosition = 0xFFFFFFFFu;

// Ends the walk that looks for the POP matching a DUP.
bool StopsDupWalk(const Instruction* i) {
    if (IsRecord(i) || IsJump(i)) return true;
    switch (i->opcode) {
        case OP_THROW:
        case OP_LEAVETRY:
        case OP_NEW:
        case OP_RETURN:
        case OP_CALL:
        case OP_CALLMETHOD:
        case OP_DUP: return true;
        default: return false;
    }
}

// Unlinks `victim`, the record after `previous` (null: the first record).
void Unlink(CompileState* state, Instruction* previous, Instruction* victim) {
    if (previous == nullptr) {
        state->firstInstruction = victim->next;
    } else {
        previous->next = victim->next;
    }
    if (state->lastInstruction == victim) state->lastInstruction = previous;
}

void RetargetAsJmp(Instruction* jump) {
    jump->opcode = OP_JMP;
    jump->stackEffect = 0;
}

// A DUP whose extra copy is only popped again is removed with that POP.
bool RemoveDupPop(CompileState* state, Instruction* before, Instruction* dup) {
    int sum = 2;
    for (Instruction* cur = dup->next; cur != nullptr; cur = cur->next) {
        if (StopsDupWalk(cur)) return false;
        sum += cur->stackEffect;
        if (sum <= 0) return false;
        Instruction* after = cur->next;
        if (sum == 1 && after != nullptr && after->opcode == OP_POP) {
            Unlink(state, cur, after);
            Unlink(state, before, dup);
            return true;
        }
    }
    return false;
}

void PeepholePass(CompileState* state) {
    Instruction* previous = nullptr;
    Instruction* cur = state->firstInstruction;
    while (cur != nullptr) {
        Instruction* next = cur->next;
        if (cur->opcode == OP_DUP && RemoveDupPop(state, previous, cur)) {
            cur = previous == nullptr ? state->firstInstruction : previous->next;
            continue;
        }
        if (cur->opcode == OP_SLIDE && next != nullptr && next->opcode == OP_POP) {
            cur->opcode = OP_POPN;
            cur->operand.integer += 1;
            cur->stackEffect = -static_cast<int32_t>(cur->operand.integer);
            Unlink(state, cur, next);
            continue;
        }
        bool pushTrue = cur->opcode == OP_PUSHTRUE;
        if ((pushTrue || cur->opcode == OP_PUSHFALSE) && next != nullptr) {
            bool jumpsOnFalse = next->opcode == OP_JFALSE || next->opcode == OP_JFALSEB;
            bool jumpsOnTrue = next->opcode == OP_JTRUE || next->opcode == OP_JTRUEB;
            if (jumpsOnFalse || jumpsOnTrue) {
                bool taken = pushTrue == jumpsOnTrue;
                Unlink(state, previous, cur);
                if (taken) {
                    RetargetAsJmp(next);
                    cur = next;
                } else {
                    Unlink(state, previous, next);
                    cur = previous == nullptr ? state->firstInstruction : previous->next;
                }
                continue;
            }
        }
        previous = cur;
        cur = next;
    }
}

// The first real instruction at or after a label (skipping records).
Instruction* FollowLabel(Instruction* label) {
    Instruction* i = label;
    while (i != nullptr && IsRecord(i)) i = i->next;
    return i;
}

void JumpThreadingPass(CompileState* state) {
    for (Instruction* i = state->firstInstruction; i != nullptr; i = i->next) {
        if (!IsJump(i)) continue;
        Instruction* target = FollowLabel(i->operand.label);
        if (target != nullptr && target->opcode == OP_JMP && target != i) {
            i->operand.label = target->operand.label;
        }
    }
}

// Backward liveness of local slots (folded modulo 32) over one unit; a
// SETLOCAL n directly followed by GETLOCAL n whose slot is dead afterwards
// is removed: the value simply stays on the stack.
void DeadStorePass(CompileState* state) {
    std::vector<Instruction*> unit;
    std::vector<uint32_t> liveIn;
    Instruction* unitStart = state->firstInstruction;
    while (unitStart != nullptr) {
        unit.clear();
        Instruction* end = unitStart;
        bool hasTry = false;
        do {
            unit.push_back(end);
            hasTry = hasTry || end->opcode == OP_TRY;
            end = end->next;
        } while (end != nullptr && end->opcode != kFunctionStartRecord);

        // A handler can read a local at any point of its protected code, so
        // units with try statements keep every store.
        if (!hasTry) {
            // Each label's position in the unit. A jump target that is not
            // in the unit keeps kNoPosition and adds nothing to liveness.
            for (Instruction* ins : unit) {
                if (IsJump(ins)) ins->operand.label->offset = kNoPosition;
            }
            for (size_t t = 0; t < unit.size(); ++t) {
                if (unit[t]->opcode == kLabelRecord) unit[t]->offset = static_cast<uint32_t>(t);
            }
            liveIn.assign(unit.size(), 0);
            bool changed = true;
            while (changed) {
                changed = false;
                for (size_t k = unit.size(); k-- > 0;) {
                    Instruction* ins = unit[k];
                    uint32_t out = 0;
                    bool fallsThrough = ins->opcode != OP_JMP && ins->opcode != OP_RETURN &&
                                        ins->opcode != OP_THROW;
                    if (fallsThrough && k + 1 < unit.size()) out |= liveIn[k + 1];
                    if (IsJump(ins)) {
                        uint32_t target = ins->operand.label->offset;
                        if (target != kNoPosition) out |= liveIn[target];
                    }
                    uint32_t bit = 1u << (static_cast<uint32_t>(ins->operand.integer) & 31);
                    uint32_t in = out;
                    if (ins->opcode == OP_SETLOCAL) in &= ~bit;
                    if (ins->opcode == OP_GETLOCAL || ins->opcode == OP_DELLOCAL) in |= bit;
                    if (in != liveIn[k]) {
                        liveIn[k] = in;
                        changed = true;
                    }
                }
            }
            for (size_t k = 0; k + 1 < unit.size(); ++k) {
                Instruction* set = unit[k];
                Instruction* get = unit[k + 1];
                if (set->opcode != OP_SETLOCAL || get->opcode != OP_GETLOCAL ||
                    set->operand.integer != get->operand.integer) {
                    continue;
                }
                uint32_t bit = 1u << (static_cast<uint32_t>(get->operand.integer) & 31);
                uint32_t liveAfter = k + 2 < unit.size() ? liveIn[k + 2] : 0;
                if (liveAfter & bit) continue;
                Unlink(state, k == 0 ? nullptr : unit[k - 1], set);
                Unlink(state, k == 0 ? nullptr : unit[k - 1], get);
                // Keep the vector consistent with the list for the next pairs.
                unit.erase(unit.begin() + static_cast<long>(k),
                           unit.begin() + static_cast<long>(k) + 2);
                liveIn.erase(liveIn.begin() + static_cast<long>(k),
                             liveIn.begin() + static_cast<long>(k) + 2);
                if (k > 0) --k;
            }
        }
        unitStart = end;
    }
}

// Every label's count of the jumps that refer to it.
void CountLabelUses(CompileState* state) {
    for (Instruction* i = state->firstInstruction; i != nullptr; i = i->next) {
        if (i->opcode == kLabelRecord) i->offset = 0;
    }
    for (Instruction* i = state->firstInstruction; i != nullptr; i = i->next) {
        if (IsJump(i)) i->operand.label->offset++;
    }
}

// Removes unused labels, unreachable code and jumps to the next record,
// keeping the use counts up to date; true when anything went.
bool CleanupPass(CompileState* state) {
    bool changed = false;
    Instruction* previous = nullptr;
    Instruction* cur = state->firstInstruction;
    bool unreachable = false;
    while (cur != nullptr) {
        Instruction* next = cur->next;
        bool usedLabel = cur->opcode == kLabelRecord && cur->offset != 0;
        if (cur->opcode == kFunctionStartRecord || usedLabel) {
            unreachable = false;
        } else if (cur->opcode == kLabelRecord || unreachable ||
                   (cur->opcode == OP_JMP && next == cur->operand.label)) {
            if (IsJump(cur)) cur->operand.label->offset--;
            Unlink(state, previous, cur);
            changed = true;
            cur = next;
            continue;
        }
        if (cur->opcode == OP_JMP || cur->opcode == OP_RETURN) unreachable = true;
        previous = cur;
        cur = next;
    }
    return changed;
}

}  // namespace

void OptimizeProgram(ScriptContext* /*context*/, CompileState* state, uint32_t passes) {
    if (passes & kPeepholePass) PeepholePass(state);
    if (passes & kJumpThreadingPass) JumpThreadingPass(state);
    if (passes & kDeadStorePass) DeadStorePass(state);
    if (passes & kCleanupPass) {
        CountLabelUses(state);
        while (CleanupPass(state)) {}
    }
}

}  // namespace kelpo
