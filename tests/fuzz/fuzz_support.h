// Shared pieces of the fuzz targets: a runner bounded so that no input can
// run or grow without end, trace output dropped, and the globals that reach
// the file system taken away (inputs must not write or read files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "compiler/engine.h"

namespace kelpo::fuzz {

// Limits under which every input finishes quickly. The collector stress
// build collects at every checkpoint, at a cost that grows with the heap:
// it runs inputs in a smaller heap and with less work each.
#ifdef KELPO_GC_STRESS
constexpr size_t kFuzzHeapLimit = 2u << 20;
constexpr uint64_t kFuzzInstructionBudget = 20000;
#else
constexpr size_t kFuzzHeapLimit = 64u << 20;
constexpr uint64_t kFuzzInstructionBudget = 200000;
#endif

// A fresh bounded runner (one per input, so findings reproduce alone).
// Aborts when the runner cannot be created: that is never the input's fault.
ScriptRunner* NewFuzzRunner(bool withFileAccess = false);

// The Latin-1 reading of bytes as a String global of the runner.
void SetStringGlobal(ScriptRunner* runner, const char* name, const uint8_t* bytes, size_t size);

// The image of a source text compiled by the runner's context; empty when it
// does not compile.
std::string CompileToImage(ScriptRunner* runner, const std::string& source);

// A private scratch file name for the inputs that must come from a file.
std::string ScratchPath(const char* extension);

}  // namespace kelpo::fuzz
