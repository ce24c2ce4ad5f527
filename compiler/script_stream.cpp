// Script streams: the four kinds, push-back and the typed write.
#include "compiler/script_stream.h"

#include <cstdlib>
#include <cstring>

#include "runtime/errors.h"

namespace kelpo {
namespace {

const char kStringStreamName[] = "string";

int NotSupported(ScriptContext*, ScriptStream*) { return 0; }
int CannotPut(ScriptContext*, ScriptStream*, const void*, size_t) { return 0; }
int NoBytes(ScriptContext*, ScriptStream*) { return 0; }

// ---- Text source ------------------------------------------------------------

int TextGetByte(ScriptContext*, ScriptStream* s) {
    if (s->position >= s->length) return 0;
    return static_cast<unsigned char>(s->data.text[s->position++]);
}

int TextRewind(ScriptContext*, ScriptStream* s) {
    s->position = 0;
    s->pushBack.count = 0;
    return 1;
}

// ---- Memory buffer ----------------------------------------------------------

int MemoryPut(ScriptContext*, ScriptStream* s, const void* bytes, size_t count) {
    if (count == 0) return 1;
    if (count > SIZE_MAX - s->position - 128) return 0;
    size_t needed = s->position + count;
    if (needed > s->length) {
        // The next multiple of 64 bytes, plus 64.
        size_t capacity = (needed + 63) / 64 * 64 + 64;
        void* grown = realloc(s->data.bytes, capacity);
        if (grown == nullptr) return 0;
        s->data.bytes = static_cast<unsigned char*>(grown);
        s->length = capacity;
    }
    memcpy(s->data.bytes + s->position, bytes, count);
    s->position = needed;
    return 1;
}

// ---- File reader ------------------------------------------------------------

int ReaderGetByte(ScriptContext*, ScriptStream* s) {
    if (s->data.file == nullptr) return 0;
    if (s->position >= s->length) {
        size_t n = fread(s->fileBuffer, 1, kStreamFileBufferSize, s->data.file);
        if (n < kStreamFileBufferSize) {
            // A short read: the 0 behind the data reads as end of input.
            s->fileBuffer[n] = 0;
            ++n;
        }
        s->length = n;
        s->position = 0;
    }
    return s->fileBuffer[s->position++];
}

int ReaderRewind(ScriptContext*, ScriptStream* s) {
    if (s->data.file == nullptr) return 0;
    if (fseek(s->data.file, 0, SEEK_SET) != 0) return 0;
    s->length = 0;
    s->position = 0;
    s->pushBack.count = 0;
    return 1;
}

// ---- File writer ------------------------------------------------------------

int WriterFlush(ScriptContext*, ScriptStream* s) {
    if (s->data.file == nullptr) return 0;
    size_t n = s->position;
    s->position = 0;
    if (n == 0) return 1;
    return fwrite(s->fileBuffer, 1, n, s->data.file) == n ? 1 : 0;
}

// The flush operation: the buffered bytes reach the file itself.
int WriterFlushToFile(ScriptContext* context, ScriptStream* s) {
    int ok = WriterFlush(context, s);
    if (s->data.file != nullptr && fflush(s->data.file) != 0) ok = 0;
    return ok;
}

int WriterPut(ScriptContext* context, ScriptStream* s, const void* bytes, size_t count) {
    if (s->data.file == nullptr) return 0;
    if (count >= kStreamFileBufferSize / 2) {
        // A large piece bypasses the buffer, after what is already buffered.
        if (!WriterFlush(context, s)) return 0;
        return fwrite(bytes, 1, count, s->data.file) == count ? 1 : 0;
    }
    if (s->position + count > kStreamFileBufferSize && !WriterFlush(context, s)) return 0;
    memcpy(s->fileBuffer + s->position, bytes, count);
    s->position += count;
    return 1;
}

// ---- Closing and finalizing -------------------------------------------------

void FreePushBack(ScriptStream* s) {
    free(s->pushBack.bytes);
    s->pushBack.bytes = nullptr;
    s->pushBack.count = 0;
    s->pushBack.capacity = 0;
}

int FileClose(ScriptContext* context, ScriptStream* s) {
    if (s->data.file == nullptr) return 0;
    FreePushBack(s);
    int ok = 1;
    if (s->kind == FileWriterStream) ok = WriterFlush(context, s);
    if (fclose(s->data.file) != 0) ok = 0;
    s->data.file = nullptr;
    return ok;
}

// Runs when the heap finds the stream unreachable: an unclosed writer still
// gets its buffered bytes written.
void FinalizeStream(void* block) {
    auto* s = static_cast<ScriptStream*>(block);
    if ((s->kind == FileReaderStream || s->kind == FileWriterStream) && s->data.file != nullptr) {
        FileClose(nullptr, s);
    }
    if (s->kind == MemoryStream) free(s->data.bytes);
    s->data.bytes = nullptr;
    FreePushBack(s);
    free(s->fileBuffer);
    s->fileBuffer = nullptr;
    if (s->name != kStringStreamName) free(const_cast<char*>(s->name));
    s->name = nullptr;
}

const ScriptStreamOps kStreamOps[4] = {
    {NotSupported, TextRewind, TextGetByte, CannotPut, NotSupported},
    {NotSupported, NotSupported, NoBytes, MemoryPut, NotSupported},
    {FileClose, ReaderRewind, ReaderGetByte, CannotPut, NotSupported},
    {FileClose, NotSupported, NoBytes, WriterPut, WriterFlushToFile},
};

void AppendOpenFailure(ScriptContext* context, const char* path) {
    size_t used = strlen(context->errorText);
    if (used >= sizeof context->errorText - 1) return;
    snprintf(context->errorText + used, sizeof context->errorText - used,
             "can't open the script file: %s\n", path);
}

// ---- Typed write ------------------------------------------------------------

int PutBigEndian(ScriptContext* context, ScriptStream* s, uint32_t value, int width) {
    unsigned char bytes[4];
    for (int i = 0; i < width; ++i) {
        bytes[i] = static_cast<unsigned char>(value >> (8 * (width - 1 - i)));
    }
    return s->ops->put(context, s, bytes, static_cast<size_t>(width));
}

int PutText(ScriptContext* context, ScriptStream* s, const char* format, ...) {
    // Wide enough for "%f" of any double (at most 309 digits, a sign and
    // the fraction) and for any i32.
    char text[400];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0 || static_cast<size_t>(n) >= sizeof text) return 0;
    return s->ops->put(context, s, text, static_cast<size_t>(n));
}

int WriteOne(ScriptContext* context, ScriptStream* s, char letter, va_list* args) {
    switch (letter | 0x20) {
        case 'a': return PutText(context, s, "%d", static_cast<int32_t>(va_arg(*args, int)));
        case 'b': {
            uint32_t n = va_arg(*args, uint32_t);
            const void* bytes = va_arg(*args, const void*);
            return n == 0 || bytes != nullptr ? s->ops->put(context, s, bytes, n) : 0;
        }
        case 'c': {
            unsigned char byte = static_cast<unsigned char>(va_arg(*args, int));
            return s->ops->put(context, s, &byte, 1);
        }
        case 'd': {
            double d = va_arg(*args, double);
            return s->ops->put(context, s, &d, sizeof d);
        }
        case 'f': return PutText(context, s, "%f", va_arg(*args, double));
        case 'i': return PutBigEndian(context, s, static_cast<uint16_t>(va_arg(*args, int)), 2);
        case 'l': return PutBigEndian(context, s, va_arg(*args, uint32_t), 4);
        case 's': {
            const char* text = va_arg(*args, const char*);
            return text == nullptr ? 1 : s->ops->put(context, s, text, strlen(text));
        }
        case 'x': {
            uint32_t n = va_arg(*args, uint32_t);
            const void* bytes = va_arg(*args, const void*);
            if (n != 0 && bytes == nullptr) return 0;
            return PutBigEndian(context, s, n, 4) && s->ops->put(context, s, bytes, n);
        }
        default:
            // The types of the remaining arguments are unknown: stop here.
            return 0;
    }
}

}  // namespace

ScriptStream* OpenScriptStream(ScriptContext* context, const char* nameOrText, int kind) {
    if (kind < TextSourceStream || kind > FileWriterStream) return nullptr;
    FILE* file = nullptr;
    char* path = nullptr;
    unsigned char* fileBuffer = nullptr;
    if (kind == FileReaderStream || kind == FileWriterStream) {
        if (nameOrText == nullptr) {
            if (kind == FileReaderStream) AppendOpenFailure(context, "");
            return nullptr;
        }
        file = fopen(nameOrText, kind == FileReaderStream ? "rb" : "wb");
        if (file == nullptr) {
            if (kind == FileReaderStream) AppendOpenFailure(context, nameOrText);
            return nullptr;
        }
        // One byte more than the buffer: room for the 0 behind a short read.
        fileBuffer = static_cast<unsigned char*>(malloc(kStreamFileBufferSize + 1));
        path = static_cast<char*>(malloc(strlen(nameOrText) + 1));
        if (fileBuffer == nullptr || path == nullptr) {
            free(fileBuffer);
            free(path);
            fclose(file);
            SetErrorText(context, "Out of memory");
            RaiseError(context);
        }
        strcpy(path, nameOrText);
    }

    auto* s = static_cast<ScriptStream*>(GcAllocFinalized(context, sizeof(ScriptStream)));
    s->finalizer = FinalizeStream;
    s->kind = kind;
    s->ops = &kStreamOps[kind];
    s->line = 0;
    s->fileBuffer = fileBuffer;
    switch (kind) {
        case TextSourceStream:
            s->data.text = nameOrText != nullptr ? nameOrText : "";
            s->length = strlen(s->data.text) + 1;
            s->name = kStringStreamName;
            break;
        case MemoryStream:
            s->data.bytes = nullptr;
            s->name = kStringStreamName;
            break;
        case FileReaderStream:
            s->data.file = file;
            s->name = path;
            break;
        case FileWriterStream:
            s->data.file = file;
            s->length = kStreamFileBufferSize;
            s->name = path;
            break;
    }
    return s;
}

int CloseScriptStream(ScriptContext* context, ScriptStream* stream) {
    return stream->ops->close(context, stream);
}

int RewindScriptStream(ScriptContext* context, ScriptStream* stream) {
    return stream->ops->rewind(context, stream);
}

int StreamGetByte(ScriptContext* context, ScriptStream* stream) {
    if (stream->pushBack.count > 0) return stream->pushBack.bytes[--stream->pushBack.count];
    return stream->ops->getByte(context, stream);
}

int StreamPushBack(ScriptContext*, ScriptStream* stream, int byte) {
    auto& stack = stream->pushBack;
    if (stack.count == stack.capacity) {
        void* grown = realloc(stack.bytes, stack.capacity + kStreamPushBackStep);
        if (grown == nullptr) return 0;
        stack.bytes = static_cast<unsigned char*>(grown);
        stack.capacity += kStreamPushBackStep;
    }
    stack.bytes[stack.count++] = static_cast<unsigned char>(byte);
    return 1;
}

int StreamWriteV(ScriptContext* context, ScriptStream* stream, const char* format, va_list args) {
    va_list cursor;
    va_copy(cursor, args);
    int ok = 1;
    for (const char* f = format; *f != '\0' && ok; ++f) ok = WriteOne(context, stream, *f, &cursor);
    va_end(cursor);
    return ok;
}

int StreamWrite(ScriptContext* context, ScriptStream* stream, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int ok = StreamWriteV(context, stream, format, args);
    va_end(args);
    return ok;
}

int FlushScriptStream(ScriptContext* context, ScriptStream* stream) {
    return stream->ops->flush(context, stream);
}

}  // namespace kelpo
