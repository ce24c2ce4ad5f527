// Bulk element moves on the bucket chains of sparse arrays.
#include "corelib/array_nodes.h"

#include <cstring>

#include "runtime/array_index.h"
#include "runtime/gc.h"

namespace kelpo {
namespace {

inline uint32_t BucketOf(uint64_t index) { return static_cast<uint32_t>(index % kArrayBuckets); }

// The bucket whole chains of bucket b land in when moved by delta.
inline uint32_t MovedBucket(uint32_t b, int64_t delta) {
    int64_t shift = delta % kArrayBuckets;
    return static_cast<uint32_t>((static_cast<int64_t>(b) + shift + kArrayBuckets) % kArrayBuckets);
}

ElementNode** EnsureBuckets(ScriptContext* context, ScriptArray* array) {
    if (array->buckets == nullptr) {
        auto* buckets =
            static_cast<ElementNode**>(GcAlloc(context, kArrayBuckets * sizeof(ElementNode*)));
        memset(buckets, 0, kArrayBuckets * sizeof(ElementNode*));
        array->buckets = buckets;
    }
    return array->buckets;
}

// The link of the first node with index >= limit in a sorted chain.
ElementNode** FirstAtOrAbove(ElementNode** link, uint64_t limit) {
    while (*link != nullptr && (*link)->index < limit) link = &(*link)->next;
    return link;
}

// Appends a chain at the end of the chain starting at *link.
void AppendChain(ElementNode** link, ElementNode* chain) {
    while (*link != nullptr) link = &(*link)->next;
    *link = chain;
}

}  // namespace

BucketAppender::BucketAppender(ScriptContext* context, ScriptArray* array) : context_(context) {
    DropArrayIndex(array);
    ElementNode** buckets = EnsureBuckets(context, array);
    for (int b = 0; b < kArrayBuckets; ++b) {
        ElementNode** link = &buckets[b];
        while (*link != nullptr) link = &(*link)->next;
        tails_[b] = link;
    }
}

void BucketAppender::Append(ElementNode* node) {
    uint32_t b = BucketOf(node->index);
    node->next = nullptr;
    *tails_[b] = node;
    tails_[b] = &node->next;
}

Value* BucketAppender::AppendValue(const Value& value, uint64_t index) {
    Value copy = value;
    auto* box = static_cast<Value*>(GcAlloc(context_, sizeof(Value)));
    *box = copy;
    AppendBox(box, index);
    return box;
}

void BucketAppender::AppendBox(Value* box, uint64_t index) {
    // Nothing collects during an allocation: `box` stays valid meanwhile.
    auto* node = static_cast<ElementNode*>(GcAlloc(context_, sizeof(ElementNode)));
    node->index = index;
    node->box = box;
    node->next = nullptr;
    Append(node);
}

void CopyElements(BucketAppender* to, const ScriptArray* source, uint64_t start, uint64_t end,
                  uint64_t base) {
    if (source->buckets == nullptr || end <= start) return;
    for (int b = 0; b < kArrayBuckets; ++b) {
        for (const ElementNode* node = source->buckets[b]; node != nullptr; node = node->next) {
            if (node->index < start) continue;
            if (node->index >= end) break;
            to->AppendValue(*node->box, node->index - start + base);
        }
    }
}

Value ExtractElements(ScriptContext* context, ScriptArray* source, uint64_t start, uint64_t count) {
    Value result = NewArray(context, count);
    if (source->buckets == nullptr || count == 0) return result;
    DropArrayIndex(source);
    BucketAppender to(context, result.array);
    for (int b = 0; b < kArrayBuckets; ++b) {
        ElementNode** link = FirstAtOrAbove(&source->buckets[b], start);
        while (*link != nullptr && (*link)->index - start < count) {
            ElementNode* node = *link;
            *link = node->next;
            node->index -= start;
            to.Append(node);
        }
    }
    return result;
}

void ShiftElements(ScriptContext* context, ScriptArray* array, uint64_t from, int64_t delta) {
    if (array->buckets == nullptr || delta == 0) return;
    DropArrayIndex(array);
    // Cut every chain at `from`; the cut-off runs move as a whole.
    ElementNode* moved[kArrayBuckets];
    for (int b = 0; b < kArrayBuckets; ++b) {
        ElementNode** cut = FirstAtOrAbove(&array->buckets[b], from);
        moved[b] = *cut;
        *cut = nullptr;
    }
    for (int b = 0; b < kArrayBuckets; ++b) {
        ElementNode** link = &moved[b];
        while (*link != nullptr) {
            ElementNode* node = *link;
            if (delta > 0 && node->index > UINT64_MAX - static_cast<uint64_t>(delta)) {
                // Past the largest index: the rest of the run goes too.
                *link = nullptr;
                while (node != nullptr) {
                    ElementNode* next = node->next;
                    GcFree(context, node->box);
                    GcFree(context, node);
                    node = next;
                }
                break;
            }
            node->index += static_cast<uint64_t>(delta);
            link = &node->next;
        }
        // What stayed in the target bucket lies below `from + delta`.
        AppendChain(&array->buckets[MovedBucket(static_cast<uint32_t>(b), delta)], moved[b]);
    }
}

void ReverseElements(ScriptArray* array, uint64_t length) {
    if (array->buckets == nullptr || length == 0) return;
    DropArrayIndex(array);
    uint64_t last = length - 1;
    ElementNode* reversed[kArrayBuckets];
    ElementNode* kept[kArrayBuckets];
    for (int b = 0; b < kArrayBuckets; ++b) {
        ElementNode** cut = FirstAtOrAbove(&array->buckets[b], length);
        kept[b] = *cut;
        *cut = nullptr;
        ElementNode* run = array->buckets[b];
        ElementNode* backwards = nullptr;
        while (run != nullptr) {
            ElementNode* next = run->next;
            run->index = last - run->index;
            run->next = backwards;
            backwards = run;
            run = next;
        }
        reversed[b] = backwards;
    }
    // Bucket b's elements all land in bucket (last - b) mod 127, below the
    // elements that target bucket keeps at or beyond the length.
    uint32_t lastBucket = BucketOf(last);
    for (uint32_t b = 0; b < kArrayBuckets; ++b) {
        uint32_t target = (lastBucket + kArrayBuckets - b) % kArrayBuckets;
        ElementNode* chain = reversed[b];
        AppendChain(&chain, kept[target]);
        array->buckets[target] = chain;
    }
}

void TruncateElements(ScriptContext* context, ScriptArray* array, uint64_t limit) {
    if (array->buckets == nullptr) return;
    DropArrayIndex(array);
    for (int b = 0; b < kArrayBuckets; ++b) {
        ElementNode** cut = FirstAtOrAbove(&array->buckets[b], limit);
        ElementNode* node = *cut;
        *cut = nullptr;
        while (node != nullptr) {
            ElementNode* next = node->next;
            GcFree(context, node->box);
            GcFree(context, node);
            node = next;
        }
    }
}

void DropAllElements(ScriptArray* array) {
    if (array->buckets == nullptr) return;
    DropArrayIndex(array);
    for (int b = 0; b < kArrayBuckets; ++b) array->buckets[b] = nullptr;
}

}  // namespace kelpo
