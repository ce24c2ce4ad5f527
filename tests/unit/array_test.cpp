// Sparse arrays: elements, holes, lengths and the shifting operations.
#include <algorithm>
#include <vector>

#include "runtime/array.h"
#include "runtime/strings.h"
#include "tests/unit/test_support.h"

namespace kelpo {
namespace {

class ArrayTest : public test::ContextTest {
protected:
    // Elements 0..length-1 as integers, -1 for holes.
    std::vector<int64_t> Dump(const Value& a) {
        std::vector<int64_t> out;
        for (uint64_t i = 0; i < a.array->length; ++i) {
            Value* box = ArrayGet(ctx, a, i);
            out.push_back(box == nullptr ? -1 : box->integer);
        }
        return out;
    }
    Value Make(std::vector<int64_t> items) {
        Value a = NewArray(ctx, items.size());
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i] >= 0) ArraySet(ctx, a, MakeInteger(items[i]), i);
        }
        return a;
    }
};

TEST_F(ArrayTest, SetReplacesAndLeavesLengthAlone) {
    Value a = NewArray(ctx, 0);
    ArraySet(ctx, a, MakeInteger(1), 0);
    ArraySet(ctx, a, MakeInteger(2), 0);
    EXPECT_EQ(a.array->length, 0u);
    ASSERT_NE(ArrayGet(ctx, a, 0), nullptr);
    EXPECT_EQ(ArrayGet(ctx, a, 0)->integer, 2);
    BoxVector boxes{};
    EXPECT_EQ(ArrayCollect(ctx, a, &boxes), 1u);  // one element, not two
    ContextFree(boxes.boxes);
}

TEST_F(ArrayTest, SixtyFourBitIndexesShareBucketsWithoutClashing) {
    Value a = NewArray(ctx, 0);
    const uint64_t indexes[] = {
        0, 127, 254, uint64_t{1} << 40, (uint64_t{1} << 40) + 127, UINT64_MAX, UINT64_MAX - 127};
    int64_t n = 0;
    for (uint64_t i : indexes) ArraySet(ctx, a, MakeInteger(n++), i);
    n = 0;
    for (uint64_t i : indexes) {
        Value* box = ArrayGet(ctx, a, i);
        ASSERT_NE(box, nullptr) << i;
        EXPECT_EQ(box->integer, n++);
    }
    EXPECT_EQ(ArrayGet(ctx, a, 1), nullptr);
    ArrayRemove(ctx, a, 127);
    EXPECT_EQ(ArrayGet(ctx, a, 127), nullptr);
    EXPECT_NE(ArrayGet(ctx, a, 254), nullptr);
}

TEST_F(ArrayTest, RemoveShiftAndShiftUp) {
    struct Case {
        std::vector<int64_t> before;
        uint64_t index;
        std::vector<int64_t> after;
    } cases[] = {
        {{10, 11, 12, 13, 14}, 3, {10, 11, 12, 14}},
        {{10, 11, 12, 13, 14}, 0, {11, 12, 13, 14}},
        {{10, -1, 12, -1, 14}, 1, {10, 12, -1, 14}},  // removing a hole moves the rest
        {{10, 11}, 2, {10, 11}},                      // beyond the length: nothing
    };
    for (const Case& c : cases) {
        Value a = Make(c.before);
        ArrayRemoveShift(ctx, a, c.index);
        EXPECT_EQ(Dump(a), c.after);
    }
    Value a = Make({1, -1, 3});
    ArrayShiftUp(ctx, a, 2);
    EXPECT_EQ(Dump(a), (std::vector<int64_t>{-1, -1, 1, -1, 3}));
}

TEST_F(ArrayTest, ShiftingLargeArraysKeepsEveryElement) {
    Value a = NewArray(ctx, 1000);
    for (int i = 0; i < 1000; ++i) ArraySet(ctx, a, MakeInteger(i), i);
    ArrayRemoveShift(ctx, a, 500);
    ArrayShiftUp(ctx, a, 1);
    EXPECT_EQ(a.array->length, 1000u);
    EXPECT_EQ(ArrayGet(ctx, a, 0), nullptr);
    for (int i = 1; i < 1000; ++i) {
        int64_t expected = i - 1 < 500 ? i - 1 : i;
        ASSERT_EQ(ArrayGet(ctx, a, i)->integer, expected) << i;
    }
}

TEST_F(ArrayTest, CopyIntoAndCollectRebuild) {
    Value src = Make({1, -1, 3});
    Value dst = Make({7});
    ArrayCopyInto(ctx, src, dst, 2);
    EXPECT_EQ(ArrayGet(ctx, dst, 2)->integer, 1);
    EXPECT_EQ(ArrayGet(ctx, dst, 4)->integer, 3);
    EXPECT_EQ(ArrayGet(ctx, dst, 3), nullptr);
    ArrayCopyInto(ctx, MakeInteger(1), dst, 0);  // not an array: nothing
    ArrayCopyInto(ctx, src, MakeNull(), 0);

    // Collect in bucket order, reverse, rebuild packed at the front.
    Value a = Make({5, -1, 6, 7});
    BoxVector v{};
    uint32_t n = ArrayCollect(ctx, a, &v);
    ASSERT_EQ(n, 3u);
    std::vector<Value*> reversed(v.boxes, v.boxes + n);
    std::reverse(reversed.begin(), reversed.end());
    ArrayRebuild(ctx, a, reversed.data(), n);
    EXPECT_EQ(Dump(a), (std::vector<int64_t>{7, 6, 5, -1}));
    ContextFree(v.boxes);
}

TEST_F(ArrayTest, OperationsIgnoreNonArrays) {
    Value notArray = NewStringFromCString(ctx, "abc");
    ArraySet(ctx, notArray, MakeInteger(1), 0);
    EXPECT_EQ(ArrayGet(ctx, notArray, 0), nullptr);
    ArrayRemove(ctx, notArray, 0);
    ArrayRemoveShift(ctx, notArray, 0);
    ArrayShiftUp(ctx, notArray, 1);
    BoxVector v{};
    EXPECT_EQ(ArrayCollect(ctx, notArray, &v), 0u);
    EXPECT_EQ(notArray.string->length, 3u);
}

}  // namespace
}  // namespace kelpo
