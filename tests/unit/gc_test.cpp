// The collected heap: size classes, chunks, reuse, merging, roots and
// finalization.
#include <cstring>

#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/gc.h"
#include "runtime/native.h"
#include "runtime/object.h"
#include "runtime/strings.h"
#include "tests/unit/test_support.h"

namespace kelpo {
namespace {

using test::ContextTest;

void Collect(ScriptContext* ctx) { CollectGarbage(ctx, nullptr, ctx->stackPointer); }

TEST(GcSizeClasses, FreeListIndexAndRounding) {
    struct Case {
        size_t size;
        int list;
    } lists[] = {{0, 0},
                 {7, 0},
                 {8, 1},
                 {15, 1},
                 {16, 2},
                 {31, 2},
                 {32, 3},
                 {1024, 8},
                 {102376, 14},
                 {size_t{1} << 29, 19},
                 {size_t{1} << 30, 19}};
    for (const Case& c : lists) EXPECT_EQ(GcFreeListIndex(c.size), c.list) << c.size;

    struct Round {
        size_t request, block;
    } rounds[] = {{0, 8}, {1, 8}, {5, 8}, {8, 8}, {9, 16}, {100, 128}, {200000, 262144}};
    for (const Round& r : rounds) EXPECT_EQ(GcRoundRequest(r.request), r.block) << r.request;
}

TEST_F(ContextTest, SmallRequestsGetPowerOfTwoBlocksAlignedForValues) {
    void* five = GcAlloc(ctx, 5);
    EXPECT_EQ(GcBlockSize(five), 8u);
    for (size_t size : {1, 3, 8, 17, 24, 100}) {
        void* b = GcAlloc(ctx, size);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(b) % alignof(Value), 0u) << size;
        EXPECT_EQ(GcBlockSize(b), GcRoundRequest(size));
    }
}

TEST_F(ContextTest, LargeRequestGetsAChunkOfItsOwn) {
    size_t before = ctx->heap.bytesFromSystem;
    void* big = GcAlloc(ctx, 200000);
    EXPECT_EQ(GcBlockSize(big), 262144u);
    EXPECT_EQ(ctx->heap.bytesFromSystem - before, 262144u + kGcChunkHeader + kGcBlockHeader);
    // An ordinary request still comes from an ordinary chunk.
    before = ctx->heap.bytesFromSystem;
    GcAlloc(ctx, 64);
    EXPECT_LE(ctx->heap.bytesFromSystem - before, kGcChunkSize);
}

TEST_F(ContextTest, ChunksAreOneHundredKilobytes) {
    size_t before = ctx->heap.bytesFromSystem;
    // Exhaust whatever is free, then one more allocation needs a new chunk.
    for (int i = 0; i < 64; ++i) GcAlloc(ctx, 4096);
    size_t grown = ctx->heap.bytesFromSystem - before;
    EXPECT_EQ(grown % kGcChunkSize, 0u);
    EXPECT_GT(grown, 0u);
}

TEST_F(ContextTest, FreedBlockIsReusedBeforeAnySweep) {
    void* a = GcAlloc(ctx, 48);
    size_t freeBefore = ctx->heap.freeBytes;
    GcFree(ctx, a);
    EXPECT_EQ(ctx->heap.freeBytes, freeBefore + 64);
    void* b = GcAlloc(ctx, 60);
    EXPECT_EQ(a, b);
}

TEST_F(ContextTest, ReallocKeepsContentsAndReusesCoveringBlocks) {
    auto* p = static_cast<char*>(GcAlloc(ctx, 10));
    memcpy(p, "0123456789", 10);
    EXPECT_EQ(GcRealloc(ctx, p, 16), p);  // the 16-byte block already covers it
    auto* q = static_cast<char*>(GcRealloc(ctx, p, 100));
    EXPECT_NE(q, p);
    EXPECT_EQ(memcmp(q, "0123456789", 10), 0);
    EXPECT_NE(GcRealloc(ctx, nullptr, 10), nullptr);
}

TEST_F(ContextTest, AdjacentGarbageMergesAtASweep) {
    // live, x, y, live: x and y become one free block of 2048 + 8 + 2048.
    Value left = NewString(ctx, nullptr, 1024);
    auto* x = static_cast<char*>(GcAlloc(ctx, 2048));
    auto* y = static_cast<char*>(GcAlloc(ctx, 2048));
    Value right = NewString(ctx, nullptr, 1024);
    ASSERT_EQ(y, x + 2048 + kGcBlockHeader) << "blocks were not carved consecutively";
    SetGlobal(ctx, "left", left);
    SetGlobal(ctx, "right", right);
    Collect(ctx);
    void* merged = GcAlloc(ctx, 4096);
    EXPECT_EQ(merged, x);
    EXPECT_EQ(GcBlockSize(merged), 4096u + kGcBlockHeader);
}

TEST_F(ContextTest, SweepResetsCountersAndCountsCollections) {
    for (int i = 0; i < 100; ++i) GcAlloc(ctx, 1000);
    EXPECT_GE(ctx->heap.bytesSinceSweep, 100u * 1024);
    uint32_t before = ctx->heap.collections;
    Collect(ctx);
    EXPECT_EQ(ctx->heap.collections, before + 1);
    EXPECT_EQ(ctx->heap.bytesSinceSweep, 0u);
    EXPECT_GT(ctx->heap.freeBytes, 100u * 1024);
}

// What survives a sweep is not new allocation: a large live block must not
// make the next collection due at once (and so every checkpoint collect).
TEST_F(ContextTest, LiveBlocksDoNotCountTowardTheNextCollection) {
    Value text = NewStringFromCString(ctx, "x");
    text.string->chars =
        static_cast<char16_t*>(GcRealloc(ctx, text.string->chars, ctx->heap.threshold + 4096));
    SetGlobal(ctx, "text", text);
    Collect(ctx);
    EXPECT_EQ(ctx->heap.bytesSinceSweep, 0u);
}

TEST_F(ContextTest, RootsKeepValuesAlive) {
    // A string in a global, one in the constant pool and one on the stack.
    Value global = NewStringFromCString(ctx, "global");
    SetGlobal(ctx, "g", global);
    Value onStack = NewStringFromCString(ctx, "stack");
    *ctx->stackPointer-- = onStack;
    Value obj = MakeObject(NewObject(ctx));
    PutProperty(ctx, obj.object, InternAtom(ctx, "s"), NewStringFromCString(ctx, "member"));
    SetGlobal(ctx, "o", obj);
    Collect(ctx);
    // Fill the free lists with fresh allocations: live text must not change.
    for (int i = 0; i < 2000; ++i) memset(GcAlloc(ctx, 16), 0xAB, 16);
    EXPECT_TRUE(StringEquals(global, "global"));
    EXPECT_TRUE(StringEquals(onStack, "stack"));
    Value member;
    GetProperty(ctx, obj.object, InternAtom(ctx, "s"), &member);
    EXPECT_TRUE(StringEquals(member, "member"));
    ++ctx->stackPointer;
}

TEST_F(ContextTest, DeepStructuresAreMarkedWithoutExhaustingTheStack) {
    // 200000 nested arrays and a 200000-long object chain.
    Value outer = NewArray(ctx, 1);
    Value current = outer;
    for (int i = 0; i < 200000; ++i) {
        Value inner = NewArray(ctx, 1);
        ArraySet(ctx, current, inner, 0);
        current = inner;
    }
    ArraySet(ctx, current, NewStringFromCString(ctx, "bottom"), 0);
    SetGlobal(ctx, "nested", outer);

    Atom next = InternAtom(ctx, "next");
    Atom side = InternAtom(ctx, "side");
    Value head = MakeObject(NewObject(ctx));
    Value link = head;
    for (int i = 0; i < 200000; ++i) {
        Value o = MakeObject(NewObject(ctx));
        PutProperty(ctx, link.object, next, o);
        // Every tenth link also holds a second object, forcing the
        // recursive path now and then.
        if (i % 10 == 0) PutProperty(ctx, link.object, side, MakeObject(NewObject(ctx)));
        link = o;
    }
    PutProperty(ctx, link.object, next, NewStringFromCString(ctx, "tail"));
    SetGlobal(ctx, "chain", head);

    Collect(ctx);
    for (int i = 0; i < 20000; ++i) memset(GcAlloc(ctx, 32), 0xCD, 32);

    Value v = outer;
    for (int i = 0; i <= 200000; ++i) v = *ArrayGet(ctx, v, 0);
    EXPECT_TRUE(StringEquals(v, "bottom"));
    v = head;
    for (int i = 0; i <= 200000; ++i) GetProperty(ctx, v.object, next, &v);
    EXPECT_TRUE(StringEquals(v, "tail"));
}

// ---- Finalization -------------------------------------------------------------

struct FinalizeLog {
    int instances = 0;
    int classObjects = 0;
    int classDataFreed = 0;
    bool classDataSeen = true;
};
FinalizeLog gLog;

void LogFinalize(NativeClass* klass, void* data) {
    if (data == nullptr) {
        ++gLog.classObjects;
        return;
    }
    ++gLog.instances;
    // The class (and its data) must still be intact for its instances.
    if (klass->data == nullptr) gLog.classDataSeen = false;
    ContextFree(data);
}

void LogFreeData(void* data) {
    ++gLog.classDataFreed;
    ContextFree(data);
}

NativeClass* MakeLoggedClass(ScriptContext* ctx) {
    NativeClass* klass = NewNativeClass(ctx);
    klass->finalize = LogFinalize;
    klass->data = ContextAlloc(ctx, 16);
    klass->freeData = LogFreeData;
    BindGlobalClass(ctx, "Logged", klass);
    return klass;
}

TEST(GcFinalization, UnreachableInstanceIsFinalizedExactlyOnce) {
    gLog = FinalizeLog{};
    ScriptContext* ctx = NewContext(4096, 2, nullptr, 0);
    NativeClass* klass = MakeLoggedClass(ctx);
    Value kept = BindNative(ctx, klass, ContextAlloc(ctx, 8));
    SetGlobal(ctx, "kept", kept);
    BindNative(ctx, klass, ContextAlloc(ctx, 8));  // unreachable at once

    Collect(ctx);
    EXPECT_EQ(gLog.instances, 1);
    Collect(ctx);
    EXPECT_EQ(gLog.instances, 1);

    SetGlobal(ctx, "kept", MakeUndefined());
    Collect(ctx);
    EXPECT_EQ(gLog.instances, 2);
    EXPECT_EQ(gLog.classObjects, 0);  // the class object is still a global

    BindNative(ctx, klass, ContextAlloc(ctx, 8));  // left for DestroyContext
    DestroyContext(ctx);
    EXPECT_EQ(gLog.instances, 3);
    EXPECT_EQ(gLog.classObjects, 1);
    EXPECT_EQ(gLog.classDataFreed, 1);
    EXPECT_TRUE(gLog.classDataSeen);
}

TEST(GcFinalization, InstancesFinalizedAtDestructionStillSeeTheirClass) {
    gLog = FinalizeLog{};
    ScriptContext* ctx = NewContext(4096, 2, nullptr, 0);
    // The class is allocated after some instances of another class and
    // before its own, so address order does not decide the outcome.
    NativeClass* klass = MakeLoggedClass(ctx);
    for (int i = 0; i < 10; ++i) {
        SetGlobal(ctx, ("i" + std::to_string(i)).c_str(),
                  BindNative(ctx, klass, ContextAlloc(ctx, 8)));
    }
    DestroyContext(ctx);
    EXPECT_EQ(gLog.instances, 10);
    EXPECT_EQ(gLog.classDataFreed, 1);
    EXPECT_TRUE(gLog.classDataSeen);
}

}  // namespace
}  // namespace kelpo
