// The state of one compilation: source and message streams, options, the
// lexer's look-ahead and counters, the parser's results and bookkeeping, and
// the fields the code generator fills.
//
// A CompileState is a zero-filled collected block; it and everything hanging
// from it (tokens, literal texts, syntax nodes) become garbage when the
// compilation ends. The collector never runs during a compilation.
#pragma once

#include <cstdint>

#include "compiler/script_stream.h"
#include "compiler/tokens.h"
#include "runtime/context.h"

namespace kelpo {

struct SyntaxNode;

// Records the code generator defines.
struct CompileScope;
struct LoopRecord;
struct Instruction;
struct CompileConstant;

// Compile option bits (the flags word of a compile call).
constexpr uint32_t RewindListingOption = 1u << 1;
constexpr uint32_t LineTableOption = 1u << 2;
constexpr uint32_t WarnSemicolonOption = 1u << 20;
constexpr uint32_t WarnLineTerminatorOption = 1u << 21;

// A list of nodes chained through `next`, with its tail for appending.
struct NodeList {
    SyntaxNode* first;
    SyntaxNode* last;
};

struct CompileState {
    // Streams and options.
    ScriptStream* source;
    const char* sourceName;  // the file path, or "string"
    ScriptStream* messages;  // memory stream receiving diagnostics
    uint32_t options;
    int32_t typedJumps;  // always 1: boolean jumps allowed

    // Lexer.
    Token* pending;  // the one-token look-ahead
    int32_t hasPending;
    int32_t inputEnded;     // a 0 byte was read: the source ends there
    int32_t dotEndsNumber;  // the pushed-back "." ended a number begun with "."
    int32_t tokenCount;
    int32_t argumentsCount;  // identifiers spelled "arguments" consumed
    int32_t insertedSemicolons;
    int32_t lastLine;  // line of the most recently consumed token

    // Parser.
    int32_t anonymousCounter;  // next "@F_" number
    NodeList functions;        // definitions in the order they end
    NodeList main;             // top-level statements in source order
    const char** nesting;      // code names of the functions being parsed
    int32_t nestingDepth;
    int32_t nestingCapacity;
    int32_t parseDepth;  // recursion depth of the parse functions

    // Code generation.
    CompileScope* scope;
    LoopRecord* loops;
    int32_t labelCounter;
    Instruction* firstInstruction;
    Instruction* lastInstruction;
    CompileConstant* constants;
    int32_t constantCount;
};

// Prepares a zero-filled state for a compilation of `source`: options,
// typed jumps, a fresh message stream and the keyword table. May raise
// "Out of memory".
void PrepareCompileState(ScriptContext* context, CompileState* state, ScriptStream* source,
                         uint32_t options);

// A zero-filled state on the collected heap.
CompileState* NewCompileState(ScriptContext* context);

}  // namespace kelpo
