// The stack-machine interpreter.
//
// One call of Interpret runs one code unit to completion. Script-to-script
// calls push frame records on the value stack and continue in the same loop;
// a native that calls back into script code starts a nested Interpret below
// the current stack pointer.
//
// Frame record of a running function, addressed by its frame slot F (the
// stack grows toward lower addresses):
//   F + 1 + n  argument slot n: 0 the receiver, 1 the count, 2.. parameters
//   F          link: tag FrameLink, payload the caller's F (null: first frame)
//   F - 1      bookkeeping: tag FrameInfo, slots before padding and slots added
//   F - 2      with scopes: tag FrameLink, payload the with-scope block or null
//   F - 3      return position: tag FrameLink, payload the caller's code
//   F - 4 - n  local slot n; below the locals the operand stack
#pragma once

#include <cstdint>

#include "compiler/compiled_function.h"
#include "runtime/context.h"

namespace kelpo {

// Runs a compiled function; the result is left in context->result. Raises
// like any engine operation (callers enter through error frames).
void Interpret(ScriptContext* context, const Value* receiver, CompiledFunction* function,
               int argCount, Value* args);

// Diagnostics: the name of the unit containing a code position (".main"
// when none does), and the source name and line of the saved position.
const char* FunctionNameAt(ScriptContext* context, const uint32_t* code);
const char* SourceLineAt(ScriptContext* context, int* line);

// Installs the interpreter as the entry of every context created afterwards.
void InstallInterpreter();

}  // namespace kelpo
