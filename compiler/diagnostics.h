// Compile diagnostics: the error and warning lines every compiler stage
// writes into the compilation's message stream.
//
// A message line is "error: line N: TEXT\r\n" or "warning: line N: TEXT\r\n"
// with lines counted from 0. An error is fatal: CompileError throws
// CompileAbort, which only the compile entry catches, so the first error
// ends the compilation and no second error line can follow it.
#pragma once

#include <cstdarg>

#include "runtime/context.h"

namespace kelpo {

struct CompileState;

// Thrown by CompileError; carries nothing (the message is already written).
struct CompileAbort {};

// Longest formatted message text; longer texts are cut.
constexpr int kCompileMessageMax = 255;

[[noreturn]] void CompileError(ScriptContext* context, CompileState* state, int line,
                               const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    ;

void CompileWarning(ScriptContext* context, CompileState* state, int line, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    ;

}  // namespace kelpo
