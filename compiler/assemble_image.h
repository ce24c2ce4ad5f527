// From the optimized instruction list to a KS1b image, and the listing file.
#pragma once

#include <cstdint>
#include <vector>

#include "compiler/compile_state.h"
#include "compiler/script_stream.h"

namespace kelpo {

// The image bytes of a compilation (after AssignOffsets).
std::vector<uint8_t> AssembleImageBytes(ScriptContext* context, CompileState* state);

// The same in a memory ScriptStream; null when the stream cannot be filled.
ScriptStream* AssembleImage(ScriptContext* context, CompileState* state);

// The listing: a single mode line.
void WriteListing(ScriptContext* context, CompileState* state, ScriptStream* stream);

}  // namespace kelpo
