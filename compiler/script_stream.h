// Script streams: the byte streams of the compiler and the engine layer.
//
// One record serves four kinds: a text source (the caller's NUL-terminated
// text, not copied), a growable memory buffer, a buffered file reader and a
// buffered file writer. The kind picks a table of operations at creation;
// push-back and the typed write are the same for every kind.
//
// The record is a collected block with a finalizer, so a stream that is
// simply dropped still releases its buffers and closes its file when the heap
// sweeps it (at the latest in DestroyContext). Buffers live on the plain
// process heap so that a failed growth can be answered with 0 instead of a
// raise.
//
// Reading: every kind answers 0 at the end of its data, and a file reader
// also answers 0 for a NUL byte in the file; readers stop at the first 0.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "runtime/context.h"
#include "runtime/gc.h"

namespace kelpo {

enum ScriptStreamKind : int32_t {
    TextSourceStream = 0,
    MemoryStream = 1,
    FileReaderStream = 2,
    FileWriterStream = 3,
};

// Size of the file buffer of readers and writers.
constexpr size_t kStreamFileBufferSize = 4096;
// The push-back stack grows by this many bytes at a time.
constexpr size_t kStreamPushBackStep = 32;

struct ScriptStream;

// The operations that differ by kind. `put` appends raw bytes (the sink of
// the typed write); kinds that cannot be written answer 0.
struct ScriptStreamOps {
    int (*close)(ScriptContext* context, ScriptStream* stream);
    int (*rewind)(ScriptContext* context, ScriptStream* stream);
    int (*getByte)(ScriptContext* context, ScriptStream* stream);
    int (*put)(ScriptContext* context, ScriptStream* stream, const void* bytes, size_t count);
    int (*flush)(ScriptContext* context, ScriptStream* stream);
};

struct ScriptStream {
    GcFinalizer finalizer;  // first word of a finalized collected block
    int32_t kind;           // ScriptStreamKind
    union {
        const char* text;      // text source
        unsigned char* bytes;  // memory buffer
        FILE* file;            // file reader and writer
    } data;
    // Text source: text length + 1 (the terminator counts); memory: buffer
    // capacity; reader: bytes in the read buffer; writer: buffer capacity.
    size_t length;
    // Read position (text source, reader) or bytes written / buffered
    // (memory, writer).
    size_t position;
    struct {
        unsigned char* bytes;
        size_t count;
        size_t capacity;
    } pushBack;
    const char* name;  // the file path, or "string" for text and memory
    int32_t line;      // maintained by the lexer, from 0
    const ScriptStreamOps* ops;
    unsigned char* fileBuffer;  // readers and writers
};

// Opens a stream of the given kind. Text source: `nameOrText` is the text
// (kept, not copied). Memory: nothing is used. File reader: a failure appends
// "can't open the script file: " with the path and a line feed to errorText
// and returns null. File writer: a failure returns null silently.
ScriptStream* OpenScriptStream(ScriptContext* context, const char* nameOrText, int kind);

// Readers and writers: frees the push-back buffer, flushes and closes the
// file; 1 when the file closed cleanly. Other kinds: 0.
int CloseScriptStream(ScriptContext* context, ScriptStream* stream);

// Text source and reader: back to the first byte with push-back emptied (1).
// Other kinds: 0.
int RewindScriptStream(ScriptContext* context, ScriptStream* stream);

// The next byte (0 to 255): pushed-back bytes first, last pushed first.
int StreamGetByte(ScriptContext* context, ScriptStream* stream);

// Pushes a byte back; 0 only when the push-back stack cannot grow.
int StreamPushBack(ScriptContext* context, ScriptStream* stream, int byte);

// Typed write: one value per format letter (case-insensitive):
//   a i32 as decimal text        b u32 length, pointer: the raw bytes
//   c one byte                   d double: its 8 bytes in memory order
//   f double as "%f" text        i u16, 2 bytes big-endian
//   l u32, 4 bytes big-endian    s NUL-terminated text without terminator
//   x u32 length n, pointer: 4 bytes big-endian n, then the n bytes
// Returns 1 when everything was written, 0 at the first failure (a stream
// that cannot be written, a failed growth or write, an unknown letter).
int StreamWrite(ScriptContext* context, ScriptStream* stream, const char* format, ...);
int StreamWriteV(ScriptContext* context, ScriptStream* stream, const char* format, va_list args);

// File writer: writes the buffered bytes (1 on success). Other kinds: 0.
int FlushScriptStream(ScriptContext* context, ScriptStream* stream);

// The bytes written to a memory stream so far (null when none).
inline const unsigned char* MemoryStreamBytes(const ScriptStream* stream) {
    return stream->data.bytes;
}
inline size_t MemoryStreamSize(const ScriptStream* stream) { return stream->position; }

}  // namespace kelpo
