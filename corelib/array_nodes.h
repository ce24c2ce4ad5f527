// Bulk element moves for the Array methods, working on whole bucket chains.
//
// The element storage keeps each of the 127 chains in ascending index order
// and lets lookups stop at the first larger index. Moving every element of
// a range by the same amount moves whole chain segments from bucket b to
// bucket (b + amount) mod 127 without reordering them, so these helpers
// cost time in proportion to the stored elements only: never to the length
// (which may be 2^32 or more) and never quadratic in the element count.
#pragma once

#include <cstdint>

#include "runtime/array.h"

namespace kelpo {

// Appends element nodes to an array's chains. Every appended index must be
// larger than every index already in its bucket, which keeps the chains
// sorted; the callers guarantee it by appending ascending runs above the
// array's existing elements.
class BucketAppender {
public:
    BucketAppender(ScriptContext* context, ScriptArray* array);
    void Append(ElementNode* node);
    // A new node over a new box holding a copy of `value`; returns the box.
    Value* AppendValue(const Value& value, uint64_t index);
    // A new node over an existing box (the box changes owner).
    void AppendBox(Value* box, uint64_t index);

private:
    ScriptContext* context_;
    ElementNode** tails_[kArrayBuckets];
};

// Copies the elements with start <= index < end of `source` to index
// (index - start + base) through the appender.
void CopyElements(BucketAppender* to, const ScriptArray* source, uint64_t start, uint64_t end,
                  uint64_t base);

// Moves the elements with start <= index < start + count out of `source`
// into a new array of length `count`, at index - start.
Value ExtractElements(ScriptContext* context, ScriptArray* source, uint64_t start, uint64_t count);

// Moves every element at or above `from` by `delta`. With a negative delta
// the range [from + delta, from) must hold no element and from >= -delta.
// Elements whose new index would pass 2^64 - 1 are dropped.
void ShiftElements(ScriptContext* context, ScriptArray* array, uint64_t from, int64_t delta);

// Moves the element at i to length - 1 - i for every i < length; elements
// at or beyond the length stay where they are.
void ReverseElements(ScriptArray* array, uint64_t length);

// Removes (and frees) every element at or beyond `limit`.
void TruncateElements(ScriptContext* context, ScriptArray* array, uint64_t limit);

// Takes every element out of the array, leaving it without elements. The
// nodes and boxes are left to the collector, so pointers a caller still
// holds stay valid until the next collection.
void DropAllElements(ScriptArray* array);

}  // namespace kelpo
