// The dense lookup index of large arrays: a cache over the bucket chains.
//
// The chains stay the one authority on which elements exist and in which
// order they are met; the index only maps an index below its capacity
// straight to that element's node, so reads and writes of large arrays
// need not walk chains hundreds of nodes long. It lives on the plain
// process heap, outside the collected heap, so its presence changes
// neither the bytes handed out nor the collection schedule.
//
// Invariant while an index is valid: every node's index is below the
// capacity, and nodes[i] is the chain node of index i, or null when there
// is none (so the capacity may grow without looking at the chains). Code that moves,
// renumbers or frees nodes other than through ArraySet and ArrayRemove
// calls DropArrayIndex first; the next slow lookup rebuilds it.
#pragma once

#include <cstdint>

#include "runtime/array.h"

namespace kelpo {

struct ArrayIndex {
    ElementNode** nodes;  // null while the index is dropped
    uint64_t capacity;
    // Chain steps walked by lookups since the index was last dropped: a
    // rebuild costs about one step per element, so it waits until at
    // least that much walking was paid for.
    uint64_t slowSteps;
    uint64_t lastElementCount;
};

// A chain walk longer than this counts toward building an index.
constexpr uint32_t kArrayIndexWalk = 8;

// Forgets the node map (the array keeps its ArrayIndex record).
void DropArrayIndex(ScriptArray* array);

// Charges `steps` of chain walking to the array and builds the index once
// the walking has paid for it. Returns the index when it is valid.
ArrayIndex* NoteSlowWalk(ScriptContext* context, ScriptArray* array, uint32_t steps);

// Makes room for `element` when it lies just past the capacity (an array
// growing at its end). Returns whether `element` is now covered; when not,
// the caller must drop the index before storing there.
bool ArrayIndexCovers(ArrayIndex* index, uint64_t element);

// The collector's part: after marking, release the indexes of unreachable
// arrays; at context destruction, release all of them.
void ReleaseDeadArrayIndexes(ScriptContext* context);
void ReleaseAllArrayIndexes(ScriptContext* context);

}  // namespace kelpo
