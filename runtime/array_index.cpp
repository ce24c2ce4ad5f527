// Dense lookup indexes of large arrays (see array_index.h).
#include "runtime/array_index.h"

#include <cstdlib>
#include <cstring>

#include "runtime/gc.h"

namespace kelpo {
namespace {

// Indexes never cover more than this many slots (8 bytes each), nor an
// array whose elements would fill less than a quarter of the map.
constexpr uint64_t kMaxIndexCapacity = uint64_t{1} << 24;
constexpr uint64_t kMinIndexCapacity = 256;

uint64_t CapacityFor(uint64_t highest) {
    uint64_t capacity = kMinIndexCapacity;
    while (capacity <= highest) capacity <<= 1;
    return capacity;
}

bool Register(ScriptContext* context, ScriptArray* array) {
    if (context->indexedArrayCount == context->indexedArrayCapacity) {
        uint32_t capacity =
            context->indexedArrayCapacity == 0 ? 16 : context->indexedArrayCapacity * 2;
        auto* grown = static_cast<ScriptArray**>(
            realloc(context->indexedArrays, capacity * sizeof(ScriptArray*)));
        if (grown == nullptr) return false;
        context->indexedArrays = grown;
        context->indexedArrayCapacity = capacity;
    }
    context->indexedArrays[context->indexedArrayCount++] = array;
    return true;
}

void FreeIndex(ArrayIndex* index) {
    free(index->nodes);
    free(index);
}

// Builds the node map from the chains; leaves it dropped when the array is
// too sparse or too long for one.
void Build(ScriptArray* array, ArrayIndex* index) {
    uint64_t count = 0;
    uint64_t highest = 0;
    for (int b = 0; b < kArrayBuckets; ++b) {
        for (ElementNode* node = array->buckets[b]; node != nullptr; node = node->next) {
            ++count;
            if (node->index > highest) highest = node->index;
        }
    }
    index->lastElementCount = count;
    index->slowSteps = 0;
    if (highest >= kMaxIndexCapacity || count * 4 < highest) return;
    uint64_t capacity = CapacityFor(highest);
    auto* nodes = static_cast<ElementNode**>(calloc(capacity, sizeof(ElementNode*)));
    if (nodes == nullptr) return;
    for (int b = 0; b < kArrayBuckets; ++b) {
        for (ElementNode* node = array->buckets[b]; node != nullptr; node = node->next) {
            nodes[node->index] = node;
        }
    }
    index->nodes = nodes;
    index->capacity = capacity;
}

}  // namespace

void DropArrayIndex(ScriptArray* array) {
    ArrayIndex* index = array->index;
    if (index == nullptr || index->nodes == nullptr) return;
    free(index->nodes);
    index->nodes = nullptr;
    index->capacity = 0;
    index->slowSteps = 0;
}

ArrayIndex* NoteSlowWalk(ScriptContext* context, ScriptArray* array, uint32_t steps) {
    ArrayIndex* index = array->index;
    if (index == nullptr) {
        index = static_cast<ArrayIndex*>(calloc(1, sizeof(ArrayIndex)));
        if (index == nullptr) return nullptr;
        if (!Register(context, array)) {
            free(index);
            return nullptr;
        }
        array->index = index;
    }
    if (index->nodes != nullptr) return index;
    index->slowSteps += steps;
    if (index->slowSteps < index->lastElementCount + kMinIndexCapacity) return nullptr;
    Build(array, index);
    return index->nodes != nullptr ? index : nullptr;
}

bool ArrayIndexCovers(ArrayIndex* index, uint64_t element) {
    if (element < index->capacity) return true;
    // Growth by doubling serves arrays filled at their end; anything further
    // out is left to the chains.
    if (element >= index->capacity * 2 || index->capacity * 2 > kMaxIndexCapacity) return false;
    uint64_t capacity = index->capacity * 2;
    auto* grown =
        static_cast<ElementNode**>(realloc(index->nodes, capacity * sizeof(ElementNode*)));
    if (grown == nullptr) return false;
    memset(grown + index->capacity, 0, (capacity - index->capacity) * sizeof(ElementNode*));
    index->nodes = grown;
    index->capacity = capacity;
    return true;
}

void ReleaseDeadArrayIndexes(ScriptContext* context) {
    uint32_t kept = 0;
    for (uint32_t i = 0; i < context->indexedArrayCount; ++i) {
        ScriptArray* array = context->indexedArrays[i];
        if (GcIsMarked(array)) {
            context->indexedArrays[kept++] = array;
        } else {
            FreeIndex(array->index);
            array->index = nullptr;
        }
    }
    context->indexedArrayCount = kept;
}

void ReleaseAllArrayIndexes(ScriptContext* context) {
    for (uint32_t i = 0; i < context->indexedArrayCount; ++i) {
        FreeIndex(context->indexedArrays[i]->index);
        context->indexedArrays[i]->index = nullptr;
    }
    free(context->indexedArrays);
    context->indexedArrays = nullptr;
    context->indexedArrayCount = 0;
    context->indexedArrayCapacity = 0;
}

}  // namespace kelpo
