// The collected heap: chunks, size-class free lists, marking and sweeping.
#include "runtime/gc.h"

#include <cstdlib>
#include <cstring>

#include "platform/heap_memory.h"
#include "runtime/array.h"
#include "runtime/array_index.h"
#include "runtime/errors.h"
#include "runtime/function.h"
#include "runtime/native.h"
#include "runtime/object.h"
#include "runtime/strings.h"
#include "runtime/with_scopes.h"

namespace kelpo {

struct GcChunk {
    GcChunk* next;
    uint32_t usableSize;  // bytes after the chunk header: block headers and bodies
    uint32_t inRegion;    // carved from a region: freed with the region
};
static_assert(sizeof(GcChunk) <= kGcChunkHeader, "chunk header fits its reserved space");

namespace {

constexpr uint32_t kMarkBit = 1;
constexpr uint32_t kFinalizerBit = 2;
constexpr uint32_t kLateFinalizer = 1;  // in the header's second word

struct BlockHeader {
    uint32_t word;   // (size << 2) | finalizer | mark
    uint32_t extra;  // kLateFinalizer
};
static_assert(sizeof(BlockHeader) == kGcBlockHeader, "block header size");

inline BlockHeader* HeaderOf(const void* block) {
    return reinterpret_cast<BlockHeader*>(const_cast<char*>(static_cast<const char*>(block)) -
                                          kGcBlockHeader);
}
inline void* BlockOf(BlockHeader* header) {
    return reinterpret_cast<char*>(header) + kGcBlockHeader;
}
inline size_t SizeOf(const BlockHeader* h) { return h->word >> 2; }
inline void SetHeader(BlockHeader* h, size_t size) {
    h->word = static_cast<uint32_t>(size << 2);
    h->extra = 0;
}
inline BlockHeader* NextHeader(BlockHeader* h) {
    return reinterpret_cast<BlockHeader*>(reinterpret_cast<char*>(h) + kGcBlockHeader + SizeOf(h));
}
inline BlockHeader* FirstHeader(GcChunk* chunk) {
    return reinterpret_cast<BlockHeader*>(reinterpret_cast<char*>(chunk) + kGcChunkHeader);
}
inline BlockHeader* EndHeader(GcChunk* chunk) {
    return reinterpret_cast<BlockHeader*>(reinterpret_cast<char*>(chunk) + kGcChunkHeader +
                                          chunk->usableSize);
}

void PushFree(GcHeap& heap, BlockHeader* h) {
    void* block = BlockOf(h);
    void** list = &heap.freeLists[GcFreeListIndex(SizeOf(h))];
    *static_cast<void**>(block) = *list;
    *list = block;
}

// An ordinary chunk's memory from the newest region, opening a new region
// when it is full; null when the system gives no region.
void* TakeRegionChunk(GcHeap& heap) {
    constexpr size_t kRegionHeader = 16;  // the link to the previous region
    static_assert(kRegionHeader + kGcChunkSize <= kHeapRegionBytes, "a chunk fits a region");
    if (heap.regionLeft < kGcChunkSize) {
        void* region = AllocateHeapRegion();
        if (region == nullptr) return nullptr;
        *static_cast<void**>(region) = heap.regions;
        heap.regions = region;
        heap.regionNext = static_cast<char*>(region) + kRegionHeader;
        heap.regionLeft = kHeapRegionBytes - kRegionHeader;
    }
    void* memory = heap.regionNext;
    heap.regionNext += kGcChunkSize;
    heap.regionLeft -= kGcChunkSize;
    return memory;
}

void AddChunk(ScriptContext* context, size_t request) {
    size_t total = kGcChunkSize;
    if (request + kGcChunkHeader + kGcBlockHeader > total) {
        total = request + kGcChunkHeader + kGcBlockHeader;
    }
    GcHeap& heap = context->heap;
    if (heap.limit != 0 && (total > heap.limit || heap.bytesFromSystem > heap.limit - total)) {
        SetErrorText(context, "Out of memory");
        RaiseError(context);
    }
    void* memory = total == kGcChunkSize ? TakeRegionChunk(heap) : nullptr;
    bool inRegion = memory != nullptr;
    if (!inRegion) memory = ContextAlloc(context, total);
    auto* chunk = static_cast<GcChunk*>(memory);
    chunk->next = heap.chunks;
    chunk->usableSize = static_cast<uint32_t>(total - kGcChunkHeader);
    chunk->inRegion = inRegion ? 1 : 0;
    heap.chunks = chunk;
    heap.bytesFromSystem += total;

    BlockHeader* body = FirstHeader(chunk);
    SetHeader(body, chunk->usableSize - kGcBlockHeader);
    PushFree(heap, body);
    heap.freeBytes += SizeOf(body);
}

// First fit within a list, lists in increasing order; splits off the rest.
void* TakeFreeBlock(GcHeap& heap, size_t a) {
    for (int list = GcFreeListIndex(a); list < kGcFreeLists; ++list) {
        void** link = &heap.freeLists[list];
        while (*link != nullptr) {
            void* block = *link;
            BlockHeader* h = HeaderOf(block);
            size_t size = SizeOf(h);
            if (size >= a) {
                *link = *static_cast<void**>(block);
#if defined(__GNUC__)
                // Free blocks lie scattered over the heap: start fetching
                // the list's next block for the allocation after this one.
                if (*link != nullptr) __builtin_prefetch(HeaderOf(*link), 1);
#endif
                if (size > a + kGcBlockHeader) {
                    auto* rest = reinterpret_cast<BlockHeader*>(static_cast<char*>(block) + a);
                    SetHeader(rest, size - a - kGcBlockHeader);
                    PushFree(heap, rest);
                    heap.freeBytes -= kGcBlockHeader;
                    size = a;
                }
                SetHeader(h, size);
                heap.freeBytes -= size;
                heap.bytesSinceSweep += size;
                return block;
            }
            link = static_cast<void**>(block);
        }
    }
    return nullptr;
}

// ---- Marking -------------------------------------------------------------

// Recursion deeper than this continues from an explicit list instead, so a
// deeply nested structure cannot exhaust the native stack.
constexpr int kMaxMarkDepth = 256;

// The mark list of the heap being marked. Class `mark` callbacks receive no
// context, so GcMarkValue finds the collection in progress here; a context
// is used by one thread only, and no collection nests in another.
GcMarkList* gMarking = nullptr;

void MarkValueAt(const Value& value, int depth);

void Defer(const Value& value) {
    GcMarkList& mark = *gMarking;
    if (mark.count == mark.capacity) {
        size_t capacity = mark.capacity == 0 ? 256 : mark.capacity * 2;
        auto* grown = static_cast<Value*>(realloc(mark.pending, capacity * sizeof(Value)));
        if (grown == nullptr) {
            // Dropping a mark would free live data; nothing sound remains.
            abort();
        }
        mark.pending = grown;
        mark.capacity = capacity;
    }
    mark.pending[mark.count++] = value;
}

void MarkNameIndex(ScriptObject* object) {
    if (object->nameIndex == nullptr) return;
    GcMark(object->nameIndex);
    GcMark(object->bucketCounts);
    for (int b = 0; b < kNameIndexBuckets; ++b) {
        for (NameIndexNode* node = object->nameIndex[b]; node != nullptr; node = node->next) {
            GcMark(node);
            GcMark(node->name);
        }
    }
}

void MarkObjectAt(ScriptObject* object, int depth) {
    if (object == nullptr || !GcMark(object)) return;
    if (depth > kMaxMarkDepth) {
        // Already marked: scan its slots later from the pending list.
        HeaderOf(object)->word &= ~kMarkBit;
        Defer(MakeObject(object));
        return;
    }
    for (;;) {
        GcMark(object->slots);
        MarkNameIndex(object);
        ScriptObject* single = nullptr;
        int unmarkedObjects = 0;
        for (uint32_t i = 0; i < object->slotCount; ++i) {
            const Value& v = object->slots[i].value;
            if (v.tag == ValueTag::Object && v.object != nullptr && !GcIsMarked(v.object)) {
                ++unmarkedObjects;
                single = v.object;
            } else {
                MarkValueAt(v, depth + 1);
            }
        }
        if (unmarkedObjects == 1) {
            // Follow a single link without recursing: long chains stay flat.
            if (!GcMark(single)) return;
            object = single;
            continue;
        }
        if (unmarkedObjects > 1) {
            for (uint32_t i = 0; i < object->slotCount; ++i) {
                const Value& v = object->slots[i].value;
                if (v.tag == ValueTag::Object) MarkObjectAt(v.object, depth + 1);
            }
        }
        return;
    }
}

void MarkArray(ScriptArray* array, int depth) {
    if (!GcMark(array)) return;
    if (depth > kMaxMarkDepth) {
        HeaderOf(array)->word &= ~kMarkBit;
        Defer(MakeArrayValue(array));
        return;
    }
    if (array->buckets != nullptr) {
        GcMark(array->buckets);
        for (int b = 0; b < kArrayBuckets; ++b) {
            for (ElementNode* node = array->buckets[b]; node != nullptr; node = node->next) {
                GcMark(node);
                GcMark(node->box);
                MarkValueAt(*node->box, depth + 1);
            }
        }
    }
    MarkObjectAt(array->props, depth + 1);
}

void MarkNative(NativeInstance* instance, int depth) {
    if (!GcMark(instance)) return;
    NativeClass* klass = instance->klass;
    if (klass != nullptr) {
        GcMark(klass);
        MarkObjectAt(klass->prototype, depth + 1);
    }
    MarkObjectAt(instance->props, depth + 1);
    if (klass != nullptr && klass->mark != nullptr) {
        int saved = gMarking->depth;
        gMarking->depth = depth + 1;
        klass->mark(klass, instance->data);
        gMarking->depth = saved;
    }
}

void MarkValueAt(const Value& value, int depth) {
    switch (value.tag) {
        case ValueTag::String: {
            ScriptString* s = value.string;
            if (!GcMark(s)) return;
            if (!IsStaticString(s)) GcMark(s->chars);
            MarkObjectAt(s->props, depth + 1);
            return;
        }
        case ValueTag::Array: MarkArray(value.array, depth); return;
        case ValueTag::Object: MarkObjectAt(value.object, depth); return;
        case ValueTag::Native: MarkNative(value.native, depth); return;
        case ValueTag::Function: {
            ScriptFunction* f = value.function;
            if (!GcMark(f)) return;
            GcMark(f->code);
            MarkObjectAt(f->props, depth + 1);
            return;
        }
        default: return;
    }
}

void DrainPending() {
    GcMarkList& mark = *gMarking;
    while (mark.count > 0) {
        Value v = mark.pending[--mark.count];
        MarkValueAt(v, 0);
    }
}

void MarkStack(ScriptContext* context, Value* stackPointer) {
    GcMark(GcFindCode(context, context->savedCode));
    if (context->stackBase == nullptr || stackPointer == nullptr) return;
    Value* last = context->stackBase + context->stackSlots - 1;
    for (Value* slot = stackPointer + 1; slot <= last; ++slot) {
        if (slot->tag == ValueTag::FrameLink) {
            // Scanning upward, a frame record begins with its return-position
            // slot (a code position whose unit stays alive); the slot after
            // it holds the with-scope block.
            GcMark(GcFindCode(context, static_cast<const uint32_t*>(slot->pointer)));
            if (slot + 1 <= last) {
                auto* scopes = static_cast<WithScopeBlock*>(slot[1].pointer);
                if (scopes != nullptr && GcMark(scopes)) {
                    Value* entries = WithScopeEntries(scopes);
                    for (uint32_t i = 0; i < scopes->count; ++i) MarkValueAt(entries[i], 0);
                }
            }
            slot += 3;
            continue;
        }
        MarkValueAt(*slot, 0);
    }
}

// Calls the finalizer of an unreachable finalized block once.
inline void Finalize(BlockHeader* h) {
    if ((h->word & kFinalizerBit) == 0) return;
    void* block = BlockOf(h);
    GcFinalizer finalizer = *static_cast<GcFinalizer*>(block);
    h->word &= ~kFinalizerBit;
    if (finalizer != nullptr) finalizer(block);
}

// ---- Sweeping -------------------------------------------------------------

// A list that grows by doubling.
template <typename T>
struct SweepList {
    T* items = nullptr;
    size_t count = 0;
    size_t capacity = 0;

    SweepList() = default;
    SweepList(const SweepList&) = delete;
    SweepList& operator=(const SweepList&) = delete;
    ~SweepList() { free(items); }

    void Append(const T& item) {
        if (count == capacity) {
            size_t grown = capacity == 0 ? 256 : capacity * 2;
            auto* more = static_cast<T*>(realloc(items, grown * sizeof(T)));
            // Losing a free block or a finalizer would leak or corrupt;
            // nothing sound remains.
            if (more == nullptr) abort();
            items = more;
            capacity = grown;
        }
        items[count++] = item;
    }
};

struct LateFinalizer {
    GcFinalizer finalizer;
    void* block;
};

// One sweep's lists. Each sweep has its own: a finalizer may destroy
// another context, which sweeps that context's heap meanwhile.
struct SweepState {
    SweepList<BlockHeader*> freed;  // merged free blocks, in walk order
    SweepList<LateFinalizer> late;  // late finalizers, in walk order
};

// An unreachable block's finalizer: run now, or kept for after the
// ordinary ones when it is late.
inline void FinalizeOrDefer(SweepState& sweep, BlockHeader* h) {
    if ((h->word & kFinalizerBit) == 0) return;
    if ((h->extra & kLateFinalizer) == 0) {
        Finalize(h);
        return;
    }
    void* block = BlockOf(h);
    GcFinalizer finalizer = *static_cast<GcFinalizer*>(block);
    h->word &= ~kFinalizerBit;
    if (finalizer != nullptr) sweep.late.Append(LateFinalizer{finalizer, block});
}

}  // namespace

// ---- Public interface ------------------------------------------------------

void GcRegisterCode(ScriptContext* context, const uint32_t* start, const uint32_t* end,
                    void* block) {
    if (context->codeRangeCount == context->codeRangeCapacity) {
        uint32_t capacity = context->codeRangeCapacity == 0 ? 64 : context->codeRangeCapacity * 2;
        context->codeRanges = static_cast<CodeRange*>(
            ContextRealloc(context, context->codeRanges, capacity * sizeof(CodeRange)));
        context->codeRangeCapacity = capacity;
    }
    uint32_t i = context->codeRangeCount;
    while (i > 0 && context->codeRanges[i - 1].start > start) {
        context->codeRanges[i] = context->codeRanges[i - 1];
        --i;
    }
    context->codeRanges[i] = CodeRange{start, end, block};
    context->codeRangeCount++;
}

void GcUnregisterCode(ScriptContext* context, void* block) {
    for (uint32_t i = 0; i < context->codeRangeCount; ++i) {
        if (context->codeRanges[i].block == block) {
            memmove(&context->codeRanges[i], &context->codeRanges[i + 1],
                    (context->codeRangeCount - i - 1) * sizeof(CodeRange));
            context->codeRangeCount--;
            return;
        }
    }
}

void* GcFindCode(ScriptContext* context, const uint32_t* position) {
    if (position == nullptr) return nullptr;
    uint32_t lo = 0;
    uint32_t hi = context->codeRangeCount;
    while (lo < hi) {  // first range whose start is beyond the position
        uint32_t mid = (lo + hi) / 2;
        if (context->codeRanges[mid].start <= position)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo == 0) return nullptr;
    const CodeRange& range = context->codeRanges[lo - 1];
    return position <= range.end ? range.block : nullptr;
}

namespace {

// floor(log2(n)) for n > 0; every allocation asks for it twice.
inline int FloorLog2(uint64_t n) {
#if defined(__GNUC__)
    return 63 - __builtin_clzll(n);
#else
    int log = 0;
    while (n > 1) {
        n >>= 1;
        ++log;
    }
    return log;
#endif
}

}  // namespace

size_t GcRoundRequest(size_t size) {
    if (size <= kGcMinBlock) return kGcMinBlock;
    return size_t{1} << (FloorLog2(uint64_t{size} - 1) + 1);
}

int GcFreeListIndex(size_t size) {
    if (size < 8) return 0;
    int index = 1 + FloorLog2(uint64_t{size} / 8);
    return index < kGcFreeLists - 1 ? index : kGcFreeLists - 1;
}

size_t GcBlockSize(const void* block) { return SizeOf(HeaderOf(block)); }

void GcNoteOutsideBytes(ScriptContext* context, size_t bytes) {
    size_t& due = context->heap.bytesSinceSweep;
    due = bytes > SIZE_MAX - due ? SIZE_MAX : due + bytes;
}

size_t GcRequestLimit(const ScriptContext* context) {
    size_t limit = context->heap.limit;
    return limit != 0 && limit < kGcMaxRequest ? limit : kGcMaxRequest;
}

void* GcAlloc(ScriptContext* context, size_t size) {
    if (size > kGcMaxRequest) {
        SetErrorText(context, "Out of memory");
        RaiseError(context);
    }
    size_t a = GcRoundRequest(size);
    GcHeap& heap = context->heap;
    void* block = TakeFreeBlock(heap, a);
    if (block == nullptr) {
        AddChunk(context, a);
        block = TakeFreeBlock(heap, a);
    }
    return block;
}

void* GcAllocPacked(ScriptContext* context, size_t size) {
    constexpr size_t kPackBlock = 8192;
    constexpr size_t kAlign = alignof(Value);
    size = (size + kAlign - 1) & ~(kAlign - 1);
    if (size > kPackBlock / 8) return GcAlloc(context, size);
    GcHeap& heap = context->heap;
    if (heap.packLeft < size) {
        heap.packNext = static_cast<char*>(GcAlloc(context, kPackBlock));
        heap.packLeft = kPackBlock;
    }
    void* record = heap.packNext;
    heap.packNext += size;
    heap.packLeft -= size;
    return record;
}

void* GcAllocFinalized(ScriptContext* context, size_t size) {
    if (size < sizeof(GcFinalizer)) size = sizeof(GcFinalizer);
    void* block = GcAlloc(context, size);
    memset(block, 0, size);
    HeaderOf(block)->word |= kFinalizerBit;
    return block;
}

void GcSetLateFinalizer(void* block) { HeaderOf(block)->extra |= kLateFinalizer; }

void* GcRealloc(ScriptContext* context, void* block, size_t size) {
    if (block == nullptr) return GcAlloc(context, size);
    size_t old = GcBlockSize(block);
    if (old >= size) return block;
    void* grown = GcAlloc(context, size);
    memcpy(grown, block, old);
    GcFree(context, block);
    return grown;
}

void GcFree(ScriptContext* context, void* block) {
    if (block == nullptr) return;
    BlockHeader* h = HeaderOf(block);
    h->word &= ~(kMarkBit | kFinalizerBit);
    h->extra = 0;
    PushFree(context->heap, h);
    context->heap.freeBytes += SizeOf(h);
}

int GcMark(void* block) {
    if (block == nullptr) return 0;
    BlockHeader* h = HeaderOf(block);
    if (h->word & kMarkBit) return 0;
    h->word |= kMarkBit;
    return 1;
}

bool GcIsMarked(const void* block) { return (HeaderOf(block)->word & kMarkBit) != 0; }

void GcMarkValue(const Value& value) { MarkValueAt(value, gMarking->depth); }

void GcMarkObject(ScriptObject* object) { MarkObjectAt(object, gMarking->depth); }

void CollectGarbage(ScriptContext* context, Value* /*frame*/, Value* stackPointer) {
    context->heap.collections++;
    gMarking = &context->heap.mark;
    gMarking->depth = 0;
    for (uint32_t i = 0; i < context->constantCount; ++i) MarkValueAt(context->constants[i], 0);
    for (uint32_t i = 0; i < context->atomCount; ++i) MarkValueAt(context->atomValues[i], 0);
    for (NativeClass* klass : context->classForTag) GcMark(klass);
    // Result of the last call: host code reads it after the call returns.
    MarkValueAt(context->result, 0);
    MarkStack(context, stackPointer);
    DrainPending();
    gMarking = nullptr;
    ReleaseDeadArrayIndexes(context);
    SweepHeap(context);
}

void SweepHeap(ScriptContext* context) {
    GcHeap& heap = context->heap;
    // The open pack block is not marked by anything: it goes with the sweep.
    heap.packNext = nullptr;
    heap.packLeft = 0;
    for (void*& list : heap.freeLists) list = nullptr;
    heap.bytesSinceSweep = 0;
    heap.freeBytes = 0;
    SweepState sweep;

    // One walk: ordinary finalizers run as their blocks are met; late ones
    // (classes) wait until every ordinary one has run, so that an instance's
    // finalizer still finds its class intact. Merged free blocks only get
    // their sizes here and join the free lists after the last finalizer, so
    // no finalizer finds a link written over a block it reads. (Finalizers
    // release what lies outside the heap; none allocates or frees blocks.)
    for (GcChunk* chunk = heap.chunks; chunk != nullptr; chunk = chunk->next) {
        BlockHeader* end = EndHeader(chunk);
        BlockHeader* h = FirstHeader(chunk);
        while (h < end) {
            if (h->word & kMarkBit) {
                h->word &= ~kMarkBit;
                h = NextHeader(h);
                continue;
            }
            FinalizeOrDefer(sweep, h);
            size_t merged = SizeOf(h);
            BlockHeader* next = NextHeader(h);
            while (next < end && (next->word & kMarkBit) == 0) {
                FinalizeOrDefer(sweep, next);
                merged += SizeOf(next) + kGcBlockHeader;
                next = NextHeader(next);
            }
            SetHeader(h, merged);
            sweep.freed.Append(h);
            heap.freeBytes += merged;
            h = next;
        }
    }

    for (size_t i = 0; i < sweep.late.count; ++i) {
        LateFinalizer& late = sweep.late.items[i];
        late.finalizer(late.block);
    }
    for (size_t i = 0; i < sweep.freed.count; ++i) PushFree(heap, sweep.freed.items[i]);
}

void FreeHeapChunks(ScriptContext* context) {
    GcHeap& heap = context->heap;
    GcChunk* chunk = heap.chunks;
    while (chunk != nullptr) {
        GcChunk* next = chunk->next;
        if (!chunk->inRegion) ContextFree(chunk);
        chunk = next;
    }
    heap.chunks = nullptr;
    while (heap.regions != nullptr) {
        void* previous = *static_cast<void**>(heap.regions);
        FreeHeapRegion(heap.regions);
        heap.regions = previous;
    }
    heap.regionNext = nullptr;
    heap.regionLeft = 0;
    for (void*& list : heap.freeLists) list = nullptr;
    heap.freeBytes = 0;
    free(heap.mark.pending);
    heap.mark = GcMarkList{};
}

}  // namespace kelpo
