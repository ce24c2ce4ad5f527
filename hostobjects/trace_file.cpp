#include "hostobjects/trace_file.h"

#include <cstdio>

#include "host/host_events.h"
#include "runtime/trace.h"

namespace kelpo {
namespace {

FILE* gTraceFile = nullptr;

void WriteToTraceFile(void* user, const char* text, size_t length) {
    fwrite(text, 1, length, static_cast<FILE*>(user));
}

}  // namespace

bool OpenTraceFile(const std::string& path) {
    CloseTraceFile();
    if (path.empty()) return false;
    // Binary: the trace output already ends its lines with CR LF.
    gTraceFile = fopen(path.c_str(), "wb");
    if (gTraceFile == nullptr) return false;
    SetTraceSink(WriteToTraceFile, gTraceFile);
    // The host closes it with the main window and at session end.
    TheHostEvents().closeTraceFile = CloseTraceFile;
    return true;
}

void CloseTraceFile() {
    if (gTraceFile == nullptr) return;
    SetTraceSink(nullptr, nullptr);
    fclose(gTraceFile);
    gTraceFile = nullptr;
}

bool TraceFileIsOpen() { return gTraceFile != nullptr; }

}  // namespace kelpo
