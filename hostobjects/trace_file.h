// The trace file of Application.traceToFile: one process-wide buffered file
// on the trace output. While it is open, `trace` lines and the engine's
// warnings are written to it; closing it takes it off the trace output.
#pragma once

#include <string>

namespace kelpo {

// Closes the current trace file, then creates (truncating) the file at
// `path` and puts it on the trace output; false when it cannot be created.
bool OpenTraceFile(const std::string& path);
// Closes the trace file, if one is open.
void CloseTraceFile();
bool TraceFileIsOpen();

}  // namespace kelpo
