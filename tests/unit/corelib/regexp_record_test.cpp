// The RegExp class seen from the host: construction as the image loader
// does it, and the class-wide match record surviving collections.
#include <cstring>

#include "runtime/atoms.h"
#include "runtime/call.h"
#include "runtime/gc.h"
#include "runtime/member.h"
#include "runtime/native.h"
#include "runtime/strings.h"
#include "tests/unit/test_support.h"

namespace kelpo {
namespace {

using test::ContextTest;
using test::Utf8;

Value Text(ScriptContext* ctx, const char* ascii) { return NewStringFromCString(ctx, ascii); }

// new RegExp(pattern, flags) through the class's construct callback, the
// way regular-expression constants are built.
Value Construct(ScriptContext* ctx, const char* pattern, const char* flags) {
    const Value global = GetGlobal(ctx, "RegExp");
    EXPECT_EQ(global.tag, ValueTag::Native);
    NativeClass* klass = global.native->klass;
    Value args[3] = {MakeInteger(2), Text(ctx, pattern), Text(ctx, flags)};
    Value out = MakeUndefined();
    klass->construct(ctx, klass, args, &out);
    return out;
}

Value Member(ScriptContext* ctx, const Value& target, const char* name) {
    Value out = MakeUndefined();
    GetMember(ctx, target, InternAtom(ctx, name), &out);
    return out;
}

void Collect(ScriptContext* ctx) { CollectGarbage(ctx, nullptr, ctx->stackPointer); }

// Takes every free block of the heap, overwriting what freed blocks held.
void Scribble(ScriptContext* ctx) {
    for (int i = 0; i < 4000000 && ctx->heap.freeBytes >= 16; ++i) memset(GcAlloc(ctx, 8), 0xAB, 8);
}

TEST_F(ContextTest, ConstructorTakesPatternAndFlagLetters) {
    Value re = Construct(ctx, "a+b", "gim");
    ASSERT_EQ(re.tag, ValueTag::Native);
    Value none[1] = {MakeInteger(0)};
    ASSERT_EQ(CallMethod(ctx, &re, "toString", 1, none), 1) << ctx->errorText;
    EXPECT_EQ(Utf8(ctx->result), "/a+b/gim");
    EXPECT_EQ(Utf8(Member(ctx, re, "source")), "a+b");
    EXPECT_EQ(Member(ctx, re, "global").boolean, 1);
    EXPECT_EQ(Member(ctx, re, "ignoreCase").boolean, 1);
    EXPECT_EQ(Member(ctx, re, "multiline").boolean, 1);
    EXPECT_EQ(Member(ctx, re, "lastIndex").integer, 0);

    test::TraceCapture trace;
    EXPECT_EQ(Construct(ctx, "(", "").tag, ValueTag::Null);
    EXPECT_EQ(trace.text(), "RegExp runtime error: Unmatched marking parenthesis ( or \\(.\r\n");
}

TEST_F(ContextTest, LastInputSurvivesCollections) {
    Value re = Construct(ctx, "w(\\d)w(\\d)", "");
    SetGlobal(ctx, "re", re);
    {
        // The input is referenced by nothing but the call's argument.
        Value args[2] = {MakeInteger(1), Text(ctx, "w0w1w2w3")};
        ASSERT_EQ(CallMethod(ctx, &re, "test", 2, args), 1) << ctx->errorText;
    }
    Collect(ctx);
    Scribble(ctx);
    Collect(ctx);
    Scribble(ctx);
    const Value klass = GetGlobal(ctx, "RegExp");
    EXPECT_EQ(Utf8(Member(ctx, klass, "input")), "w0w1w2w3");
    EXPECT_EQ(Utf8(Member(ctx, klass, "$2")), "1");
    EXPECT_EQ(Utf8(Member(ctx, re, "rightContext")), "w2w3");
}

TEST_F(ContextTest, UnreachableInstancesAreReleased) {
    // Leak checking covers the compiled expressions and pattern copies.
    for (int i = 0; i < 50; ++i) Construct(ctx, "(a|b)*c", "g");
    Collect(ctx);
    Value kept = Construct(ctx, "x", "");
    SetGlobal(ctx, "kept", kept);
    Collect(ctx);
    Value args[2] = {MakeInteger(1), Text(ctx, "axb")};
    ASSERT_EQ(CallMethod(ctx, &kept, "test", 2, args), 1) << ctx->errorText;
    EXPECT_EQ(ctx->result.tag, ValueTag::Boolean);
    EXPECT_EQ(ctx->result.boolean, 1);
}

}  // namespace
}  // namespace kelpo
