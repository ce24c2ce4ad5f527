// The optimizer over the instruction list of one compilation.
#pragma once

#include <cstdint>

#include "runtime/context.h"

namespace kelpo {

struct CompileState;

// Pass bits (the compile entry always runs all four).
constexpr uint32_t kPeepholePass = 1;
constexpr uint32_t kJumpThreadingPass = 2;
constexpr uint32_t kDeadStorePass = 4;
constexpr uint32_t kCleanupPass = 8;
constexpr uint32_t kAllPasses = 15;

void OptimizeProgram(ScriptContext* context, CompileState* state, uint32_t passes);

}  // namespace kelpo
