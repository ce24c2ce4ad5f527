// Context lifecycle, atoms, context allocation and error frames.
#include <cstring>
#include <string>

#include "runtime/atoms.h"
#include "runtime/registration.h"
#include "runtime/native.h"
#include "runtime/strings.h"
#include "tests/unit/test_support.h"

namespace kelpo {
namespace {

using test::ContextTest;

TEST_F(ContextTest, FirstFiveAtomsAreFixed) {
    const char* expected[] = {"__proto__", "prototype", "toSource", "toString", "valueOf"};
    for (Atom a = 0; a < 5; ++a) {
        EXPECT_STREQ(AtomName(ctx, a), expected[a]);
        EXPECT_EQ(InternAtom(ctx, expected[a]), a);
    }
    EXPECT_EQ(ctx->atomToString, kAtomToString);
}

TEST_F(ContextTest, InterningIsIdempotentAndNumbersInOrder) {
    Atom first = InternAtom(ctx, "alpha");
    Atom second = InternAtom(ctx, "beta");
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(InternAtom(ctx, "alpha"), first);
    // InternAtomN hashes only `length` bytes of a longer buffer.
    const char buffer[] = "alpha\0junk";
    EXPECT_EQ(InternAtomN(ctx, buffer, 5), first);
}

TEST_F(ContextTest, UnassignedGlobalReadsUndefinedAndUnknownAtomIsQuestionMarks) {
    Atom a = InternAtom(ctx, "neverAssigned");
    EXPECT_EQ(ctx->atomValues[a].tag, ValueTag::Undefined);
    EXPECT_STREQ(AtomName(ctx, a), "neverAssigned");
    EXPECT_STREQ(AtomName(ctx, 999999), "???");
    EXPECT_STREQ(AtomName(ctx, -1), "???");
}

TEST_F(ContextTest, AtomNameSurvivesAssignmentOfTheGlobal) {
    Atom a = InternAtom(ctx, "assigned");
    ctx->atomValues[a] = MakeInteger(7);
    EXPECT_STREQ(AtomName(ctx, a), "assigned");  // found by searching the buckets
}

TEST_F(ContextTest, GlobalTableGrowsBy1024KeepingValues) {
    Atom first = InternAtom(ctx, "g0");
    ctx->atomValues[first] = MakeInteger(42);
    EXPECT_EQ(ctx->atomCapacity, 1024u);
    std::string name;
    int created = 1;
    while (ctx->atomCount < 1025) {
        name = "g" + std::to_string(created);
        Atom a = InternAtom(ctx, name.c_str());
        ctx->atomValues[a] = MakeInteger(created++);
    }
    EXPECT_EQ(ctx->atomCapacity, 2048u);
    EXPECT_EQ(ctx->atomValues[first].integer, 42);
    for (int i = 1; i < created; ++i) {
        name = "g" + std::to_string(i);
        Atom a = InternAtom(ctx, name.c_str());
        ASSERT_EQ(ctx->atomValues[a].integer, i) << name;
    }
}

TEST(ContextLifecycle, NewContextSetsDocumentedFields) {
    ScriptContext* ctx = NewContext(100, 2, reinterpret_cast<void*>(0x1234), 3);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(ctx->userData, reinterpret_cast<void*>(0x1234));
    EXPECT_EQ(ctx->options, 1u | 4u);
    EXPECT_EQ(ctx->engineCounter, 1);
    EXPECT_EQ(ctx->stackSlots, 100);
    EXPECT_EQ(ctx->stackPointer, ctx->stackBase + 99);
    EXPECT_EQ(ctx->heap.threshold, 0x200000u);
    EXPECT_EQ(ctx->errorFrames, nullptr);
    DestroyContext(ctx);
}

// ---- Errors during creation ---------------------------------------------------

int gFinalized = 0;

void CountFinalize(NativeClass*, void* data) {
    ++gFinalized;
    ContextFree(data);
}

void RegisterThenFail(ScriptContext* context) {
    // Allocates a class, an instance with private data and a global before
    // failing, so the cleanup path has something of every kind to release.
    NativeClass* klass = NewNativeClass(context);
    klass->finalize = CountFinalize;
    klass->data = ContextAlloc(context, 64);
    klass->freeData = ContextFree;
    BindGlobalClass(context, "Doomed", klass);
    Value instance = BindNative(context, klass, ContextAlloc(context, 32));
    SetGlobal(context, "doomedInstance", instance);
    RaiseErrorf(context, "registration failed");
}

TEST(ContextLifecycle, ErrorDuringRegistrationReleasesEverything) {
    gFinalized = 0;
    SetExtraRegistration(RegisterThenFail);
    ScriptContext* ctx = NewContext(4096, 2, nullptr, 0);
    SetExtraRegistration(nullptr);
    EXPECT_EQ(ctx, nullptr);
    // Both the instance and the class object were finalized; leaks of the
    // data blocks would be reported by the address sanitizer.
    EXPECT_EQ(gFinalized, 2);
}

// ---- Error frames -------------------------------------------------------------

TEST_F(ContextTest, RaiseRewritesTextAndReturnsToTheFrame) {
    Value* sp = ctx->stackPointer;
    bool ok = Run([&] {
        ctx->stackPointer -= 3;  // pretend something was pushed
        RaiseErrorf(ctx, "bad thing %d", 7);
    });
    EXPECT_FALSE(ok);
    EXPECT_STREQ(ctx->errorText, "Runtime error: bad thing 7");
    EXPECT_EQ(ctx->stackPointer, sp);
    EXPECT_EQ(ctx->errorFrames, nullptr);
}

TEST_F(ContextTest, FrameAskingForAValueReceivesTheTextAsString) {
    ErrorFrameGuard guard(ctx, /*storeAsValue=*/true);
    try {
        RaiseErrorf(ctx, "oops");
    } catch (const ScriptRaise&) {}
    EXPECT_TRUE(StringEquals(guard.frame().error, "Runtime error: oops"));
}

TEST_F(ContextTest, NestedFramesUnwindOnlyToTheirOwn) {
    bool outer = Run([&] {
        bool inner = Run([&] { RaiseErrorf(ctx, "inner"); });
        EXPECT_FALSE(inner);
        ASSERT_NE(ctx->errorFrames, nullptr);  // the outer frame is still linked
        // Heap frames left above a frame (try handlers of a run that raised)
        // are freed when the frame's owner leaves.
        auto* handler = static_cast<ErrorFrame*>(ContextCalloc(ctx, 1, sizeof(ErrorFrame)));
        handler->onHeap = true;
        handler->previous = ctx->errorFrames;
        ctx->errorFrames = handler;
    });
    EXPECT_TRUE(outer);
    EXPECT_EQ(ctx->errorFrames, nullptr);
}

TEST_F(ContextTest, ContextAllocationFailureRaisesOutOfMemory) {
    EXPECT_EQ(ContextAlloc(nullptr, SIZE_MAX / 2), nullptr);
    bool ok = Run([&] { ContextAlloc(ctx, SIZE_MAX / 2); });
    EXPECT_FALSE(ok);
    EXPECT_STREQ(ctx->errorText, "Runtime error: Out of memory");
}

TEST_F(ContextTest, StringDuplicatesIncludeTheTerminator) {
    char* copy = ContextStrDup(ctx, "abc");
    EXPECT_STREQ(copy, "abc");
    ContextFree(copy);
    char16_t* wide = ContextWcsDup(ctx, u"xy");
    EXPECT_EQ(wide[0], u'x');
    EXPECT_EQ(wide[2], 0);
    ContextFree(wide);
    ContextFree(nullptr);
}

}  // namespace
}  // namespace kelpo
