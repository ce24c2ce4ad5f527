// Sparse arrays: 127 buckets of element nodes, each chain kept in ascending
// index order so that bucket order is deterministic.
#include "runtime/array.h"

#include <cstring>

#include "runtime/array_index.h"
#include "runtime/errors.h"
#include "runtime/gc.h"

namespace kelpo {
namespace {

inline uint32_t BucketOf(uint64_t index) { return static_cast<uint32_t>(index % kArrayBuckets); }

ScriptArray* AsArray(const Value& v) { return v.tag == ValueTag::Array ? v.array : nullptr; }

// The bucket block is allocated on first store: most arrays are small and
// a fresh array costs no more than its record.
ElementNode** EnsureBuckets(ScriptContext* context, ScriptArray* array) {
    if (array->buckets == nullptr) {
        auto* buckets =
            static_cast<ElementNode**>(GcAlloc(context, kArrayBuckets * sizeof(ElementNode*)));
        memset(buckets, 0, kArrayBuckets * sizeof(ElementNode*));
        array->buckets = buckets;
    }
    return array->buckets;
}

// Links a node into its bucket, keeping the chain sorted by index.
void LinkNode(ElementNode** buckets, ElementNode* node) {
    ElementNode** link = &buckets[BucketOf(node->index)];
    while (*link != nullptr && (*link)->index < node->index) link = &(*link)->next;
    node->next = *link;
    *link = node;
}

// Takes every node out of the buckets into one list (bucket order).
ElementNode* UnlinkAll(ScriptArray* array) {
    ElementNode* all = nullptr;
    ElementNode** tail = &all;
    for (int b = 0; b < kArrayBuckets; ++b) {
        ElementNode* node = array->buckets[b];
        array->buckets[b] = nullptr;
        while (node != nullptr) {
            ElementNode* next = node->next;
            node->next = nullptr;
            *tail = node;
            tail = &node->next;
            node = next;
        }
    }
    return all;
}

}  // namespace

Value NewArray(ScriptContext* context, uint64_t length) {
    auto* array = static_cast<ScriptArray*>(GcAlloc(context, sizeof(ScriptArray)));
    array->length = length;
    array->buckets = nullptr;
    array->props = nullptr;
    array->index = nullptr;
    return MakeArrayValue(array);
}

Value* ArrayGet(ScriptContext* context, const Value& value, uint64_t index) {
    ScriptArray* array = AsArray(value);
    if (array == nullptr || array->buckets == nullptr) return nullptr;
    ArrayIndex* dense = array->index;
    if (dense != nullptr && index < dense->capacity) {
        ElementNode* node = dense->nodes[index];
        return node != nullptr ? node->box : nullptr;
    }
    uint32_t steps = 0;
    Value* found = nullptr;
    for (ElementNode* node = array->buckets[BucketOf(index)]; node != nullptr; node = node->next) {
        ++steps;
        if (node->index == index) {
            found = node->box;
            break;
        }
        if (node->index > index) break;
    }
    if (steps > kArrayIndexWalk) NoteSlowWalk(context, array, steps);
    return found;
}

namespace {

// The link after which a new node of `index` belongs in its sorted chain,
// found through the index: the nearest lower index of the same bucket is
// at index - 127 k. Null when the search would run too long.
ElementNode** LinkBefore(ScriptArray* array, ArrayIndex* dense, uint64_t index) {
    constexpr int kProbes = 16;
    uint64_t below = index;
    for (int probe = 0; probe < kProbes; ++probe) {
        if (below < kArrayBuckets) return &array->buckets[BucketOf(index)];
        below -= kArrayBuckets;
        ElementNode* node = dense->nodes[below];
        if (node != nullptr) return &node->next;
    }
    return nullptr;
}

}  // namespace

void ArraySet(ScriptContext* context, const Value& value, const Value& element, uint64_t index) {
    ScriptArray* array = AsArray(value);
    if (array == nullptr) return;
    Value copy = element;
    ElementNode** buckets = EnsureBuckets(context, array);
    ArrayIndex* dense = array->index;
    ElementNode** link = nullptr;
    if (dense != nullptr && dense->nodes != nullptr) {
        if (ArrayIndexCovers(dense, index)) {
            ElementNode* node = dense->nodes[index];
            if (node != nullptr) {
                *node->box = copy;
                return;
            }
            link = LinkBefore(array, dense, index);
        } else {
            // Every node must lie below the capacity, or growing it later
            // would map existing elements as holes.
            DropArrayIndex(array);
            dense = nullptr;
        }
    } else {
        dense = nullptr;
    }
    if (link == nullptr) {
        uint32_t steps = 0;
        link = &buckets[BucketOf(index)];
        while (*link != nullptr && (*link)->index < index) {
            link = &(*link)->next;
            ++steps;
        }
        if (*link != nullptr && (*link)->index == index) {
            *(*link)->box = copy;
            return;
        }
        if (dense == nullptr && steps > kArrayIndexWalk) {
            // Building the index must not invalidate `link`: it only reads
            // the chains. The new node is entered below.
            dense = NoteSlowWalk(context, array, steps);
            if (dense != nullptr && !ArrayIndexCovers(dense, index)) {
                DropArrayIndex(array);
                dense = nullptr;
            }
        }
    }
    auto* node = static_cast<ElementNode*>(GcAlloc(context, sizeof(ElementNode)));
    node->index = index;
    node->box = nullptr;
    node->next = nullptr;
    auto* box = static_cast<Value*>(GcAlloc(context, sizeof(Value)));
    *box = copy;
    node->box = box;
    // Allocation never moves or collects anything: `link` is still valid.
    node->next = *link;
    *link = node;
    if (dense != nullptr) dense->nodes[index] = node;
}

void ArrayRemove(ScriptContext* context, const Value& value, uint64_t index) {
    ScriptArray* array = AsArray(value);
    if (array == nullptr || array->buckets == nullptr) return;
    for (ElementNode** link = &array->buckets[BucketOf(index)]; *link != nullptr;
         link = &(*link)->next) {
        ElementNode* node = *link;
        if (node->index == index) {
            *link = node->next;
            if (array->index != nullptr && index < array->index->capacity) {
                array->index->nodes[index] = nullptr;
            }
            GcFree(context, node->box);
            GcFree(context, node);
            return;
        }
        if (node->index > index) return;
    }
}

void ArrayRemoveShift(ScriptContext* context, const Value& value, uint64_t index) {
    ScriptArray* array = AsArray(value);
    if (array == nullptr || index >= array->length) return;
    DropArrayIndex(array);
    if (array->buckets != nullptr) {
        ElementNode* node = UnlinkAll(array);
        while (node != nullptr) {
            ElementNode* next = node->next;
            if (node->index == index) {
                GcFree(context, node->box);
                GcFree(context, node);
            } else {
                if (node->index > index) node->index--;
                LinkNode(array->buckets, node);
            }
            node = next;
        }
    }
    array->length--;
}

void ArrayShiftUp(ScriptContext* /*context*/, const Value& value, uint64_t n) {
    ScriptArray* array = AsArray(value);
    if (array == nullptr) return;
    DropArrayIndex(array);
    if (array->buckets != nullptr && n != 0) {
        ElementNode* node = UnlinkAll(array);
        while (node != nullptr) {
            ElementNode* next = node->next;
            node->index += n;
            LinkNode(array->buckets, node);
            node = next;
        }
    }
    array->length += n;
}

void ArrayCopyInto(ScriptContext* context, const Value& source, const Value& destination,
                   uint64_t offset) {
    ScriptArray* from = AsArray(source);
    if (from == nullptr || AsArray(destination) == nullptr || from->buckets == nullptr) return;
    for (int b = 0; b < kArrayBuckets; ++b) {
        for (ElementNode* node = from->buckets[b]; node != nullptr; node = node->next) {
            ArraySet(context, destination, *node->box, node->index + offset);
        }
    }
}

uint32_t ArrayCollect(ScriptContext* context, const Value& value, BoxVector* vector) {
    ScriptArray* array = AsArray(value);
    if (array == nullptr || array->buckets == nullptr) return 0;
    uint32_t added = 0;
    for (int b = 0; b < kArrayBuckets; ++b) {
        for (ElementNode* node = array->buckets[b]; node != nullptr; node = node->next) {
            if (vector->count == vector->capacity) {
                uint32_t capacity = vector->capacity + 64;
                vector->boxes = static_cast<Value**>(
                    ContextRealloc(context, vector->boxes, capacity * sizeof(Value*)));
                vector->capacity = capacity;
            }
            vector->boxes[vector->count++] = node->box;
            ++added;
        }
    }
    return added;
}

void ArrayRebuild(ScriptContext* context, const Value& value, Value** boxes, uint32_t count) {
    ScriptArray* array = AsArray(value);
    if (array == nullptr) return;
    DropArrayIndex(array);
    ElementNode** buckets = EnsureBuckets(context, array);
    // Reuse the existing nodes; allocate more only if boxes came from elsewhere.
    ElementNode* spare = UnlinkAll(array);
    for (uint32_t i = 0; i < count; ++i) {
        ElementNode* node = spare;
        if (node != nullptr) {
            spare = node->next;
        } else {
            node = static_cast<ElementNode*>(GcAlloc(context, sizeof(ElementNode)));
        }
        node->index = i;
        node->box = boxes[i];
        LinkNode(buckets, node);
    }
    while (spare != nullptr) {
        ElementNode* next = spare->next;
        GcFree(context, spare);
        spare = next;
    }
}

}  // namespace kelpo
