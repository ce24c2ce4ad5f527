// A compile entry for the front end alone: parses source text and hands
// back the compile state with its syntax trees. Used by tests and tools
// until the full compile entry exists, and a model of its error handling.
#pragma once

#include <cstdint>
#include <string>

#include "compiler/compile_state.h"

namespace kelpo {

// Parses `text` with the compile options `options`. Returns the state
// (function list and main list filled) or null when a compile error ended
// the parse or a runtime error (out of memory) was raised; `messages`, when
// given, receives every warning and error line written. Runs inside an error
// frame of its own, so it may be called from anywhere.
CompileState* ParseSource(ScriptContext* context, const char* text, uint32_t options,
                          std::string* messages);

}  // namespace kelpo
