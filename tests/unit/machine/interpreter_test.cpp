// The interpreter, driven by hand-assembled images: frames and calls,
// argument padding, returns, try handlers, with scopes, natives that call
// back into script code, collection checkpoints and the stack limit.
#include <iterator>
#include <string>

#include "compiler/dispatch_slots.h"
#include "compiler/interpreter.h"
#include "compiler/opcodes.h"
#include "runtime/atoms.h"
#include "runtime/call.h"
#include "runtime/function.h"
#include "runtime/gc.h"
#include "runtime/native.h"
#include "runtime/object.h"
#include "runtime/strings.h"
#include "tests/unit/machine/machine_support.h"

namespace kelpo {
namespace {

using test::MachineTest;

const char kFib[] = R"(
function fib
    GETARG 1
    ADD2
    ARGPAD 3
    GETARG 2
    PUSH2
    LT
    JFALSEB recurse
    GETARG 2
    RETURN
recurse:
    GETARG 2
    PUSH1
    SUB
    PUSH1
    GETGLOBAL fib
    CALL
    SLIDE 3
    GETARG 2
    PUSH2
    SUB
    PUSH1
    GETGLOBAL fib
    CALL
    SLIDE 3
    ADD
    RETURN
)";

TEST_F(MachineTest, RecursiveCallsReturnThroughFrames) {
    std::string program = std::string(kFib) + R"(
function .main
    PUSHCONST 20
    PUSH1
    GETGLOBAL fib
    CALL
    SLIDE 3
)";
    Value* sp = ctx->stackPointer;
    ASSERT_EQ(RunAsm(program), 1) << ctx->errorText;
    EXPECT_EQ(ctx->result.tag, ValueTag::Integer);
    EXPECT_EQ(ctx->result.integer, 6765);
    EXPECT_EQ(ctx->stackPointer, sp);
}

TEST_F(MachineTest, MissingArgumentsArePaddedAndTheCallerStackIsRestored) {
    // f(a, b, c) called with one argument returns [typeof c, count, a]
    // packed as a + 100 * count when c is undefined.
    const char program[] = R"(
function f
    GETARG 1
    ADD2
    ARGPAD 5
    GETARG 4
    TYPEOF
    PUSHCONST "undefined"
    STRICTEQ
    JFALSEB bad
    GETARG 2
    GETARG 1
    PUSHCONST 100
    MUL
    ADD
    RETURN
bad:
    PUSHCONST -1
    RETURN
function .main
    PUSHCONST 77        ; a value the call must leave alone
    PUSHCONST 7
    PUSH1
    GETGLOBAL f
    CALL
    SLIDE 3
    SWAP
    SETGLOBAL kept
)";
    ASSERT_EQ(RunAsm(program), 1) << ctx->errorText;
    EXPECT_EQ(ctx->result.integer, 107);
    EXPECT_EQ(Global("kept").integer, 77);
}

TEST_F(MachineTest, NewYieldsTheConstructedObjectNotTheReturnValue) {
    const char program[] = R"(
function Point
    GETARG 1
    ADD2
    ARGPAD 3
    GETARG 2
    GETARG 0
    SETMEMBER x
    PUSHCONST "ignored"
    RETURN
function .main
    PUSHCONST 5
    PUSH1
    GETGLOBAL Point
    NEW
    SWAP
    SLIDE 3
    SETGLOBAL p
    GETGLOBAL p
    GETMEMBER x
)";
    ASSERT_EQ(RunAsm(program), 1) << ctx->errorText;
    EXPECT_EQ(ctx->result.integer, 5);
    Value p = Global("p");
    ASSERT_EQ(p.tag, ValueTag::Object);
    // The shared members of instances are the function's own properties.
    Value point = Global("Point");
    EXPECT_EQ(p.object->slots[0].value.object, point.function->props);
}

TEST_F(MachineTest, RotationsMoveValuesAsDocumented) {
    struct Case {
        const char* rot;
        const char* expected;  // stack from deep to top after the rotation
    } cases[] = {
        {"ROT -3", "acdb"}, {"ROT 4", "dabc"},  {"ROT 2", "abdc"},  {"ROT 1", "abcd"},
        {"ROT 0", "abcd"},  {"ROT -1", "abcd"}, {"ROT -2", "abdc"},
    };
    for (const Case& c : cases) {
        // Push a b c d, rotate, then concatenate the four from deep to top
        // (ROT -3 on a b c d moves b, at depth 2, to the top).
        std::string program = std::string(R"(
function .main
    PUSHCONST "a"
    PUSHCONST "b"
    PUSHCONST "c"
    PUSHCONST "d"
    )") + c.rot + R"(
    SETGLOBAL d4
    SETGLOBAL d3
    SETGLOBAL d2
    SETGLOBAL d1
    GETGLOBAL d1
    GETGLOBAL d2
    ADD
    GETGLOBAL d3
    ADD
    GETGLOBAL d4
    ADD
)";
        ASSERT_EQ(RunAsm(program), 1) << ctx->errorText;
        EXPECT_EQ(test::Utf8(ctx->result), c.expected) << c.rot;
    }
}

void Boom(ScriptContext* context, NativeClass*, void*, Value*, Value*) {
    RaiseErrorf(context, "boom");
}

TEST_F(MachineTest, TryHandlersCatchRaisesAsRuntimeErrorText) {
    RegisterGlobalFunction(ctx, "boom", Boom);
    const char program[] = R"(
function .main
    PUSHCONST "left on the stack"
    TRY handler
    PUSHCONST 1
    PUSHCONST 2
    PUSH0
    GETGLOBAL boom
    CALL
    SLIDE 2
    POPN 3
    LEAVETRY 1
    PUSHCONST "not reached"
    JMP done
handler:
done:
    SETGLOBAL caught
    SETGLOBAL below
    PUSHUNDEF
)";
    ASSERT_EQ(RunAsm(program), 1) << ctx->errorText;
    EXPECT_EQ(test::Utf8(Global("caught")), "Runtime error: boom");
    EXPECT_EQ(test::Utf8(Global("below")), "left on the stack");
    EXPECT_EQ(ctx->errorFrames, nullptr);
}

TEST_F(MachineTest, ThrowReachesAHandlerAcrossFramesOrTheHostAsText) {
    const char thrower[] = R"(
function thrower
    GETARG 1
    ADD2
    ARGPAD 2
    PUSHCONST 42
    THROW
)";
    std::string caught = std::string(thrower) + R"(
function .main
    TRY handler
    PUSH0
    GETGLOBAL thrower
    CALL
    SLIDE 2
    LEAVETRY 1
handler:
    SETGLOBAL caught
    PUSHUNDEF
)";
    ASSERT_EQ(RunAsm(caught), 1) << ctx->errorText;
    EXPECT_EQ(Global("caught").integer, 42);  // the value itself, not text

    std::string uncaught = std::string(thrower) + R"(
function .main
    PUSH0
    GETGLOBAL thrower
    CALL
)";
    Value* sp = ctx->stackPointer;
    EXPECT_EQ(RunAsm(uncaught), 0);
    EXPECT_STREQ(ctx->errorText, "42");  // no "Runtime error: " prefix
    EXPECT_EQ(ctx->stackPointer, sp);
    EXPECT_EQ(ctx->errorFrames, nullptr);
}

TEST_F(MachineTest, UnboundedRecursionIsACatchableStackOverflow) {
    const char program[] = R"(
function down
    GETARG 1
    ADD2
    ARGPAD 2
    PUSH0
    GETGLOBAL down
    CALL
    SLIDE 2
    RETURN
function .main
    TRY handler
    PUSH0
    GETGLOBAL down
    CALL
    SLIDE 2
    LEAVETRY 1
handler:
    SETGLOBAL caught
    PUSHUNDEF
)";
    ASSERT_EQ(RunAsm(program), 1) << ctx->errorText;
    EXPECT_EQ(test::Utf8(Global("caught")), "Runtime error: stack overflow");
    // Without a handler the run fails with the same text.
    const char bare[] = R"(
function .main
    PUSH0
    GETGLOBAL down
    CALL
)";
    EXPECT_EQ(RunAsm(bare), 0);
    EXPECT_STREQ(ctx->errorText, "Runtime error: stack overflow");
}

TEST_F(MachineTest, StraightLinePushesNeverRunOffTheStack) {
    // A loop that pushes without popping: every jump checks that the pushes
    // up to the next jump still fit.
    EXPECT_EQ(RunAsm("function .main\nloop:\n PUSH1\n PUSH1\n PUSH1\n JMP loop\n"), 0);
    EXPECT_STREQ(ctx->errorText, "Runtime error: stack overflow");
}

TEST_F(MachineTest, UnitsThatBreakTheStackDisciplineAreRefused) {
    struct Case {
        const char* what;
        const char* program;
    } cases[] = {
        // Popping into the frame record would corrupt it.
        {"pop below the frame", "function .main\n POP\n PUSH0\n"},
        {"slide below the frame", "function .main\n PUSH0\n SLIDE 3\n"},
        // END and RETURN need the value they hand back.
        {"end without a value", "function .main\n PUSH0\n POP\n"},
        {"a path that pops what another did not push",
         "function .main\n PUSHTRUE\n JTRUEB join\n PUSH1\njoin:\n POP\n POP\n PUSH0\n"},
        {"halt", "function .main\n HALT\n PUSH0\n"},
        // A call whose count is missing or claims more than the stack holds.
        {"call without a count", "function .main\n GETGLOBAL f\n CALL\n"},
        {"count beyond the stack", "function .main\n PUSHINT 1000000\n GETGLOBAL f\n CALL\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunAsm(c.program), 0) << c.what;
        EXPECT_STREQ(ctx->errorText, "Runtime error: Unimplemented Kelpo Script bytecode")
            << c.what;
    }
}

TEST_F(MachineTest, WildOperandsNeverReachAFrameRecord) {
    // Operands of a damaged or crafted image that point at a frame record
    // (the caller's, or the running frame's own) read as undefined and write
    // nowhere; the calls still return through intact records.
    struct Case {
        const char* what;
        const char* program;
        const char* result;
    } cases[] = {
        {"local below the locals", "function .main\n GETLOCAL -1\n TYPEOF\n", "undefined"},
        {"argument at the caller's record",
         "function f\n GETARG 2\n TYPEOF\n RETURN\n"
         "function .main\n PUSH0\n GETGLOBAL f\n CALL\n SLIDE 1\n",
         "undefined"},
        {"argument by index at the caller's record",
         "function f\n PUSHINT 2\n ARGAT\n TYPEOF\n RETURN\n"
         "function .main\n PUSH0\n GETGLOBAL f\n CALL\n SLIDE 1\n",
         "undefined"},
        {"store over the caller's record",
         "function f\n PUSHCONST \"x\"\n SETARG 2\n PUSHCONST \"x\"\n SETARG 5\n PUSH0\n RETURN\n"
         "function .main\n PUSH0\n GETGLOBAL f\n CALL\n POP\n PUSHCONST \"returned\"\n",
         "returned"},
        {"store over the own record",
         "function f\n PUSH1\n SETLOCAL -2\n PUSH1\n SETLOCAL -3\n PUSH0\n RETURN\n"
         "function .main\n PUSH0\n GETGLOBAL f\n CALL\n POP\n PUSHCONST \"returned\"\n",
         "returned"},
        {"argument-count step on a String", "function .main\n PUSHCONST \"a\"\n ADD2\n INC1\n",
         "a21"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(RunAsm(c.program), 1) << c.what << ": " << ctx->errorText;
        EXPECT_EQ(test::Utf8(ctx->result), c.result) << c.what;
    }
}

TEST_F(MachineTest, CraftedFrameMovesAndLeftoverHandlersAreRefused) {
    struct Case {
        const char* what;
        const char* program;
        const char* error;
    } cases[] = {
        // Padding claims more given slots than the frame has.
        {"padding past the arguments",
         "function f\n PUSHINT 50\n ARGPAD 60\n PUSH0\n RETURN\n"
         "function .main\n PUSH0\n GETGLOBAL f\n CALL\n SLIDE 1\n",
         "Runtime error: Unimplemented Kelpo Script bytecode"},
        // A second padding would lose the first one's record.
        {"padding twice",
         "function f\n GETARG 1\n ADD2\n ARGPAD 4\n GETARG 1\n ADD2\n ARGPAD 6\n PUSH0\n RETURN\n"
         "function .main\n PUSH0\n GETGLOBAL f\n CALL\n SLIDE 1\n",
         "Runtime error: Unimplemented Kelpo Script bytecode"},
        // Padding would move a frame a handler points at (the handler
        // itself receives the error and passes it on).
        {"padding under a handler",
         "function f\n TRY h\n GETARG 1\n ADD2\n ARGPAD 6\n PUSH0\n RETURN\nh:\n THROW\n"
         "function .main\n PUSH0\n GETGLOBAL f\n CALL\n SLIDE 1\n",
         "Runtime error: Unimplemented Kelpo Script bytecode"},
        // A handler its frame never left goes with the frame: the later
        // throw reaches the host instead of a frame that is gone.
        {"handler left behind by a return",
         "function f\n TRY h\n PUSH0\n RETURN\nh:\n RETURN\n"
         "function .main\n PUSH0\n GETGLOBAL f\n CALL\n SLIDE 1\n PUSHCONST \"boom\"\n THROW\n",
         "boom"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunAsm(c.program), 0) << c.what;
        EXPECT_STREQ(ctx->errorText, c.error) << c.what;
    }
}

TEST_F(MachineTest, WithScopesResolveFromTheOutermost) {
    const char program[] = R"(
function .main
    GETGLOBAL a
    WITH
    GETGLOBAL b
    WITH
    WITHGET x           ; a.x although b has x too
    SETGLOBAL seen
    PUSHCONST 9
    WITHSET y           ; only b has y
    PUSHCONST 10
    WITHSET fresh       ; nobody has it: a global
    LEAVEWITH 2
    WITHGET x           ; no scope left: the global
)";
    ScriptObject* a = NewObject(ctx);
    ScriptObject* b = NewObject(ctx);
    PutProperty(ctx, a, InternAtom(ctx, "x"), MakeInteger(1));
    PutProperty(ctx, b, InternAtom(ctx, "x"), MakeInteger(2));
    PutProperty(ctx, b, InternAtom(ctx, "y"), MakeInteger(0));
    SetGlobal(ctx, "a", MakeObject(a));
    SetGlobal(ctx, "b", MakeObject(b));
    SetGlobal(ctx, "x", MakeInteger(3));
    ASSERT_EQ(RunAsm(program), 1) << ctx->errorText;
    EXPECT_EQ(Global("seen").integer, 1);
    EXPECT_EQ(FindOwnProperty(ctx, b, InternAtom(ctx, "y"))->integer, 9);
    EXPECT_EQ(Global("fresh").integer, 10);
    EXPECT_EQ(ctx->result.integer, 3);
}

// A native that calls the script function it is given.
void CallBack(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    Value callArgs[] = {MakeInteger(1), MakeInteger(20)};
    if (CallFunction(context, nullptr, &args[1], 2, callArgs)) {
        *out = context->result;
    } else {
        *out = NewStringFromCString(context, context->errorText);
    }
}

TEST_F(MachineTest, NativesCallBackIntoScriptOnTheSameStack) {
    RegisterGlobalFunction(ctx, "callBack", CallBack);
    std::string program = std::string(kFib) + R"(
function .main
    PUSHCONST 1000
    GETGLOBAL fib
    PUSH1
    GETGLOBAL callBack
    CALL
    SLIDE 3
    ADD
)";
    ASSERT_EQ(RunAsm(program), 1) << ctx->errorText;
    EXPECT_EQ(ctx->result.integer, 7765);
}

TEST_F(MachineTest, RunningCodeSurvivesLosingItsLastReference) {
    // f drops the only reference to itself, then allocates enough to make
    // every checkpoint collect, and keeps running.
    ctx->heap.threshold = 0;
    const char program[] = R"(
function f
    GETARG 1
    ADD2
    ARGPAD 2
    PUSHNULL
    SETGLOBAL f
    PUSHCONST "a"
    PUSHCONST "b"
    ADD
    PUSHCONST "c"
    ADD
    RETURN
function .main
    PUSH0
    GETGLOBAL f
    CALL
    SLIDE 2
)";
    ASSERT_EQ(RunAsm(program), 1) << ctx->errorText;
    EXPECT_EQ(test::Utf8(ctx->result), "abc");
}

int gFinalized = 0;
void CountFinalize(NativeClass*, void* data) {
    if (data != nullptr) ++gFinalized;
    ContextFree(data);
}

TEST_F(MachineTest, DeletingAVariableHoldingAHostObjectFinalizesIt) {
    gFinalized = 0;
    NativeClass* klass = NewNativeClass(ctx);
    klass->finalize = CountFinalize;
    SetGlobal(ctx, "h", BindNative(ctx, klass, ContextAlloc(ctx, 4)));
    SetGlobal(ctx, "n", MakeInteger(5));
    const char program[] = R"(
function .main
    PUSHNULL
    DELGLOBAL h
    SETGLOBAL r1
    PUSHNULL
    DELGLOBAL n
)";
    ASSERT_EQ(RunAsm(program), 1) << ctx->errorText;
    EXPECT_EQ(gFinalized, 1);
    EXPECT_EQ(Global("h").tag, ValueTag::Undefined);
    EXPECT_EQ(Global("n").integer, 5);  // numbers are left alone
    EXPECT_EQ(Global("r1").tag, ValueTag::Undefined);
    EXPECT_EQ(ctx->result.tag, ValueTag::Undefined);
}

TEST_F(MachineTest, WarningsGoToTheTraceAndExecutionContinues) {
    const char program[] = R"(
function .main
    GETGLOBAL nowhere
    POP
    PUSH0
    PUSHUNDEF
    CALL
    POP
    POP
    PUSH0
    PUSHUNDEF
    NEW
    POP
    POP
    PUSH0
    PUSHNULL
    CALLMETHOD nothing
    POP
    POP
    PUSHCONST 1
)";
    ASSERT_EQ(RunAsm(program), 1) << ctx->errorText;
    EXPECT_EQ(trace.text(),
              "Warning: using undefined variable \"nowhere\"\r\n"
              "Warning: call a undefined function\r\n"
              "Warning: invalid constructor\r\n"
              "Warning: unknown method \"nothing\"\r\n");
    EXPECT_EQ(ctx->result.integer, 1);
}

int gHookCalls = 0;
int StopOnSecondCollection(int code, void*) { return code == 2 && ++gHookCalls == 2 ? 7 : 0; }

TEST_F(MachineTest, DebugHookCanStopARunAtACheckpoint) {
    gHookCalls = 0;
    ctx->heap.threshold = 0;
    ctx->debugHook = StopOnSecondCollection;
    const char program[] = R"(
function .main
loop:
    PUSHCONST "x"
    PUSHCONST "y"
    ADD
    POP
    JMP loop
)";
    EXPECT_EQ(RunAsm(program), 0);
    EXPECT_STREQ(ctx->errorText, "Runtime error: hook break 7");
}

TEST_F(MachineTest, DiagnosticsLocateTheRunningUnit) {
    EXPECT_STREQ(FunctionNameAt(ctx, nullptr), ".main");
    ASSERT_EQ(RunAsm(std::string(kFib) + "function .main\n PUSH1\n"), 1);
    Value fib = Global("fib");
    ASSERT_EQ(fib.tag, ValueTag::Function);
    EXPECT_STREQ(FunctionNameAt(ctx, fib.function->code->words + 3), "fib");
}

}  // namespace
}  // namespace kelpo

namespace kelpo {
namespace {

// The opcode words with a handler, written out apart from opcode_list.h.
struct HandledRange {
    uint32_t first, last;
};
const HandledRange kHandled[] = {
    {33, 112},   // WITHCALL .. DELARG
    {200, 202},  // the fused opcodes
};

bool IsHandled(uint32_t op) {
    for (const HandledRange& r : kHandled) {
        if (op >= r.first && op <= r.last) return true;
    }
    return false;
}

TEST(Dispatch, EveryOpcodeWordReachesTheHandlerListedForIt) {
    struct Listed {
        const char* name;
        uint32_t number;
    };
#define LISTED(name, number, ...) {#name, number},
    const Listed listed[] = {KELPO_DISPATCHED_OPCODES(LISTED)};
#undef LISTED
    // Handler k + 1 is the k-th listed opcode's; 0 is the invalid-opcode one.
    for (size_t k = 0; k < std::size(listed); ++k) {
        EXPECT_EQ(kHandlerOfSlot[listed[k].number], k + 1) << listed[k].name;
    }
    for (uint32_t op = 0; op < kDispatchSlots; ++op) {
        EXPECT_EQ(kHandlerOfSlot[op] != 0, IsHandled(op)) << op;
    }
    for (const Listed& image : listed) {
        if (image.number > kLastOpcode) continue;  // fused
        EXPECT_EQ(OpcodeByName(image.name), static_cast<int>(image.number)) << image.name;
    }
}

}  // namespace
}  // namespace kelpo
