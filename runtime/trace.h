// The trace output: one process-wide text sink.
//
// `trace` and the engine's warnings write lines to it; every write is
// dropped while no sink is open. The host opens a file on it
// (Application.traceToFile); the kelpo tool points it at standard output.
#pragma once

#include "runtime/format_check.h"

#include <cstddef>

namespace kelpo {

using TraceSink = void (*)(void* user, const char* text, size_t length);

// Installs a sink (null closes the output).
void SetTraceSink(TraceSink sink, void* user);
bool TraceIsOpen();

// Writes bytes as they are.
void TraceWrite(const char* text, size_t length);
// Writes a line: the text followed by CR LF.
void TraceLine(const char* text);
// Formats a line (a warning, usually) and writes it with CR LF.
void TraceLinef(const char* format, ...) KELPO_PRINTF_FORMAT(1, 2);

}  // namespace kelpo
