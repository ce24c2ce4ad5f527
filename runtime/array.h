// Script arrays: sparse maps from 64-bit indexes to values.
//
// Elements hang in 127 buckets chosen by index modulo 127; absent elements
// are holes that read Undefined. The length is independent of how many
// elements exist: memory follows the stored elements, not the length.
#pragma once

#include <cstdint>

#include "runtime/context.h"

namespace kelpo {

constexpr int kArrayBuckets = 127;

struct ElementNode {
    uint64_t index;
    Value* box;  // collected box holding one Value
    ElementNode* next;
};

struct ArrayIndex;

struct ScriptArray {
    uint64_t length;
    ElementNode** buckets;  // collected block of 127 heads
    ScriptObject* props;    // own properties, null until needed
    ArrayIndex* index;      // dense lookup cache of large arrays, or null
};

Value NewArray(ScriptContext* context, uint64_t length);

// All operations below do nothing (or return null/0) when `array` is not an
// Array value.
Value* ArrayGet(ScriptContext* context, const Value& array, uint64_t index);
void ArraySet(ScriptContext* context, const Value& array, const Value& value, uint64_t index);
void ArrayRemove(ScriptContext* context, const Value& array, uint64_t index);
void ArrayRemoveShift(ScriptContext* context, const Value& array, uint64_t index);
void ArrayShiftUp(ScriptContext* context, const Value& array, uint64_t n);
void ArrayCopyInto(ScriptContext* context, const Value& source, const Value& destination,
                   uint64_t offset);

// Growable vector of element boxes used by sorting.
struct BoxVector {
    Value** boxes;
    uint32_t count;
    uint32_t capacity;
};
uint32_t ArrayCollect(ScriptContext* context, const Value& array, BoxVector* vector);
void ArrayRebuild(ScriptContext* context, const Value& array, Value** boxes, uint32_t count);

}  // namespace kelpo
