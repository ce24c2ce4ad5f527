// The interpreter's dispatch loop and its machine instructions.
#include "compiler/interpreter.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "compiler/dispatch_slots.h"
#include "compiler/fast_arithmetic.h"
#include "compiler/fused_instructions.h"
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
inline int32_t InfoSlotsBefore(const Value& v) {
    return static_cast<int32_t>(v.bits & 0xFFFFFFFFu);
}
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
    int64_t count =
        countSlot <= last && countSlot->tag == ValueTag::Integer ? countSlot->integer : -1;
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

WithScopeBlock* WithScopesOf(Value* frame) {
    return static_cast<WithScopeBlock*>(frame[-2].pointer);
}

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

// The loop's helpers take its registers (F, sp, pc) by reference: unless
// they are inlined, those registers would live in memory for the whole loop.
#if defined(__GNUC__)
#define LOOP_HELPER __attribute__((always_inline)) inline
#else
#define LOOP_HELPER inline
#endif

// Pushes a frame for a script function whose receiver slot is sp + 1.
LOOP_HELPER void EnterFrame(ScriptContext* ctx, Value*& F, Value*& sp, const uint32_t*& pc,
                            const Value& callee) {
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
}

// CALL: the value on top is called with the receiver Null; a native's
// answer is pushed, a script function gets a frame.
LOOP_HELPER void CallTop(ScriptContext* ctx, Value*& F, Value*& sp, const uint32_t*& pc) {
    CheckArgList(ctx, sp + 2);
    Value callee = sp[1];
    sp[1] = MakeNull();  // the callee slot becomes the receiver slot
    if (callee.tag == ValueTag::Function) {
        EnterFrame(ctx, F, sp, pc, callee);
        return;
    }
    ChargeBudget(ctx, 1);
    Value out = MakeUndefined();
    if (!CallNative(ctx, callee, sp + 2, &out)) TraceLine("Warning: call a undefined function");
    *sp-- = out;
    Checkpoint(ctx, F, sp, pc);
}

// Whether the dispatch table's slot expansion lists 0, 1, 2, ... in order.
constexpr bool SlotsInOrder(const std::array<int, kDispatchSlots>& slots) {
    for (int i = 0; i < kDispatchSlots; ++i) {
        if (slots[i] != i) return false;
    }
    return true;
}

// Runs the loop until the run's first frame returns. Raises propagate to
// Interpret, which resumes at a try handler of this run or passes them on.
void Execute(RunState* run) {
    ScriptContext* const ctx = run->context;
    Value* F = run->frame;
    Value* sp = run->sp;
    const uint32_t* pc = run->pc;

#define TOP (sp[1])
#define PUSH(v)              \
    do {                     \
        Value pushed_ = (v); \
        *sp-- = pushed_;     \
    } while (0)
#define SYNC() (ctx->stackPointer = sp, ctx->savedCode = pc)
#define JUMP_BY(d) (pc += static_cast<int32_t>(d))
#define CHECKPOINT() Checkpoint(ctx, F, sp, pc)
// The two operands on top are replaced by their result: `fast` computes it
// for plain numbers, `slow` (which may run script code) for anything else.
// A plain block, not do/while: NEXT() may be the switch's break.
#define BINARY_WITH_FAST_PATH(fast, slow) \
    {                                     \
        Value r_;                         \
        if (!fast(sp[2], sp[1], &r_)) {   \
            SYNC();                       \
            r_ = slow(ctx, sp[2], sp[1]); \
        }                                 \
        sp[2] = r_;                       \
        ++sp;                             \
        NEXT();                           \
    }

    // Threaded dispatch where the compiler has label addresses: every
    // handler ends in its own indirect jump, which branch predictors serve
    // far better than the one shared jump of a switch. Elsewhere NEXT() is
    // the switch's break. Opcode words beyond a byte are unknown opcodes.
#if defined(__GNUC__)
#define CASE(name) \
    case name:     \
        op_##name
#define NEXT()                                \
    do {                                      \
        op = *pc++;                           \
        goto* kDispatch[op <= 0xFF ? op : 0]; \
    } while (0)
    // The table is expanded from dispatch_slots.h. HALT has no handler of
    // its own: the verifier refuses it, so running it means bad code, like
    // any unknown opcode.
#define op_OP_HALT op_default
#define HANDLER_ADDRESS(name, ...) &&op_OP_##name,
    static const void* const kHandlers[] = {&&op_default,
                                            KELPO_DISPATCHED_OPCODES(HANDLER_ADDRESS)};
#undef HANDLER_ADDRESS
#undef op_OP_HALT
    static_assert(std::size(kHandlers) == kDispatchedOpcodeCount + 1);
    // Slot by slot in order (the compilers fold each lookup into a
    // constant, so the table is plain data as if written out by hand).
#define SLOTS4(n) SLOT(n), SLOT(n + 1), SLOT(n + 2), SLOT(n + 3)
#define SLOTS16(n) SLOTS4(n), SLOTS4(n + 4), SLOTS4(n + 8), SLOTS4(n + 12)
#define SLOTS64(n) SLOTS16(n), SLOTS16(n + 16), SLOTS16(n + 32), SLOTS16(n + 48)
#define ALL_SLOTS SLOTS64(0), SLOTS64(64), SLOTS64(128), SLOTS64(192)
#define SLOT(n) kHandlers[kHandlerOfSlot[n]]
    static const void* const kDispatch[kDispatchSlots] = {ALL_SLOTS};
#undef SLOT
#define SLOT(n) n
    static_assert(SlotsInOrder({ALL_SLOTS}));
#undef SLOT
#undef ALL_SLOTS
#undef SLOTS64
#undef SLOTS16
#undef SLOTS4
#else
#define CASE(name) \
    case name:     \
        op_##name
#define NEXT() break
#endif

    // A frame's receiver, count and argument slots lie above its record and
    // end where the caller's record begins (for the run's first frame, at
    // the function value Interpret pushed above them). Argument and local
    // operands come from the image: a wild one must neither read a frame
    // record onto the operand stack nor overwrite one.
#define ARGS_END() (F[0].frame != nullptr ? F[0].frame - 3 : run->firstArgsEnd)
#define IS_ARG(slot) ((slot) > F && (slot) < ARGS_END())
#define IS_LOCAL(slot) ((slot) > sp && (slot) <= F - 4)

    uint32_t op;
    for (;;) {
        op = *pc++;
        switch (op) {
            CASE(OP_PUSH0) : PUSH(MakeInteger(0));
            NEXT();
            CASE(OP_PUSH1) : PUSH(MakeInteger(1));
            NEXT();
            CASE(OP_PUSH2) : PUSH(MakeInteger(2));
            NEXT();
            CASE(OP_PUSH3) : PUSH(MakeInteger(3));
            NEXT();
            CASE(OP_PUSHINT) : PUSH(MakeInteger(static_cast<int32_t>(*pc++)));
            NEXT();
            CASE(OP_PUSHUNDEF) : PUSH(MakeUndefined());
            NEXT();
            CASE(OP_PUSHNULL) : PUSH(MakeNull());
            NEXT();
            CASE(OP_PUSHTRUE) : PUSH(MakeBoolean(true));
            NEXT();
            CASE(OP_PUSHFALSE) : PUSH(MakeBoolean(false));
            NEXT();
            CASE(OP_PUSHCONST) : PUSH(ctx->constants[*pc++]);
            NEXT();

            CASE(OP_FUSED_PROLOGUE) : {
                // Words from pc: 1, ADD2, ARGPAD, n.
                Value* count = F + 2;
                if (IS_ARG(count) && count->tag == ValueTag::Integer) {
                    int64_t given = static_cast<int64_t>(static_cast<uint64_t>(count->integer) + 2);
                    if (given < 0 || given >= static_cast<int32_t>(pc[3])) {
                        pc += 4;
                        NEXT();
                    }
                }
                goto op_OP_GETARG;
            }
            CASE(OP_FUSED_LOCAL) : CASE(OP_FUSED_ARG) : {
                // Words from pc: x, second read (opcode, operand?), operator,
                // then maybe JFALSEB d, JTRUEB d or SETLOCAL c.
                const uint32_t* q = pc;
                Value* x = op == OP_FUSED_LOCAL ? F - 4 - static_cast<int32_t>(q[0])
                                                : F + 1 + static_cast<int32_t>(q[0]);
                bool inRange = op == OP_FUSED_LOCAL ? IS_LOCAL(x) : IS_ARG(x);
                uint32_t second = q[1];
                const Value* y;
                Value small;
                if (second == OP_GETLOCAL || second == OP_GETARG) {
                    Value* slot = second == OP_GETLOCAL ? F - 4 - static_cast<int32_t>(q[2])
                                                        : F + 1 + static_cast<int32_t>(q[2]);
                    // Stricter than the instruction's own check (which
                    // sees one more value pushed): edge cases run unfused.
                    inRange = inRange && (second == OP_GETLOCAL ? IS_LOCAL(slot) : IS_ARG(slot));
                    y = slot;
                    q += 3;
                } else if (second == OP_PUSHCONST) {
                    y = &ctx->constants[q[2]];
                    q += 3;
                } else if (second >= OP_PUSH3 && second <= OP_PUSH0) {
                    small = MakeInteger(OP_PUSH0 - second);
                    y = &small;
                    q += 2;
                } else {
                    inRange = false;
                }
                if (!inRange) goto unfused_run;
                {
                    const Value& a = *x;
                    const Value& b = *y;
                    uint32_t operation = *q++;
                    Value r;
                    bool relation = false;
                    bool holds = false;
                    switch (operation) {
                        case OP_ADD:
                            if (a.tag == ValueTag::Integer && b.tag == ValueTag::Integer) {
                                r = MakeInteger(
                                    static_cast<int64_t>(static_cast<uint64_t>(a.integer) +
                                                         static_cast<uint64_t>(b.integer)));
                                break;
                            }
                            // A Float sum: ADD's collection checkpoint follows it.
                            if (!FloatAdd(a, b, &r)) goto unfused_run;
                            PUSH(r);
                            pc = q;
                            CHECKPOINT();
                            NEXT();
                        case OP_SUB:
                            if (a.tag == ValueTag::Integer && b.tag == ValueTag::Integer) {
                                r = MakeInteger(
                                    static_cast<int64_t>(static_cast<uint64_t>(a.integer) -
                                                         static_cast<uint64_t>(b.integer)));
                            } else if (!FloatSub(a, b, &r)) {
                                goto unfused_run;
                            }
                            break;
                        case OP_MUL:
                            if (!NumberMul(a, b, &r)) goto unfused_run;
                            break;
                        case OP_MOD:
                            if (!IntegerMod(a, b, &r)) goto unfused_run;
                            break;
                        case OP_LT:
                        case OP_GT:
                        case OP_LE:
                        case OP_GE:
                            if (!NumberRelate(operation, OP_LT, OP_GT, OP_LE, a, b, &holds))
                                goto unfused_run;
                            relation = true;
                            r = MakeBoolean(holds);
                            break;
                        default: goto unfused_run;
                    }
                    uint32_t after = *q;
                    if (relation && (after == OP_JFALSEB || after == OP_JTRUEB)) {
                        // The result is pushed and popped at once: only the
                        // jump remains.
                        int32_t d = static_cast<int32_t>(q[1]);
                        pc = q + 2;
                        if (holds == (after == OP_JTRUEB)) {
                            ChargeJump(ctx, d);
                            JUMP_BY(d);
                        }
                        CheckStack(ctx, sp, 0);
                        NEXT();
                    }
                    if (after == OP_SETLOCAL) {
                        Value* slot = F - 4 - static_cast<int32_t>(q[1]);
                        if (IS_LOCAL(slot)) *slot = r;
                        pc = q + 2;
                        NEXT();
                    }
                    PUSH(r);
                    pc = q;
                    NEXT();
                }
            unfused_run:
                // Run the first instruction as written; the rest follows.
                if (op == OP_FUSED_LOCAL) goto op_OP_GETLOCAL;
                goto op_OP_GETARG;
            }
            CASE(OP_GETLOCAL) : {
                Value* slot = F - 4 - static_cast<int32_t>(*pc++);
                PUSH(IS_LOCAL(slot) ? *slot : MakeUndefined());
                NEXT();
            }
            CASE(OP_SETLOCAL) : {
                Value* slot = F - 4 - static_cast<int32_t>(*pc++);
                Value v = TOP;
                ++sp;
                if (IS_LOCAL(slot)) *slot = v;
                NEXT();
            }
            CASE(OP_GETARG) : {
                Value* slot = F + 1 + static_cast<int32_t>(*pc++);
                PUSH(IS_ARG(slot) ? *slot : MakeUndefined());
                NEXT();
            }
            CASE(OP_SETARG) : {
                Value* slot = F + 1 + static_cast<int32_t>(*pc++);
                Value v = TOP;
                ++sp;
                if (IS_ARG(slot)) *slot = v;
                NEXT();
            }
            CASE(OP_ARGAT) : {
                Value& top = TOP;
                int64_t i = top.tag == ValueTag::Integer ? top.integer : -1;
                int64_t available = ARGS_END() - (F + 1);
                top = (i >= 0 && i < available) ? F[1 + i] : MakeUndefined();
                NEXT();
            }
            CASE(OP_GETGLOBAL) : {
                Atom atom = static_cast<Atom>(*pc++);
                Value v = ctx->atomValues[atom];
                if (v.tag == ValueTag::Undefined) {
                    SYNC();
                    v = ReadGlobal(ctx, atom);
                }
                PUSH(v);
                NEXT();
            }
            CASE(OP_SETGLOBAL) : {
                Atom atom = static_cast<Atom>(*pc++);
                WriteGlobal(ctx, atom, TOP);
                ++sp;
                NEXT();
            }

            CASE(OP_ADD) : {
                Value& a = sp[2];
                const Value& b = sp[1];
                if (a.tag == ValueTag::Integer && b.tag == ValueTag::Integer) {
                    a.integer = static_cast<int64_t>(static_cast<uint64_t>(a.integer) +
                                                     static_cast<uint64_t>(b.integer));
                    ++sp;
                    NEXT();
                }
                Value r;
                if (!FloatAdd(a, b, &r)) {
                    SYNC();
                    r = OpAdd(ctx, a, b);
                }
                sp[2] = r;
                ++sp;
                CHECKPOINT();
                NEXT();
            }
            CASE(OP_SUB) : {
                Value& a = sp[2];
                const Value& b = sp[1];
                if (a.tag == ValueTag::Integer && b.tag == ValueTag::Integer) {
                    a.integer = static_cast<int64_t>(static_cast<uint64_t>(a.integer) -
                                                     static_cast<uint64_t>(b.integer));
                    ++sp;
                    NEXT();
                }
                BINARY_WITH_FAST_PATH(FloatSub, OpSub)
            }
            CASE(OP_LT) : CASE(OP_GT) : CASE(OP_LE) : CASE(OP_GE) : {
                Value& a = sp[2];
                const Value& b = sp[1];
                bool t;
                Value r;
                if (NumberRelate(op, OP_LT, OP_GT, OP_LE, a, b, &t)) {
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
                NEXT();
            }
            CASE(OP_MUL)
                : BINARY_WITH_FAST_PATH(NumberMul, OpMul) CASE(OP_DIV)
                : BINARY_WITH_FAST_PATH(NumberDiv, OpDiv) CASE(OP_MOD)
                : BINARY_WITH_FAST_PATH(IntegerMod, OpMod) CASE(OP_EQ) : CASE(OP_NE) : {
                bool same;
                if (!PlainLooseEquals(sp[2], sp[1], &same)) goto general_binary;
                sp[2] = MakeBoolean(op == OP_EQ ? same : !same);
                ++sp;
                NEXT();
            }
            CASE(OP_BITAND)
                : CASE(OP_BITOR) : CASE(OP_BITXOR) : CASE(OP_SHL) : CASE(OP_SHR) : CASE(OP_USHR) : {
            general_binary:
                SYNC();
                const Value& a = sp[2];
                const Value& b = sp[1];
                Value r;
                switch (op) {
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
                NEXT();
            }
            CASE(OP_STRICTEQ) : CASE(OP_STRICTNE) : {
                bool same = StrictEquals(sp[2], sp[1]);
                sp[2] = MakeBoolean(op == OP_STRICTEQ ? same : !same);
                ++sp;
                NEXT();
            }
            CASE(OP_NOT) : TOP = MakeBoolean(!ToBoolean(ctx, TOP));
            NEXT();
            CASE(OP_NEG) : {
                SYNC();
                Value r = OpNeg(ctx, TOP);
                TOP = r;
                NEXT();
            }
            CASE(OP_TYPEOF) : {
                SYNC();
                Value r = TypeOf(ctx, TOP);
                TOP = r;
                CHECKPOINT();
                NEXT();
            }
            CASE(OP_ADD2) : CASE(OP_INC1) : {
                // Generated code applies these to argument counts only; any
                // other value takes the general addition.
                int32_t n = op == OP_ADD2 ? 2 : 1;
                if (TOP.tag == ValueTag::Integer) {
                    TOP.integer = static_cast<int64_t>(static_cast<uint64_t>(TOP.integer) + n);
                    NEXT();
                }
                SYNC();
                Value r = OpAdd(ctx, TOP, MakeInteger(n));
                TOP = r;
                NEXT();
            }

            CASE(OP_JMP) : {
                int32_t d = static_cast<int32_t>(*pc++);
                ChargeJump(ctx, d);
                JUMP_BY(d);
                CheckStack(ctx, sp, 0);
                NEXT();
            }
            CASE(OP_JTRUEB) : CASE(OP_JFALSEB) : {
                int32_t d = static_cast<int32_t>(*pc++);
                bool set = static_cast<uint32_t>(TOP.bits) != 0;
                ++sp;
                if (set == (op == OP_JTRUEB)) {
                    ChargeJump(ctx, d);
                    JUMP_BY(d);
                }
                CheckStack(ctx, sp, 0);
                NEXT();
            }
            CASE(OP_JTRUE) : CASE(OP_JFALSE) : {
                int32_t d = static_cast<int32_t>(*pc++);
                bool truthy = ToBoolean(ctx, TOP) != 0;
                ++sp;
                if (truthy == (op == OP_JTRUE)) {
                    ChargeJump(ctx, d);
                    JUMP_BY(d);
                }
                CheckStack(ctx, sp, 0);
                NEXT();
            }

            CASE(OP_ROT) : {
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
                NEXT();
            }
            CASE(OP_SWAP) : {
                Value t = sp[1];
                sp[1] = sp[2];
                sp[2] = t;
                NEXT();
            }
            CASE(OP_SLIDE) : {
                int32_t n = static_cast<int32_t>(*pc++);
                sp[1 + n] = sp[1];
                sp += n;
                NEXT();
            }
            CASE(OP_POPN) : sp += static_cast<int32_t>(*pc++);
            NEXT();
            CASE(OP_POP) : ++sp;
            NEXT();
            CASE(OP_DUP) : {
                Value v = TOP;
                PUSH(v);
                NEXT();
            }
            CASE(OP_NOP) : NEXT();

            CASE(OP_GETMEMBER) : {
                Atom atom = static_cast<Atom>(*pc++);
                SYNC();
                Value r = ReadMember(ctx, TOP, atom);
                TOP = r;
                NEXT();
            }
            CASE(OP_SETMEMBER) : {
                Atom atom = static_cast<Atom>(*pc++);
                SYNC();
                WriteMember(ctx, sp[1], atom, sp[2]);
                sp += 2;
                CHECKPOINT();
                NEXT();
            }
            CASE(OP_GETELEM) : {
                SYNC();
                Value r = ReadElement(ctx, sp[2], sp[1]);
                sp[2] = r;
                ++sp;
                NEXT();
            }
            CASE(OP_SETELEM) : {
                SYNC();
                WriteElement(ctx, sp[2], sp[1], sp[3]);
                sp += 3;
                CHECKPOINT();
                NEXT();
            }
            CASE(OP_DELMEMBER) : {
                Atom atom = static_cast<Atom>(*pc++);
                SYNC();
                DeleteMember(ctx, TOP, atom);
                TOP = MakeUndefined();
                NEXT();
            }
            CASE(OP_DELELEM) : {
                SYNC();
                DeleteElementOf(ctx, sp[2], sp[1]);
                sp[2] = MakeUndefined();
                ++sp;
                NEXT();
            }
            CASE(OP_DELGLOBAL) : {
                Atom atom = static_cast<Atom>(*pc++);
                SYNC();
                DeleteVariable(&ctx->atomValues[atom]);
                TOP = MakeUndefined();
                NEXT();
            }
            CASE(OP_DELLOCAL) : {
                Value* slot = F - 4 - static_cast<int32_t>(*pc++);
                SYNC();
                if (slot > sp + 1 && slot <= F - 4) DeleteVariable(slot);
                TOP = MakeUndefined();
                NEXT();
            }
            CASE(OP_DELARG) : {
                Value* slot = F + 1 + static_cast<int32_t>(*pc++);
                SYNC();
                if (IS_ARG(slot)) DeleteVariable(slot);
                TOP = MakeUndefined();
                NEXT();
            }
            CASE(OP_FORINSTEP) : {
                SYNC();
                Value item;
                const Value& index = sp[1];
                bool more = index.tag == ValueTag::Integer &&
                            IterationStep(ctx, sp[2], index.integer, &item);
                if (!more) item = MakeUndefined();
                sp[2] = item;
                sp[1] = MakeBoolean(more);
                NEXT();
            }

            CASE(OP_WITH) : {
                Value scope = TOP;
                WithScopeBlock* block = WithScopesOf(F);
                uint32_t count = block == nullptr ? 0 : block->count;
                SYNC();
                block = static_cast<WithScopeBlock*>(
                    GcRealloc(ctx, block, sizeof(WithScopeBlock) + (count + 1) * sizeof(Value)));
                WithScopeEntries(block)[count] = scope;
                block->count = count + 1;
                F[-2].pointer = block;
                ++sp;
                NEXT();
            }
            CASE(OP_LEAVEWITH) : {
                uint32_t n = *pc++;
                WithScopeBlock* block = WithScopesOf(F);
                if (block != nullptr && block->count >= n) block->count -= n;
                NEXT();
            }
            CASE(OP_WITHGET) : {
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
                NEXT();
            }
            CASE(OP_WITHSET) : {
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
                NEXT();
            }
            CASE(OP_WITHDELETE) : {
                Atom atom = static_cast<Atom>(*pc++);
                SYNC();
                WithScopeBlock* block = WithScopesOf(F);
                Value found;
                for (uint32_t i = 0; block != nullptr && i < block->count; ++i) {
                    const Value& scope = WithScopeEntries(block)[i];
                    if (scope.tag == ValueTag::Object &&
                        GetProperty(ctx, scope.object, atom, &found)) {
                        DeleteProperty(ctx, scope.object, atom);
                        break;
                    }
                }
                TOP = MakeUndefined();
                NEXT();
            }

            CASE(OP_CALL) : SYNC();
            CallTop(ctx, F, sp, pc);
            NEXT();
            CASE(OP_CALLMETHOD) : {
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
                    case MethodKind::Script: EnterFrame(ctx, F, sp, pc, function); break;
                    case MethodKind::Missing:
                        TraceLinef("Warning: unknown method \"%s\"", AtomName(ctx, method));
                        PUSH(MakeUndefined());
                        break;
                }
                NEXT();
            }
            CASE(OP_WITHCALL) : {
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
                            EnterFrame(ctx, F, sp, pc, function);
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
                        EnterFrame(ctx, F, sp, pc, function);
                        done = true;
                    }
                }
                if (!done) CallTop(ctx, F, sp, pc);
                NEXT();
            }
            CASE(OP_NEW) : {
                SYNC();
                CheckArgList(ctx, sp + 2);
                Value callee = TOP;
                if (callee.tag == ValueTag::Function) {
                    TOP = NewInstanceOf(ctx, callee);
                    EnterFrame(ctx, F, sp, pc, callee);
                    CHECKPOINT();
                    NEXT();
                }
                ChargeBudget(ctx, 1);
                if (ConstructNative(ctx, callee, sp + 2, &sp[1])) {
                    PUSH(MakeUndefined());
                } else {
                    TraceLine("Warning: invalid constructor");
                    PUSH(MakeNull());
                }
                CHECKPOINT();
                NEXT();
            }

            CASE(OP_ARGPAD) : {
                int32_t n = static_cast<int32_t>(*pc++);
                Value c = TOP;
                ++sp;
                int64_t given = c.tag == ValueTag::Integer ? c.integer : n;
                if (given >= 0 && given < n) {
                    // Padding moves the frame: it happens once, before any
                    // try handler points at the frame, and only over slots
                    // the frame has.
                    if (InfoAdded(F[-1]) != 0 || FrameHasHandler(ctx, run, F) ||
                        given >= ARGS_END() - F) {
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
                NEXT();
            }
            CASE(OP_LOCALS) : {
                int32_t n = static_cast<int32_t>(*pc++);
                if (n < 0) n = 0;
                CheckStack(ctx, sp, n);
                for (int32_t i = 0; i < n; ++i) PUSH(MakeUndefined());
                NEXT();
            }

            CASE(OP_RETURN) : CASE(OP_END) : {
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
                NEXT();
            }

            CASE(OP_TRY) : {
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
                NEXT();
            }
            CASE(OP_LEAVETRY) : DropHandlersOf(ctx, run, static_cast<int32_t>(*pc++));
            NEXT();
            CASE(OP_THROW) : {
                SYNC();
                ThrowValue(ctx, TOP);
            }

            default:
            op_default:
                SYNC();
                BadBytecode(ctx);
        }
    }

#undef TOP
#undef PUSH
#undef SYNC
#undef JUMP_BY
#undef CHECKPOINT
#undef BINARY_WITH_FAST_PATH
#undef ARGS_END
#undef IS_ARG
#undef IS_LOCAL
#undef CASE
#undef NEXT
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
    const Value* entering = context->enteringFunction;
    context->enteringFunction = nullptr;
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
    // the last to the count, then the receiver. A caller's own value of the
    // function serves as well as a new one, and costs no allocation (a sort
    // comparator or a timer runs here thousands of times).
    Value self = entering != nullptr && entering->tag == ValueTag::Function &&
                         entering->function->code == function
                     ? *entering
                     : NewFunctionValue(context, function);
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
                if (v->tag == ValueTag::FrameLink || v->tag == ValueTag::FrameInfo)
                    *v = MakeUndefined();
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

void InstallInterpreter() { SetDefaultInterpreterEntry(Interpret, FunctionNameAt, SourceLineAt); }

}  // namespace kelpo
