// Compile diagnostics.
#include "compiler/diagnostics.h"

#include <cstdio>

#include "compiler/compile_state.h"
#include "compiler/script_stream.h"

namespace kelpo {
namespace {

void WriteMessage(ScriptContext* context, CompileState* state, const char* severity, int line,
                  const char* format, va_list args) {
    char text[kCompileMessageMax + 1];
    vsnprintf(text, sizeof text, format, args);
    if (state->messages == nullptr) return;
    // A message that cannot be stored (no memory) is dropped; the outcome of
    // the compilation does not depend on it.
    StreamWrite(context, state->messages, "sasss", severity, line, ": ", text, "\r\n");
}

}  // namespace

void CompileError(ScriptContext* context, CompileState* state, int line, const char* format, ...) {
    va_list args;
    va_start(args, format);
    WriteMessage(context, state, "error: line ", line, format, args);
    va_end(args);
    throw CompileAbort{};
}

void CompileWarning(ScriptContext* context, CompileState* state, int line, const char* format,
                    ...) {
    va_list args;
    va_start(args, format);
    WriteMessage(context, state, "warning: line ", line, format, args);
    va_end(args);
}

}  // namespace kelpo
