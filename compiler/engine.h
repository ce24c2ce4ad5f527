// The engine layer: what the host holds to run Kelpo Script.
//
// A ScriptRunner is a context plus its options. Every run operation
// compiles (when needed) and runs through RunImage in the runner's context;
// none raises into its caller: success or failure is the return value, the
// text is left in errorText (or longErrorText for long compile messages),
// and the value of a run is the context's `result`.
#pragma once

#include <cstddef>
#include <cstdint>

#include "compiler/script_stream.h"
#include "runtime/context.h"

namespace kelpo {

struct EngineOptions {
    int32_t stackSlots;
    int32_t contextArgument;
    void* userData;
    uint32_t flags;
    DebugHook debugHook;
    void* hookArgument;
    intptr_t engineWords[2];
    // Bounds for untrusted scripts and images, 0 meaning none (the
    // default): the bytes the collected heap may take from the system
    // (past it allocation raises "Out of memory"), and the work one run may
    // do (past it the run stops with "Instruction budget exhausted").
    size_t heapLimit;
    uint64_t instructionBudget;
};

// Option flag bits.
constexpr uint32_t kEngineContextOptionFlag = 1u << 1;
constexpr uint32_t kEngineFlag0 = 1u << 2;
constexpr uint32_t kEngineFlag1 = 1u << 3;
constexpr uint32_t kEngineRewindListingFlag = 1u << 4;
constexpr uint32_t kEngineLineTableFlag = 1u << 5;
constexpr uint32_t kEngineWarnUndefinedFlag = 1u << 9;
constexpr uint32_t kEngineWarnSemicolonFlag = 1u << 12;
constexpr uint32_t kEngineWarnLineTerminatorFlag = 1u << 13;
constexpr uint32_t kDefaultEngineFlags = 0x58200;

EngineOptions DefaultEngineOptions();

struct ScriptRunner {
    EngineOptions options;
    ScriptContext* context;
};

// Installs the interpreter and the compiler as the entries of contexts
// created from now on (NewScriptRunner does it first).
void InstallCompiler();

ScriptRunner* NewScriptRunner(const EngineOptions* options);
void FreeScriptRunner(ScriptRunner* runner);

// Runs fn(runner) inside an error frame: 1 on normal return, 0 on a raise.
int RunProtected(ScriptRunner* runner, void (*fn)(ScriptRunner* runner));

// The compile options a runner's flags stand for.
uint32_t CompileOptionsOf(const ScriptRunner* runner);

// Compiles a source stream into an image held by a memory stream; null
// after a compile error. Messages go to errorText or longErrorText; with
// paths, a listing and the image file are written too.
ScriptStream* CompileScript(ScriptContext* context, ScriptStream* source, uint32_t options,
                            const char* listingPath, const char* outputPath);

int RunSource(ScriptRunner* runner, const char* text);
int RunSourceBytes(ScriptRunner* runner, const char* bytes, size_t length);
// -1 when the file cannot be opened or does not compile, else 1 or 0.
int RunSourceFile(ScriptRunner* runner, const char* path);
int RunImageFile(ScriptRunner* runner, const char* path);
int RunImageBytes(ScriptRunner* runner, const uint8_t* bytes, size_t length);
// Chooses by the file's extension and first bytes.
void RunScriptFile(ScriptRunner* runner, const char* path);
// The same, reporting what happened: 1 the run completed, 0 it failed or the
// file is not an image, -1 a source file could not be opened or compiled.
int RunScriptFileStatus(ScriptRunner* runner, const char* path);

}  // namespace kelpo
