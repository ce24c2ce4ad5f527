// Sorting through native comparators: collections and failures inside the
// comparator must not disturb the sort, and the sorted array need not be
// reachable from anything but the caller.
#include <cstdio>
#include <string>

#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/call.h"
#include "runtime/convert.h"
#include "runtime/gc.h"
#include "runtime/native.h"
#include "runtime/strings.h"
#include "tests/unit/test_support.h"

namespace kelpo {
namespace {

int gCalls = 0;

// Orders Strings by text after collecting garbage and reusing whatever the
// collection freed, so a value the sort did not keep alive is overwritten.
void CollectingComparator(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    ++gCalls;
    CollectGarbage(context, nullptr, context->stackPointer);
    for (int i = 0; i < 64; ++i) {
        Value junk = NewStringFromCString(context, "junk-junk");
        auto* block = static_cast<unsigned char*>(GcAlloc(context, sizeof(Value)));
        for (size_t k = 0; k < sizeof(Value); ++k) block[k] = 0xA5;
        (void)junk;
    }
    *out = MakeInteger(CompareStrings(args[1], args[2]));
}

// Fails every comparison that involves the text "bad".
void FailingComparator(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    ++gCalls;
    if (StringEquals(args[1], "bad") || StringEquals(args[2], "bad")) {
        RaiseErrorf(context, "comparator failed");
    }
    *out = MakeInteger(CompareStrings(args[1], args[2]));
}

class ArraySortTest : public test::ContextTest {
protected:
    Value Comparator(NativeCall call) {
        NativeClass* klass = NewNativeClass(ctx);
        klass->call = call;
        return BindNative(ctx, klass, nullptr);
    }
    Value Strings(const char* const* texts, int count) {
        Value a = NewArray(ctx, static_cast<uint64_t>(count));
        for (int i = 0; i < count; ++i) {
            ArraySet(ctx, a, NewStringFromCString(ctx, texts[i]), static_cast<uint64_t>(i));
        }
        return a;
    }
    std::string Joined(const Value& a) {
        std::string out;
        for (uint64_t i = 0; i < a.array->length; ++i) {
            if (i != 0) out += ",";
            Value* box = ArrayGet(ctx, a, i);
            if (box == nullptr) {
                out += "<hole>";
            } else {
                Value text = MakeUndefined();
                EXPECT_TRUE(Run([&] { text = ToString(ctx, *box); }));
                out += test::Utf8(text);
            }
        }
        return out;
    }
};

TEST_F(ArraySortTest, CollectionsInsideTheComparatorKeepEveryValue) {
    // Neither the array nor the comparator is reachable from a root.
    char texts[200][16];
    const char* pointers[200];
    for (int i = 0; i < 200; ++i) {
        snprintf(texts[i], sizeof texts[i], "v%03d", (i * 37) % 200);
        pointers[i] = texts[i];
    }
    Value array = Strings(pointers, 200);
    Value comparator = Comparator(CollectingComparator);
    gCalls = 0;
    Value args[2] = {MakeInteger(1), comparator};
    ASSERT_EQ(CallMethod(ctx, &array, "sort", 2, args), 1) << ctx->errorText;
    EXPECT_GT(gCalls, 200);
    ASSERT_EQ(array.array->length, 200u);
    for (int i = 0; i < 200; ++i) {
        Value* box = ArrayGet(ctx, array, static_cast<uint64_t>(i));
        ASSERT_NE(box, nullptr);
        char expected[16];
        snprintf(expected, sizeof expected, "v%03d", i);
        ASSERT_EQ(test::Utf8(*box), expected) << "position " << i;
    }
}

TEST_F(ArraySortTest, FailingComparisonsCountAsEqualAndLeaveNoError) {
    const char* texts[] = {"d", "bad", "b", "a", "c"};
    Value array = Strings(texts, 5);
    SetGlobal(ctx, "sorted", array);
    ctx->errorText[0] = '\0';
    Value comparator = Comparator(FailingComparator);
    gCalls = 0;
    Value args[2] = {MakeInteger(1), comparator};
    ASSERT_TRUE(Run([&] {
        Value self = array;
        Value out;
        Value function;
        ASSERT_EQ(FindMethod(ctx, self, InternAtom(ctx, "sort"), args, &out, &function),
                  MethodKind::Answered);
    }));
    EXPECT_GT(gCalls, 0);
    EXPECT_STREQ(ctx->errorText, "");
    // Every element is still there exactly once.
    std::string joined = Joined(array);
    for (const char* t : texts) EXPECT_NE(joined.find(t), std::string::npos) << joined;
    EXPECT_EQ(joined.size(), std::string("d,bad,b,a,c").size());
}

TEST_F(ArraySortTest, DefaultOrderPutsUndefinedLastAndPacksHoles) {
    Value array = NewArray(ctx, 9);
    ArraySet(ctx, array, MakeInteger(3), 8);
    ArraySet(ctx, array, MakeUndefined(), 1);
    ArraySet(ctx, array, MakeInteger(10), 4);
    ArraySet(ctx, array, MakeInteger(2), 6);
    Value args[1] = {MakeInteger(0)};
    ASSERT_EQ(CallMethod(ctx, &array, "sort", 1, args), 1) << ctx->errorText;
    EXPECT_EQ(Joined(array), "10,2,3,undefined,<hole>,<hole>,<hole>,<hole>,<hole>");
}

TEST_F(ArraySortTest, ManyElementsSortInReasonableTime) {
    // 200000 elements: quadratic bucket handling would take minutes.
    const uint64_t n = 200000;
    Value array = NewArray(ctx, n);
    SetGlobal(ctx, "many", array);
    for (uint64_t i = 0; i < n; ++i) {
        ArraySet(ctx, array, MakeInteger(static_cast<int64_t>((i * 7919) % n)), n - 1 - i);
    }
    Value args[1] = {MakeInteger(0)};
    ASSERT_EQ(CallMethod(ctx, &array, "reverse", 1, args), 1);
    ASSERT_EQ(CallMethod(ctx, &array, "sort", 1, args), 1);
    ASSERT_EQ(CallMethod(ctx, &array, "shift", 1, args), 1);
    EXPECT_EQ(ctx->result.integer, 0);
    Value unshiftArgs[2] = {MakeInteger(1), MakeInteger(-1)};
    ASSERT_EQ(CallMethod(ctx, &array, "unshift", 2, unshiftArgs), 1);
    EXPECT_EQ(ArrayGet(ctx, array, 0)->integer, -1);
    EXPECT_EQ(ArrayGet(ctx, array, 1)->integer, 1);
    EXPECT_EQ(ArrayGet(ctx, array, 2)->integer, 10);  // text order: 0, 1, 10, 100, ...
}

}  // namespace
}  // namespace kelpo
