// The collected heap: a non-moving mark-and-sweep collector per context.
//
// Blocks are carved from 100 KB chunks in power-of-two size classes and kept
// on 20 free lists. Each block is preceded by an 8-byte header whose first
// word is (size << 2) | finalizer flag (bit 1) | mark (bit 0); the header is 8
// bytes rather than 4 so that every block is aligned for a Value. A
// finalized block's first word is its finalizer, called with the block when
// the block is found unreachable.
//
// Collection never happens inside an allocation: the interpreter calls
// CollectGarbage at fixed checkpoints, so natives never see their
// temporaries collected while they run.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/context.h"

namespace kelpo {

using GcFinalizer = void (*)(void* block);

constexpr size_t kGcChunkSize = 102400;
constexpr size_t kGcBlockHeader = 8;
constexpr size_t kGcChunkHeader = 16;
constexpr size_t kGcMinBlock = 8;
constexpr size_t kGcDefaultThreshold = 0x200000;

// Largest request the heap serves; larger ones raise "Out of memory".
constexpr size_t kGcMaxRequest = size_t{1} << 29;

// The largest request the context's heap could ever serve: kGcMaxRequest,
// or less under a heap limit. Builders of long texts outside the heap check
// against it, so that a text that could never become a String is out of
// memory before it takes that much from the system.
size_t GcRequestLimit(const ScriptContext* context);

// What a native instance holds outside the heap (a stream's buffer, an open
// file) counts like an allocation of `bytes`: a script that keeps dropping
// such instances has them collected as often as if their weight lay on the
// heap, instead of piling up outside it until memory or handles run out.
void GcNoteOutsideBytes(ScriptContext* context, size_t bytes);

void* GcAlloc(ScriptContext* context, size_t size);
void* GcAllocFinalized(ScriptContext* context, size_t size);
void* GcRealloc(ScriptContext* context, void* block, size_t size);
void GcFree(ScriptContext* context, void* block);

// Small records that are never marked and die together (the compiler's
// tokens, syntax nodes and instructions) share larger blocks instead of
// taking a power-of-two block each. Such a record must never be passed to
// GcMark, GcFree or GcRealloc. Nothing keeps it alive across a collection.
void* GcAllocPacked(ScriptContext* context, size_t size);

// Finalizers of late blocks (native classes) run after every ordinary
// finalizer of the same sweep, so instances can still use their class.
void GcSetLateFinalizer(void* block);

// 1 if the block was newly marked, 0 for null or an already marked block.
int GcMark(void* block);
bool GcIsMarked(const void* block);
void GcMarkValue(const Value& value);
void GcMarkObject(ScriptObject* object);

// Marks from the roots (constants, globals, classForTag, the value stack
// above stackPointer) and sweeps. `frame` is the running frame slot (unused
// by the marking itself, kept for the interpreter's call).
void CollectGarbage(ScriptContext* context, Value* frame, Value* stackPointer);

// Sweeps without marking anything new: every unmarked block is finalized
// and freed. DestroyContext uses it with nothing marked.
void SweepHeap(ScriptContext* context);

// Returns every chunk to the system (after the final sweep).
void FreeHeapChunks(ScriptContext* context);

// Code units register their word range so that a code position on the
// stack keeps its unit alive.
void GcRegisterCode(ScriptContext* context, const uint32_t* start, const uint32_t* end,
                    void* block);
void GcUnregisterCode(ScriptContext* context, void* block);
// The block of the unit containing a code position, or null.
void* GcFindCode(ScriptContext* context, const uint32_t* position);

// Inspection helpers for tests and benchmarks.
size_t GcBlockSize(const void* block);
int GcFreeListIndex(size_t size);
size_t GcRoundRequest(size_t size);

}  // namespace kelpo
