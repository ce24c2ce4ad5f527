// Array methods that add, remove, move or copy elements without calling
// script code: concat, pop, push, reverse, shift, slice, splice, unshift.
//
// Ranges are walked through the stored elements (array_nodes.h), never
// index by index, so a sparse array with a length of 2^32 costs no more
// than its elements.
#include <cstdint>
#include <utility>

#include "corelib/array_methods.h"
#include "corelib/array_nodes.h"
#include "runtime/native.h"

namespace kelpo {
namespace {

// push stops storing once the length reaches this.
constexpr uint64_t kPushLimit = 0xFFFFFFFFu;

ScriptArray* ArrayOf(const Value& self) { return self.array; }

}  // namespace

void ConcatMethod(ScriptContext* context, const Value& self, Value* out, Value* args) {
    ScriptArray* source = ArrayOf(self);
    Value result = NewArray(context, 0);
    BucketAppender to(context, result.array);
    uint64_t running = source->length;
    CopyElements(&to, source, 0, running, 0);
    for (int64_t k = 1; k <= ArgCount(args); ++k) {
        const Value& item = args[k];
        if (item.tag == ValueTag::Array) {
            uint64_t length = item.array->length;
            if (running > UINT64_MAX - length) break;
            CopyElements(&to, item.array, 0, length, running);
            running += length;
        } else {
            if (running == UINT64_MAX) break;
            to.AppendValue(item, running++);
        }
    }
    result.array->length = running;
    *out = result;
}

void PopMethod(ScriptContext* context, const Value& self, Value* out, Value*) {
    ScriptArray* array = ArrayOf(self);
    if (array->length == 0) return;
    uint64_t last = array->length - 1;
    if (Value* box = ArrayGet(context, self, last)) *out = *box;
    ArrayRemove(context, self, last);
    array->length = last;
}

void PushMethod(ScriptContext* context, const Value& self, Value* out, Value* args) {
    ScriptArray* array = ArrayOf(self);
    for (int64_t k = 1; k <= ArgCount(args) && array->length < kPushLimit; ++k) {
        ArraySet(context, self, args[k], array->length);
        array->length++;
    }
    *out = MakeInteger(static_cast<int64_t>(array->length));
}

void ReverseMethod(ScriptContext*, const Value& self, Value*, Value*) {
    ScriptArray* array = ArrayOf(self);
    ReverseElements(array, array->length);
}

void ShiftMethod(ScriptContext* context, const Value& self, Value* out, Value*) {
    ScriptArray* array = ArrayOf(self);
    if (array->length == 0) return;
    if (Value* box = ArrayGet(context, self, 0)) *out = *box;
    ArrayRemove(context, self, 0);
    ShiftElements(context, array, 1, -1);
    array->length--;
}

void UnshiftMethod(ScriptContext* context, const Value& self, Value* out, Value* args) {
    ScriptArray* array = ArrayOf(self);
    uint64_t n = static_cast<uint64_t>(ArgCount(args));
    // A length that would pass 64 bits leaves the array as it is.
    if (n != 0 && array->length <= UINT64_MAX - n) {
        ShiftElements(context, array, 0, static_cast<int64_t>(n));
        array->length += n;
        // The last argument lands at index 0, the first at n - 1.
        for (uint64_t k = 1; k <= n; ++k) ArraySet(context, self, args[k], n - k);
    }
    *out = MakeInteger(static_cast<int64_t>(array->length));
}

void SliceMethod(ScriptContext* context, const Value& self, Value* out, Value* args) {
    ScriptArray* array = ArrayOf(self);
    int64_t length = LowLength(array);
    int64_t start = 0;
    int64_t end = length;
    IntegerArgument(args, 1, &start);
    IntegerArgument(args, 2, &end);
    if (start < 0) {
        start += length;
        if (start < 0) start = 0;
    }
    if (end < 0) {
        end += length;
        if (end < 0) end = start;
    }
    if (end < start) std::swap(start, end);
    Value result = NewArray(context, static_cast<uint64_t>(end - start));
    BucketAppender to(context, result.array);
    CopyElements(&to, array, static_cast<uint64_t>(start), static_cast<uint64_t>(end), 0);
    *out = result;
}

void SpliceMethod(ScriptContext* context, const Value& self, Value* out, Value* args) {
    ScriptArray* array = ArrayOf(self);
    int64_t length = LowLength(array);
    int64_t start = 0;
    IntegerArgument(args, 1, &start);
    if (start < 0) {
        start += length;
        if (start < 0) start = 0;
    }
    int64_t removed = 0;
    if (!IntegerArgument(args, 2, &removed)) removed = start < length ? length - start : 0;
    if (removed < 0) removed = 0;
    int64_t base;
    if (start < length) {
        if (removed > length - start) removed = length - start;
        base = length - removed;
    } else {
        removed = 0;
        base = start;
    }
    int64_t items = ArgCount(args) > 2 ? ArgCount(args) - 2 : 0;

    uint64_t s = static_cast<uint64_t>(start);
    uint64_t d = static_cast<uint64_t>(removed);
    *out = ExtractElements(context, array, s, d);
    array->length = static_cast<uint64_t>(base + items);
    if (items != removed) ShiftElements(context, array, s + d, items - removed);
    for (int64_t i = 0; i < items; ++i)
        ArraySet(context, self, args[3 + i], s + static_cast<uint64_t>(i));
}

}  // namespace kelpo
