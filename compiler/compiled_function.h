// A loaded code unit: its word code, name and line entries.
//
// The record is a collected block; its parts live on the plain heap and are
// freed by its finalizer. Word code is an array of 32-bit words: each
// instruction is an opcode word followed, when the instruction has an
// operand, by one operand word; the last word is END.
#pragma once

#include <cstdint>

#include "runtime/context.h"
#include "runtime/gc.h"

namespace kelpo {

struct LineEntry {
    uint32_t word;  // word position of the instruction
    uint32_t line;  // source line, counted from 0
};

struct CompiledFunction {
    GcFinalizer destroy;
    char* name;
    uint32_t* words;
    uint32_t wordCount;
    char* sourceName;
    uint32_t lineCount;
    LineEntry* lines;
    ScriptContext* context;  // to leave the context's code registry
};

// Allocates an empty record that frees its parts when collected.
CompiledFunction* NewCompiledFunction(ScriptContext* context);

// Registers the record's words with the context once they are in place.
void RegisterCompiledFunction(ScriptContext* context, CompiledFunction* function);

// The unit containing a code position, or null.
CompiledFunction* FindCompiledFunction(ScriptContext* context, const uint32_t* position);

}  // namespace kelpo
