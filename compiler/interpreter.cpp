// The interpreter's dispatch loop and its machine instructions.
#include "compiler/interpreter.h"

#include <cstdio>
#include <cstring>

#include "compiler/opcodes.h"
#include "runtime/atoms.h"
#include "runtime/call.h"
#include "runtime/convert.h"
#include "runtime/errors.h"
#include "runtime/function.h"
#include "runtime/gc.h"
#include "runtime/member.h"
#include "runtime/native.h"
#include "runtime/object.h"
#include "runtime/operators.h"
#include "runtime/strings.h"
#include "runtime/trace.h"
#include "runtime/with_scopes.h"

namespace kelpo {
namespace {

// Free slots every frame push and jump must leave below the stack pointer.
constexpr int kStackMargin = 10;

// Registers of one Interpret call. Try handlers of the run point at it.
struct RunState {
    ScriptContext* context;
    Value* frame;
    Value* sp;
    const uint32_t* pc;
    Value* firstArgsEnd;  // just past the first frame's arguments
};

inline Value FrameSlot(ValueTag tag, void* payload) {
    Value v;
    v.tag = tag;
    v.bits = 0;
    v.pointer = payload;
    return v;
}

inline Value FrameInfoSlot(int32_t slotsBefore, int32_t added) {
    Value v;
    v.tag = ValueTag::FrameInfo;
    v.bits = (static_cast<uint64_t>(static_cast<uint32_t>(added)) << 32) |
             static_cast<uint32_t>(slotsBefore);
    return v;
}
inline int32_t InfoSlotsBefore(const Value& v) { return static_cast<int32_t>(v.bits & 0xFFFFFFFFu); }
inline int32_t InfoAdded(const Value& v) { return static_cast<int32_t>(v.bits >> 32); }

[[noreturn]] void StackOverflow(ScriptContext* context) {
    SetErrorText(context, "stack overflow");
    RaiseError(context);
}

[[noreturn]] void BadBytecode(ScriptContext* context) {
    SetErrorText(context, "Unimplemented Kelpo Script bytecode");
    RaiseError(context);
}

// Raises "stack overflow" unless `needed` slots plus the margin (and the
// reserve for straight-line pushes) are free below sp.
inline void CheckStack(ScriptContext* context, Value* sp, int64_t needed) {
    int64_t free = (sp - context->stackBase) + 1;
    if (free < needed + kStackMargin + context->stackReserve) StackOverflow(context);
}

// The argument list of a call starts at the count slot; code that did not
// push a proper count (a damaged image) must not send natives reading past
// the stack.
inline void CheckArgList(ScriptContext* context, const Value* countSlot) {
    const Value* last = context->stackBase + context->stackSlots - 1;
    // Array literals pass their element count negated.
    int64_t count = countSlot <= last && countSlot->tag == ValueTag::Integer ? countSlot->integer : -1;
    if (count < 0 && count != INT64_MIN) count = -count;
    if (countSlot > last || countSlot->tag != ValueTag::Integer || count < 0 ||
        count > last - countSlot) {
        SetErrorText(context, "Unimplemented Kelpo Script bytecode");
        RaiseError(context);
    }
}

// The instruction budget. Straight-line code is bounded by the size of its
// unit, so only the ways back to code already run are charged: a backward
// jump by the span it jumps over (one unit per word, at least as many as the
// instructions the loop ran through), a call by one.
[[noreturn]] void BudgetExhausted(ScriptContext* context) {
    context->budgetExhausted = true;
    context->budgetLeft = 0;
    SetErrorText(context, "Instruction budget exhausted");
    RaiseError(context);
}

inline void ChargeBudget(ScriptContext* context, uint32_t units) {
    if (context->instructionBudget == 0) return;
    if (context->budgetLeft < units) BudgetExhausted(context);
    context->budgetLeft -= units;
}

// Backward jumps only: a forward jump cannot repeat anything.
inline void ChargeJump(ScriptContext* context, int32_t displacement) {
    if (displacement < 0) ChargeBudget(context, static_cast<uint32_t>(-int64_t{displacement}));
}

// Collection checkpoint: collect when enough was handed out since the last
// sweep, then give the debug hook its chance to stop the run.
void CollectAtCheckpoint(ScriptContext* context, Value* frame, Value* sp, const uint32_t* pc) {
    context->stackPointer = sp;
    context->savedCode = pc;
    CollectGarbage(context, frame, sp);
    if (context->debugHook != nullptr) {
        int answer = context->debugHook(2, context->debugHookArgument);
        if (answer != 0) RaiseErrorf(context, "hook break %d", answer);
    }
}

// The collector stress build collects at every checkpoint, so a value left
// unrooted across one is freed at once and the sanitizer sees its use.
#ifdef KELPO_GC_STRESS
constexpr bool kCollectAtEveryCheckpoint = true;
#else
constexpr bool kCollectAtEveryCheckpoint = false;
#endif

inline void Checkpoint(ScriptContext* context, Value* frame, Value* sp, const uint32_t* pc) {
    if (kCollectAtEveryCheckpoint || context->heap.bytesSinceSweep >= context->heap.threshold) {
        CollectAtCheckpoint(context, frame, sp, pc);
    }
}

void WarnUndefinedVariable(ScriptContext* context, Atom atom) {
    if (context->options & kWarnUndefinedVariableOption) {
        TraceLinef("Warning: using undefined variable \"%s\"", AtomName(context, atom));
    }
}

inline Value ReadGlobal(ScriptContext* context, Atom atom) {
    Value v = context->atomValues[atom];
    if (v.tag == ValueTag::Undefined) {
        WarnUndefinedVariable(context, atom);
        return MakeUndefined();
    }
    return v;
}

inline void WriteGlobal(ScriptContext* context, Atom atom, const Value& value) {
    Value& slot = context->atomValues[atom];
    slot = value;
    if (slot.tag == ValueTag::Undefined) slot.bits = 0;
}

WithScopeBlock* WithScopesOf(Value* frame) { return static_cast<WithScopeBlock*>(frame[-2].pointer); }

// DELGLOBAL, DELLOCAL, DELARG: a variable holding a host object releases it
// at once; other values are left alone.
void DeleteVariable(Value* variable) {
    if (variable->tag != ValueTag::Native) return;
    NativeInstance* instance = variable->native;
    NativeClass* klass = instance->klass;
    if (klass != nullptr && klass->finalize != nullptr) klass->finalize(klass, instance->data);
    instance->data = nullptr;
    *variable = MakeUndefined();
}

// THROW: a try handler receives the value; an entry frame receives its text.
[[noreturn]] void ThrowValue(ScriptContext* context, const Value& thrown) {
    ErrorFrame* frame = context->errorFrames;
    if (frame != nullptr && frame->onHeap && frame->owner != nullptr) {
        frame->error = thrown;
    } else {
        Value text = ToString(context, thrown);
        char* ansi = StringToAnsi(context, text);
        snprintf(context->errorText, sizeof context->errorText, "%s", ansi);
        ContextFree(ansi);
    }
    JumpToErrorFrame(context);
}

// Unlinks and frees the run's own try handlers from the top of the chain.
void DropHandlersOf(ScriptContext* context, const RunState* run, int limit) {
    while (limit-- > 0) {
        ErrorFrame* h = context->errorFrames;
        if (h == nullptr || !h->onHeap || h->owner != run) return;
        context->errorFrames = h->previous;
        ContextFree(h);
    }
}

// A frame that returns takes along the try handlers it installed and did
// not leave (only a crafted image does that): resuming at one would run a
// frame that no longer exists. Deeper frames lie at lower addresses.
void DropHandlersOfFrame(ScriptContext* context, const RunState* run, const Value* frame) {
    for (;;) {
        ErrorFrame* h = context->errorFrames;
        if (h == nullptr || !h->onHeap || h->owner != run || h->savedFrame > frame) return;
        context->errorFrames = h->previous;
        ContextFree(h);
    }
}

// Whether a try handler of this run protects code of the given frame.
bool FrameHasHandler(ScriptContext* context, const RunState* run, const Value* frame) {
    ErrorFrame* h = context->errorFrames;
    return h != nullptr && h->onHeap && h->owner == run && h->savedFrame == frame;
}

// Runs the loop until the run's first frame returns. Raises propagate to
// Interpret, which resumes at a try handler of this run or passes them on.
void Execute(RunState* run) {
    ScriptContext* const ctx = run->context;
    Value* F = run->frame;
    Value* sp = run->sp;
    const uint32_t* pc = run->pc;

#define TOP (sp[1])
#define PUSH(v)           \
    do {                  \
        Value pushed_ = (v); \
        *sp-- = pushed_;  \
    } while (0)
#define SYNC() (ctx->stackPointer = sp, ctx->savedCode = pc)
#define JUMP_BY(d) (pc += static_cast<int32_t>(d))
#define CHECKPOINT() Checkpoint(ctx, F, sp, pc)

    // A frame's receiver, count and argument slots lie above its record and
    // end where the caller's record begins (for the run's first frame, at
    // the function value Interpret pushed above them). Argument and local
    // operands come from the image: a wild one must neither read a frame
    // record onto the operand stack nor overwrite one.
    auto argsEnd = [&]() -> Value* { return F[0].frame != nullptr ? F[0].frame - 3 : run->firstArgsEnd; };
    auto isArg = [&](const Value* slot) { return slot > F && slot < argsEnd(); };
    auto isLocal = [&](const Value* slot) { return slot > sp && slot <= F - 4; };

    // Pushes a frame for a script function whose receiver slot is sp + 1.
    auto enterFunction = [&](const Value& callee) {
        ChargeBudget(ctx, 1);
        CheckStack(ctx, sp, 4);
        Value* link = sp;
        link[0] = FrameSlot(ValueTag::FrameLink, F);
        link[-1] = FrameInfoSlot(0, 0);
        link[-2] = FrameSlot(ValueTag::FrameLink, nullptr);
        link[-3] = FrameSlot(ValueTag::FrameLink, const_cast<uint32_t*>(pc));
        F = link;
        sp = F - 4;
        pc = callee.function->code->words;
    };

    // CALL: the value on top is called with the receiver Null; a native's
    // answer is pushed, a script function gets a frame.
    auto callTop = [&]() {
        CheckArgList(ctx, sp + 2);
        Value callee = TOP;
        TOP = MakeNull();  // the callee slot becomes the receiver slot
        if (callee.tag == ValueTag::Function) {
            enterFunction(callee);
            return;
        }
        ChargeBudget(ctx, 1);
        Value out = MakeUndefined();
        if (!CallNative(ctx, callee, sp + 2, &out)) TraceLine("Warning: call a undefined function");
        PUSH(out);
        CHECKPOINT();
    };

    for (;;) {
        uint32_t op = *pc++;
        switch (op) {
            case OP_PUSH0: PUSH(MakeInteger(0)); break;
            case OP_PUSH1: PUSH(MakeInteger(1)); break;
            case OP_PUSH2: PUSH(MakeInteger(2)); break;
            case OP_PUSH3: PUSH(MakeInteger(3)); break;
            case OP_PUSHINT: PUSH(MakeInteger(static_cast<int32_t>(*pc++))); break;
            case OP_PUSHUNDEF: PUSH(MakeUndefined()); break;
            case OP_PUSHNULL: PUSH(MakeNull()); break;
            case OP_PUSHTRUE: PUSH(MakeBoolean(true)); break;
            case OP_PUSHFALSE: PUSH(MakeBoolean(false)); break;
            case OP_PUSHCONST: PUSH(ctx->constants[*pc++]); break;

            case OP_GETLOCAL: {
                Value* slot = F - 4 - static_cast<int32_t>(*pc++);
                PUSH(isLocal(slot) ? *slot : MakeUndefined());
                break;
            }
            case OP_SETLOCAL: {
                Value* slot = F - 4 - static_cast<int32_t>(*pc++);
                Value v = TOP;
                ++sp;
                if (isLocal(slot)) *slot = v;
                break;
            }
            case OP_GETARG: {
                Value* slot = F + 1 + static_cast<int32_t>(*pc++);
                PUSH(isArg(slot) ? *slot : MakeUndefined());
                break;
            }
            case OP_SETARG: {
                Value* slot = F + 1 + static_cast<int32_t>(*pc++);
                Value v = TOP;
                ++sp;
                if (isArg(slot)) *slot = v;
                break;
            }
            case OP_ARGAT: {
                Value& top = TOP;
                int64_t i = top.tag == ValueTag::Integer ? top.integer : -1;
                int64_t available = argsEnd() - (F + 1);
                top = (i >= 0 && i < available) ? F[1 + i] : MakeUndefined();
                break;
            }
            case OP_GETGLOBAL: {
                Atom atom = static_cast<Atom>(*pc++);
                Value v = ctx->atomValues[atom];
                if (v.tag == ValueTag::Undefined) {
                    SYNC();
                    v = ReadGlobal(ctx, atom);
                }
                PUSH(v);
                break;
            }
            case OP_SETGLOBAL: {
                Atom atom = static_cast<Atom>(*pc++);
                WriteGlobal(ctx, atom, TOP);
                ++sp;
                break;
            }

            case OP_ADD: {
                Value& a = sp[2];
                const Value& b = sp[1];
                if (a.tag == ValueTag::Integer && b.tag == ValueTag::Integer) {
                    a.integer = static_cast<int64_t>(static_cast<uint64_t>(a.integer) +
                                                     static_cast<uint64_t>(b.integer));
                    ++sp;
                    break;
                }
                SYNC();
                Value r = OpAdd(ctx, a, b);
                sp[2] = r;
                ++sp;
                CHECKPOINT();
                break;
            }
            case OP_SUB: {
                Value& a = sp[2];
                const Value& b = sp[1];
                if (a.tag == ValueTag::Integer && b.tag == ValueTag::Integer) {
                    a.integer = static_cast<int64_t>(static_cast<uint64_t>(a.integer) -
                                                     static_cast<uint64_t>(b.integer));
                    ++sp;
                    break;
                }
                SYNC();
                Value r = OpSub(ctx, a, b);
                sp[2] = r;
                ++sp;
                break;
            }
            case OP_LT:
            case OP_GT:
            case OP_LE:
            case OP_GE: {
                Value& a = sp[2];
                const Value& b = sp[1];
                Value r;
                if (a.tag == ValueTag::Integer && b.tag == ValueTag::Integer) {
                    int64_t x = a.integer, y = b.integer;
                    bool t = op == OP_LT ? x < y : op == OP_GT ? x > y : op == OP_LE ? x <= y : x >= y;
                    r = MakeBoolean(t);
                } else {
                    SYNC();
                    r = op == OP_LT   ? OpLess(ctx, a, b)
                        : op == OP_GT ? OpGreater(ctx, a, b)
                        : op == OP_LE ? OpLessEqual(ctx, a, b)
                                      : OpGreaterEqual(ctx, a, b);
                }
                sp[2] = r;
                ++sp;
                break;
            }
            case OP_MUL:
            case OP_DIV:
            case OP_MOD:
            case OP_BITAND:
            case OP_BITOR:
            case OP_BITXOR:
            case OP_SHL:
            case OP_SHR:
            case OP_USHR:
            case OP_EQ:
            case OP_NE: {
                SYNC();
                const Value& a = sp[2];
                const Value& b = sp[1];
                Value r;
                switch (op) {
                    case OP_MUL: r = OpMul(ctx, a, b); break;
                    case OP_DIV: r = OpDiv(ctx, a, b); break;
                    case OP_MOD: r = OpMod(ctx, a, b); break;
                    case OP_BITAND: r = OpBitAnd(ctx, a, b); break;
                    case OP_BITOR: r = OpBitOr(ctx, a, b); break;
                    case OP_BITXOR: r = OpBitXor(ctx, a, b); break;
                    case OP_SHL: r = OpShiftLeft(ctx, a, b); break;
                    case OP_SHR: r = OpShiftRight(ctx, a, b); break;
                    case OP_USHR: r = OpShiftRightUnsigned(ctx, a, b); break;
                    case OP_EQ: r = MakeBoolean(LooseEquals(ctx, a, b)); break;
                    default: r = MakeBoolean(!LooseEquals(ctx, a, b)); break;
                }
                sp[2] = r;
                ++sp;
                break;
            }
            case OP_STRICTEQ:
            case OP_STRICTNE: {
                bool same = StrictEquals(sp[2], sp[1]);
                sp[2] = MakeBoolean(op == OP_STRICTEQ ? same : !same);
                ++sp;
                break;
            }
            case OP_NOT: TOP = MakeBoolean(!ToBoolean(ctx, TOP)); break;
            case OP_NEG: {
                SYNC();
                Value r = OpNeg(ctx, TOP);
                TOP = r;
                break;
            }
            case OP_TYPEOF: {
                SYNC();
                Value r = TypeOf(ctx, TOP);
                TOP = r;
                CHECKPOINT();
                break;
            }
            case OP_ADD2:
            case OP_INC1: {
                // Generated code applies these to argument counts only; any
                // other value takes the general addition.
                int32_t n = op == OP_ADD2 ? 2 : 1;
                if (TOP.tag == ValueTag::Integer) {
                    TOP.integer = static_cast<int64_t>(static_cast<uint64_t>(TOP.integer) + n);
                    break;
                }
                SYNC();
                Value r = OpAdd(ctx, TOP, MakeInteger(n));
                TOP = r;
                break;
            }

            case OP_JMP: {
                int32_t d = static_cast<int32_t>(*pc++);
                ChargeJump(ctx, d);
                JUMP_BY(d);
                CheckStack(ctx, sp, 0);
                break;
            }
            case OP_JTRUEB:
            case OP_JFALSEB: {
                int32_t d = static_cast<int32_t>(*pc++);
                bool set = static_cast<uint32_t>(TOP.bits) != 0;
                ++sp;
                if (set == (op == OP_JTRUEB)) {
                    ChargeJump(ctx, d);
                    JUMP_BY(d);
                }
                CheckStack(ctx, sp, 0);
                break;
            }
            case OP_JTRUE:
            case OP_JFALSE: {
                int32_t d = static_cast<int32_t>(*pc++);
                bool truthy = ToBoolean(ctx, TOP) != 0;
                ++sp;
                if (truthy == (op == OP_JTRUE)) {
                    ChargeJump(ctx, d);
                    JUMP_BY(d);
                }
                CheckStack(ctx, sp, 0);
                break;
            }

            case OP_ROT: {
                int32_t n = static_cast<int32_t>(*pc++);
                if (n >= 2) {
                    Value top = sp[1];
                    memmove(&sp[1], &sp[2], (n - 1) * sizeof(Value));
                    sp[n] = top;
                } else if (n <= -2) {
                    int32_t depth = -n - 1;
                    Value deep = sp[1 + depth];
                    memmove(&sp[2], &sp[1], depth * sizeof(Value));
                    sp[1] = deep;
                }
                break;
            }
            case OP_SWAP: {
                Value t = sp[1];
                sp[1] = sp[2];
                sp[2] = t;
                break;
            }
            case OP_SLIDE: {
                int32_t n = static_cast<int32_t>(*pc++);
                sp[1 + n] = sp[1];
                sp += n;
                break;
            }
            case OP_POPN: sp += static_cast<int32_t>(*pc++); break;
            case OP_POP: ++sp; break;
            case OP_DUP: {
                Value v = TOP;
                PUSH(v);
                break;
            }
            case OP_NOP: break;

            case OP_GETMEMBER: {
                Atom atom = static_cast<Atom>(*pc++);
                SYNC();
                Value r = ReadMember(ctx, TOP, atom);
                TOP = r;
                break;
            }
            case OP_SETMEMBER: {
                Atom atom = static_cast<Atom>(*pc++);
                SYNC();
                WriteMember(ctx, sp[1], atom, sp[2]);
                sp += 2;
                CHECKPOINT();
                break;
            }
            case OP_GETELEM: {
                SYNC();
                Value r = ReadElement(ctx, sp[2], sp[1]);
                sp[2] = r;
                ++sp;
                break;
            }
            case OP_SETELEM: {
                SYNC();
                WriteElement(ctx, sp[2], sp[1], sp[3]);
                sp += 3;
                CHECKPOINT();
                break;
            }
            case OP_DELMEMBER: {
                Atom atom = static_cast<Atom>(*pc++);
                SYNC();
                DeleteMember(ctx, TOP, atom);
                TOP = MakeUndefined();
                break;
            }
            case OP_DELELEM: {
                SYNC();
                DeleteElementOf(ctx, sp[2], sp[1]);
                sp[2] = MakeUndefined();
                ++sp;
                break;
            }
            case OP_DELGLOBAL: {
                Atom atom = static_cast<Atom>(*pc++);
                SYNC();
                DeleteVariable(&ctx->atomValues[atom]);
                TOP = MakeUndefined();
                break;
            }
            case OP_DELLOCAL: {
                Value* slot = F - 4 - static_cast<int32_t>(*pc++);
                SYNC();
                if (slot > sp + 1 && slot <= F - 4) DeleteVariable(slot);
                TOP = MakeUndefined();
                break;
            }
            case OP_DELARG: {
                Value* slot = F + 1 + static_cast<int32_t>(*pc++);
                SYNC();
                if (isArg(slot)) DeleteVariable(slot);
                TOP = MakeUndefined();
                break;
            }
            case OP_FORINSTEP: {
                SYNC();
                Value item;
                const Value& index = sp[1];
                bool more = index.tag == ValueTag::Integer &&
                            IterationStep(ctx, sp[2], index.integer, &item);
                if (!more) item = MakeUndefined();
                sp[2] = item;
                sp[1] = MakeBoolean(more);
                break;
            }

            case OP_WITH: {
                Value scope = TOP;
                WithScopeBlock* block = WithScopesOf(F);
                uint32_t count = block == nullptr ? 0 : block->count;
                SYNC();
                block = static_cast<WithScopeBlock*>(GcRealloc(
                    ctx, block, sizeof(WithScopeBlock) + (count + 1) * sizeof(Value)));
                WithScopeEntries(block)[count] = scope;
                block->count = count + 1;
                F[-2].pointer = block;
                ++sp;
                break;
            }
            case OP_LEAVEWITH: {
                uint32_t n = *pc++;
                WithScopeBlock* block = WithScopesOf(F);
                if (block != nullptr && block->count >= n) block->count -= n;
                break;
            }
            case OP_WITHGET: {
                Atom atom = static_cast<Atom>(*pc++);
                SYNC();
                WithScopeBlock* block = WithScopesOf(F);
                Value v;
                bool found = false;
                for (uint32_t i = 0; block != nullptr && i < block->count && !found; ++i) {
                    found = GetMember(ctx, WithScopeEntries(block)[i], atom, &v) != 0;
                }
                if (!found) v = ReadGlobal(ctx, atom);
                PUSH(v);
                break;
            }
            case OP_WITHSET: {
                Atom atom = static_cast<Atom>(*pc++);
                SYNC();
                Value v = TOP;
                if (v.tag == ValueTag::Undefined) v.bits = 0;
                WithScopeBlock* block = WithScopesOf(F);
                bool stored = false;
                for (uint32_t i = 0; block != nullptr && i < block->count && !stored; ++i) {
                    stored = SetMemberIfPresent(ctx, WithScopeEntries(block)[i], atom, v) != 0;
                    if (!stored) CHECKPOINT();
                    block = WithScopesOf(F);
                }
                if (!stored) WriteGlobal(ctx, atom, v);
                ++sp;
                break;
            }
            case OP_WITHDELETE: {
                Atom atom = static_cast<Atom>(*pc++);
                SYNC();
                WithScopeBlock* block = WithScopesOf(F);
                Value found;
                for (uint32_t i = 0; block != nullptr && i < block->count; ++i) {
                    const Value& scope = WithScopeEntries(block)[i];
                    if (scope.tag == ValueTag::Object && GetProperty(ctx, scope.object, atom, &found)) {
                        DeleteProperty(ctx, scope.object, atom);
                        break;
                    }
                }
                TOP = MakeUndefined();
                break;
            }

            case OP_CALL:
                SYNC();
                callTop();
                break;
            case OP_CALLMETHOD: {
                Atom method = static_cast<Atom>(*pc++);
                SYNC();
                CheckArgList(ctx, sp + 2);
                Value target = TOP;
                Value out, function;
                switch (FindMethod(ctx, target, method, sp + 2, &out, &function)) {
                    case MethodKind::Answered:
                        ChargeBudget(ctx, 1);
                        PUSH(out);
                        CHECKPOINT();
                        break;
                    case MethodKind::Script:
                        enterFunction(function);
                        break;
                    case MethodKind::Missing:
                        TraceLinef("Warning: unknown method \"%s\"", AtomName(ctx, method));
                        PUSH(MakeUndefined());
                        break;
                }
                break;
            }
            case OP_WITHCALL: {
                Atom method = static_cast<Atom>(*pc++);
                SYNC();
                CheckArgList(ctx, sp + 2);
                WithScopeBlock* block = WithScopesOf(F);
                bool done = false;
                for (uint32_t i = 0; block != nullptr && i < block->count && !done; ++i) {
                    Value scope = WithScopeEntries(block)[i];
                    Value out, function;
                    if (scope.tag == ValueTag::Object) {
                        if (GetProperty(ctx, scope.object, method, &function) &&
                            function.tag == ValueTag::Function) {
                            TOP = scope;
                            enterFunction(function);
                            done = true;
                        }
                        continue;
                    }
                    MethodKind kind = FindMethod(ctx, scope, method, sp + 2, &out, &function);
                    if (kind == MethodKind::Answered) {
                        ChargeBudget(ctx, 1);
                        PUSH(out);
                        CHECKPOINT();
                        done = true;
                    } else if (kind == MethodKind::Script && scope.tag != ValueTag::Native) {
                        TOP = scope;
                        enterFunction(function);
                        done = true;
                    }
                }
                if (!done) callTop();
                break;
            }
            case OP_NEW: {
                SYNC();
                CheckArgList(ctx, sp + 2);
                Value callee = TOP;
                if (callee.tag == ValueTag::Function) {
                    TOP = NewInstanceOf(ctx, callee);
                    enterFunction(callee);
                    CHECKPOINT();
                    break;
                }
                ChargeBudget(ctx, 1);
                if (ConstructNative(ctx, callee, sp + 2, &sp[1])) {
                    PUSH(MakeUndefined());
                } else {
                    TraceLine("Warning: invalid constructor");
                    PUSH(MakeNull());
                }
                CHECKPOINT();
                break;
            }

            case OP_ARGPAD: {
                int32_t n = static_cast<int32_t>(*pc++);
                Value c = TOP;
                ++sp;
                int64_t given = c.tag == ValueTag::Integer ? c.integer : n;
                if (given >= 0 && given < n) {
                    // Padding moves the frame: it happens once, before any
                    // try handler points at the frame, and only over slots
                    // the frame has.
                    if (InfoAdded(F[-1]) != 0 || FrameHasHandler(ctx, run, F) ||
                        given >= argsEnd() - F) {
                        SYNC();
                        BadBytecode(ctx);
                    }
                    int32_t added = n - static_cast<int32_t>(given);
                    CheckStack(ctx, sp, added);
                    // Move the frame record and the given arguments down to
                    // make room for the missing parameters.
                    size_t moved = static_cast<size_t>((F + given) - sp);
                    memmove(sp + 1 - added, sp + 1, moved * sizeof(Value));
                    F -= added;
                    sp -= added;
                    for (int64_t k = given; k < n; ++k) F[1 + k] = MakeUndefined();
                    F[-1] = FrameInfoSlot(static_cast<int32_t>(given), added);
                }
                break;
            }
            case OP_LOCALS: {
                int32_t n = static_cast<int32_t>(*pc++);
                if (n < 0) n = 0;
                CheckStack(ctx, sp, n);
                for (int32_t i = 0; i < n; ++i) PUSH(MakeUndefined());
                break;
            }

            case OP_RETURN:
            case OP_END: {
                if (F[0].frame == nullptr) {
                    run->frame = F;
                    run->sp = sp;
                    run->pc = pc;
                    return;
                }
                DropHandlersOfFrame(ctx, run, F);
                Value result = TOP;
                Value* caller = F[0].frame;
                const uint32_t* back = static_cast<const uint32_t*>(F[-3].pointer);
                int32_t added = InfoAdded(F[-1]);
                if (added > 0) {
                    int32_t before = InfoSlotsBefore(F[-1]);
                    memmove(F + 1 + added, F + 1, static_cast<size_t>(before) * sizeof(Value));
                    F += added;
                }
                *F = result;
                sp = F - 1;
                F = caller;
                pc = back;
                break;
            }

            case OP_TRY: {
                int32_t d = static_cast<int32_t>(*pc++);
                auto* handler = static_cast<ErrorFrame*>(ContextCalloc(ctx, 1, sizeof(ErrorFrame)));
                handler->onHeap = true;
                handler->storeAsValue = 1;
                handler->error = MakeUndefined();
                handler->savedStackPointer = sp;
                handler->savedFrame = F;
                handler->resumeCode = pc;
                handler->handlerDisplacement = d;
                handler->owner = run;
                handler->previous = ctx->errorFrames;
                ctx->errorFrames = handler;
                break;
            }
            case OP_LEAVETRY: DropHandlersOf(ctx, run, static_cast<int32_t>(*pc++)); break;
            case OP_THROW: {
                SYNC();
                ThrowValue(ctx, TOP);
            }

            default:
                SYNC();
                BadBytecode(ctx);
        }
    }

#undef TOP
#undef PUSH
#undef SYNC
#undef JUMP_BY
#undef CHECKPOINT
}

// Keeps the run depth and frees the run's leftover try handlers on exit.
struct RunScope {
    ScriptContext* context;
    RunState* run;
    RunScope(ScriptContext* c, RunState* r) : context(c), run(r) { context->runDepth++; }
    ~RunScope() {
        DropHandlersOf(context, run, INT32_MAX);
        context->runDepth--;
    }
};

}  // namespace

void Interpret(ScriptContext* context, const Value* receiver, CompiledFunction* function,
               int argCount, Value* args) {
    if (argCount < 0) argCount = 0;
    if (context->runDepth == 0) {
        context->budgetLeft = context->instructionBudget;
        context->budgetExhausted = false;
    }
    // A run started by a native (a callback) is a call too.
    ChargeBudget(context, 1);
    Value* sp = context->stackPointer;
    CheckStack(context, sp, int64_t{argCount} + 6);

    // The function value keeps the unit alive; below it the arguments from
    // the last to the count, then the receiver.
    Value self = NewFunctionValue(context, function);
    Value* selfSlot = sp;
    *sp-- = self;
    for (int i = argCount - 1; i >= 0; --i) *sp-- = args[i];
    *sp-- = receiver != nullptr ? *receiver : MakeNull();

    // The first frame's return position records where the code that
    // started this run stands, so its unit stays alive too.
    Value* F = sp;
    F[0] = FrameSlot(ValueTag::FrameLink, nullptr);
    F[-1] = FrameInfoSlot(0, 0);
    F[-2] = FrameSlot(ValueTag::FrameLink, nullptr);
    F[-3] = FrameSlot(ValueTag::FrameLink, const_cast<uint32_t*>(context->savedCode));

    RunState run{context, F, F - 4, function->words, selfSlot};
    RunScope scope(context, &run);
    for (;;) {
        try {
            Execute(&run);
            break;
        } catch (const ScriptRaise&) {
            ErrorFrame* handler = context->errorFrames;
            // A spent budget ends the run whatever handlers the script set.
            if (handler == nullptr || !handler->onHeap || handler->owner != &run ||
                context->budgetExhausted) {
                throw;
            }
            // Resume at the handler: the raised value replaces whatever the
            // protected code had pushed.
            Value* slot = handler->savedStackPointer;
            *slot = handler->error;
            // Code that popped below the handler's depth before raising
            // (never generated) may have let calls write frame records over
            // the slots that come back into use: a record there would
            // mislead the collector's walk, so none survives.
            for (Value* v = slot + 1; v <= handler->savedFrame - 4; ++v) {
                if (v->tag == ValueTag::FrameLink || v->tag == ValueTag::FrameInfo) *v = MakeUndefined();
            }
            run.frame = handler->savedFrame;
            run.sp = slot - 1;
            run.pc = handler->resumeCode + handler->handlerDisplacement;
            context->errorFrames = handler->previous;
            ContextFree(handler);
        }
    }

    // End of the run: the outermost run collects; nested ones only when the
    // heap asks for it, so callbacks stay cheap.
    context->stackPointer = run.sp;
    context->savedCode = run.pc;
    if (context->runDepth == 1) {
        CollectGarbage(context, run.frame, run.sp);
    } else {
        Checkpoint(context, run.frame, run.sp, run.pc);
    }
    context->result = run.sp[1];
}

const char* FunctionNameAt(ScriptContext* context, const uint32_t* code) {
    CompiledFunction* f = FindCompiledFunction(context, code);
    return f != nullptr && f->name != nullptr ? f->name : ".main";
}

const char* SourceLineAt(ScriptContext* context, int* line) {
    CompiledFunction* f = FindCompiledFunction(context, context->savedCode);
    if (f == nullptr || f->lineCount == 0) return nullptr;
    uint32_t position = static_cast<uint32_t>(context->savedCode - f->words);
    const LineEntry* best = nullptr;
    for (uint32_t i = 0; i < f->lineCount; ++i) {
        if (f->lines[i].word <= position) best = &f->lines[i];
    }
    if (best == nullptr) return nullptr;
    if (line != nullptr) *line = static_cast<int>(best->line);
    return f->sourceName;
}

void InstallInterpreter() {
    SetDefaultInterpreterEntry(Interpret, FunctionNameAt, SourceLineAt);
}

}  // namespace kelpo
