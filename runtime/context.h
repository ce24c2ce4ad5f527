// The script context: one complete engine instance.
//
// A context owns its atoms (which double as the global-variable table), the
// constant pool, the value stack, the collected heap and the error-frame
// chain. Every engine operation takes the context first. A context is used
// only by the thread that created it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/value.h"

namespace kelpo {

struct CompiledFunction;
struct ErrorFrame;
struct GcChunk;

// Interpreter entry stored in the context: runs a compiled function with an
// optional receiver and an ArgList (element 0 is the Integer count; argCount
// includes it). The result is left in the context's `result`.
using InterpreterEntry = void (*)(ScriptContext* context, const Value* receiver,
                                  CompiledFunction* function, int argCount, Value* args);

// Diagnostics lookups installed in every context (filled in by the interpreter).
using FunctionNameAtFn = const char* (*)(ScriptContext* context, const uint32_t* code);
using SourceLineAtFn = const char* (*)(ScriptContext* context, int* line);

// Compiler entry stored in the context: compiles and runs source text in
// it with the default engine options (the Function class builds functions
// this way). 1 on success; on failure the message is in errorText.
using SourceRunEntry = int (*)(ScriptContext* context, const char* text);

// Debug hook: called by the interpreter with (code, argument); a non-zero
// answer stops the run with "hook break %d".
using DebugHook = int (*)(int code, void* argument);

// A loaded code unit's word range and its collected record.
struct CodeRange {
    const uint32_t* start;
    const uint32_t* end;
    void* block;
};

// Atom entry: one interned name.
struct AtomEntry {
    AtomEntry* next;  // next entry in the same bucket
    char* name;       // ContextStrDup'ed, NUL-terminated
    Atom atom;
};

// Entry of the per-context keyword table the lexer fills.
struct KeywordEntry {
    char* name;
    int16_t token;
    KeywordEntry* next;
};

constexpr int kAtomBuckets = 256;
constexpr int kKeywordBuckets = 32;
constexpr int kGcFreeLists = 20;
constexpr int kErrorTextSize = 1024;
constexpr uint32_t kMemberHintBuckets = 1024;

// Values the marker set aside when recursion got too deep, and the depth
// class `mark` callbacks continue at.
struct GcMarkList {
    Value* pending;
    size_t count;
    size_t capacity;
    int depth;
};

// Collector bookkeeping (see gc.h for the algorithms).
struct GcHeap {
    GcChunk* chunks;
    void* freeLists[kGcFreeLists];
    size_t bytesFromSystem;
    size_t threshold;
    // Bytes allocated since the last sweep; a collection is due when they
    // reach the threshold.
    size_t bytesSinceSweep;
    size_t freeBytes;
    uint32_t collections;
    // Most bytes the heap may take from the system; 0 is no limit.
    size_t limit;
    // The open block that GcAllocPacked carves records from, and the bytes
    // left in it; forgotten at every sweep.
    char* packNext;
    size_t packLeft;
    // Regions that ordinary chunks are carved from (platform/heap_memory.h),
    // linked through their first word, and the room left in the newest.
    void* regions;
    char* regionNext;
    size_t regionLeft;
    GcMarkList mark;
};

// Option bit 2 of `options`: warn when a script reads an unassigned global.
constexpr uint32_t kWarnUndefinedVariableOption = 4;

struct ScriptContext {
    void* userData;
    uint32_t options;

    // Engine group.
    uint32_t engineFlags;
    int32_t engineCounter;
    InterpreterEntry interpreter;
    // The Function value whose code the next interpreter entry runs, when the
    // caller has one: the run keeps it in its function slot instead of
    // allocating a new one. Taken (and cleared) on entry.
    const Value* enteringFunction;

    FunctionNameAtFn functionNameAt;
    SourceLineAtFn sourceLineAt;
    // Null when the program has no compiler.
    SourceRunEntry runSource;

    // Constant pool filled by the image loader; a collection root.
    Value* constants;
    uint32_t constantCount;
    uint32_t constantCapacity;

    AtomEntry* atomBuckets[kAtomBuckets];

    // One Value per atom: the global variables.
    Value* atomValues;
    uint32_t atomCount;
    uint32_t atomCapacity;

    KeywordEntry* keywordTable[kKeywordBuckets];

    int32_t anonymousFunctionCount;

    // Value stack: grows downward from its last slot; stackPointer is the
    // next free slot. savedCode is the code position saved for diagnostics.
    Value* stackBase;
    int32_t stackSlots;
    Value* stackPointer;
    const uint32_t* savedCode;

    NativeClass* classForTag[kClassTagCount];

    // Atoms 0 to 4 of every context.
    Atom atomProto;
    Atom atomPrototype;
    Atom atomToSource;
    Atom atomToString;
    Atom atomValueOf;

    GcHeap heap;

    ErrorFrame* errorFrames;
    char errorText[kErrorTextSize];
    char* longErrorText;  // plain process heap; freed at destruction

    Value result;

    DebugHook debugHook;
    void* debugHookArgument;

    intptr_t engineWords[2];

    // Code ranges of loaded code units, sorted by start: lets the collector
    // keep every unit that has a frame on the stack, even when no global
    // refers to it any more.
    struct CodeRange* codeRanges;
    uint32_t codeRangeCount;
    uint32_t codeRangeCapacity;

    // Extra free stack slots the interpreter keeps in hand at every jump:
    // the largest number of values any loaded unit pushes between jumps.
    int32_t stackReserve;

    // Interpreter runs active on this context (nested runs start from
    // natives that call back into script code).
    int32_t runDepth;

    // Work an outermost run may do, in units of backward-jump spans and
    // calls (see interpreter.cpp); 0 is no limit. budgetLeft counts down
    // from instructionBudget at the start of every outermost run; once it is
    // spent the run stops, and no try handler of the script can resume it.
    uint64_t instructionBudget;
    uint64_t budgetLeft;
    bool budgetExhausted;

    // Member lookup hints: for each atom's bucket, the slot number where
    // that name was last found on an object. A lookup tries the hinted slot
    // first; objects built alike keep a name at the same slot.
    uint32_t memberHints[kMemberHintBuckets];

    // Large arrays that carry a dense lookup index (array_index.h), so the
    // collector can release the index of an array it finds unreachable.
    ScriptArray** indexedArrays;
    uint32_t indexedArrayCount;
    uint32_t indexedArrayCapacity;
};

// The cached atoms every context interns first, in this order.
constexpr Atom kAtomProto = 0;
constexpr Atom kAtomPrototype = 1;
constexpr Atom kAtomToSource = 2;
constexpr Atom kAtomToString = 3;
constexpr Atom kAtomValueOf = 4;

// Context lifecycle. `NewContext` returns null when the context cannot be
// created or when registering the built-in classes raised an error.
ScriptContext* NewContext(int stackSlots, int unused, void* userData, uint32_t optionBit);
void DestroyContext(ScriptContext* context);

// The interpreter installs itself here; contexts created afterwards get it.
void SetDefaultInterpreterEntry(InterpreterEntry entry, FunctionNameAtFn functionNameAt,
                                SourceLineAtFn sourceLineAt);

// The compiler installs itself here; contexts created afterwards get it.
void SetDefaultSourceRunEntry(SourceRunEntry entry);

// Plain context allocation. With a context, failure writes "Out of memory"
// and raises; with a null context, failure returns null.
void* ContextAlloc(ScriptContext* context, size_t size);
void* ContextCalloc(ScriptContext* context, size_t count, size_t size);
void* ContextRealloc(ScriptContext* context, void* block, size_t size);
void ContextFree(void* block);
char* ContextStrDup(ScriptContext* context, const char* text);
char16_t* ContextWcsDup(ScriptContext* context, const char16_t* text);

}  // namespace kelpo
