// Sparse arrays: 127 buckets of element nodes, each chain kept in ascending
// index order so that bucket order is deterministic.
#include "runtime/array.h"

#include <cstring>

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
    return MakeArrayValue(array);
}

Value* ArrayGet(ScriptContext* /*context*/, const Value& value, uint64_t index) {
    ScriptArray* array = AsArray(value);
    if (array == nullptr || array->buckets == nullptr) return nullptr;
    for (ElementNode* node = array->buckets[BucketOf(index)]; node != nullptr; node = node->next) {
        if (node->index == index) return node->box;
        if (node->index > index) break;
    }
    return nullptr;
}

void ArraySet(ScriptContext* context, const Value& value, const Value& element, uint64_t index) {
    ScriptArray* array = AsArray(value);
    if (array == nullptr) return;
    Value copy = element;
    ElementNode** buckets = EnsureBuckets(context, array);
    ElementNode** link = &buckets[BucketOf(index)];
    while (*link != nullptr && (*link)->index < index) link = &(*link)->next;
    if (*link != nullptr && (*link)->index == index) {
        *(*link)->box = copy;
        return;
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
}

void ArrayRemove(ScriptContext* context, const Value& value, uint64_t index) {
    ScriptArray* array = AsArray(value);
    if (array == nullptr || array->buckets == nullptr) return;
    for (ElementNode** link = &array->buckets[BucketOf(index)]; *link != nullptr;
         link = &(*link)->next) {
        ElementNode* node = *link;
        if (node->index == index) {
            *link = node->next;
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
