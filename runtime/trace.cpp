// The process-wide trace output.
#include "runtime/trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace kelpo {
namespace {

TraceSink gSink = nullptr;
void* gUser = nullptr;

}  // namespace

void SetTraceSink(TraceSink sink, void* user) {
    gSink = sink;
    gUser = user;
}

bool TraceIsOpen() { return gSink != nullptr; }

void TraceWrite(const char* text, size_t length) {
    if (gSink != nullptr && length != 0) gSink(gUser, text, length);
}

void TraceLine(const char* text) {
    if (gSink == nullptr) return;
    TraceWrite(text, strlen(text));
    TraceWrite("\r\n", 2);
}

void TraceLinef(const char* format, ...) {
    if (gSink == nullptr) return;
    char line[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    TraceLine(line);
}

}  // namespace kelpo
