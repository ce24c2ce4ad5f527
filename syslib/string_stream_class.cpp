// The StringStream class: an in-memory byte stream (byte_stream.h) with
// the common stream members (stream_common.h), compression and CRC
// (stream_codec.h), whole-file loads and saves, the $STREAM_ globals, and
// the C++ interface other libraries use (string_stream.h).
//
// An instance's data points to its ByteStream; close() frees it and
// leaves the pointer null, after which the instance answers only toString.
// The class object answers readFromFile and toString.
#include "syslib/classes.h"

#include <cstdio>

#include "platform/files.h"
#include "runtime/atoms.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/gc.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"
#include "syslib/stream_codec.h"
#include "syslib/stream_common.h"
#include "syslib/string_stream.h"

namespace kelpo {
namespace {

struct StringStreamData {
    ByteStream* stream;  // null once closed
};

enum Method {
    kReadLine = kCommonMethodCount,
    kPut,
    kUnget,
    kFlush,
    kClose,
    kCompress,
    kUncompress,
    kSaveToFile,
    kReadFromFile,
    kToString
};
const MemberRow kMethodNames[] = {
    KELPO_COMMON_STREAM_METHODS,
    {"readLine",
     "readLine() -> String: the next line without its line end (13 10, 10, or a final "
     "13); empty at the end"},
    {"put", "put(byte) -> nothing: writes the low byte of an Integer, or of a String's first unit"},
    {"unget",
     "unget([byte]) -> nothing: steps the read position back one byte, or puts byte back "
     "before it"},
    {"flush", "flush() -> nothing: nothing to do for a stream in memory"},
    {"close", "close() -> nothing: releases the stream"},
    {"compress",
     "compress([level]) -> StringStream: a new stream of the whole content "
     "zlib-compressed at level 0-9 (6); null on failure"},
    {"uncompress",
     "uncompress() -> StringStream: a new stream of the zlib content decompressed; "
     "null when it is not zlib data"},
    {"saveToFile", "saveToFile(path) -> nothing: writes the whole content to the file"},
    {"readFromFile",
     "readFromFile(path) -> StringStream: a new stream of the file's bytes; "
     "undefined when it cannot be read; also on the class"},
    {"toString",
     "toString() -> String: the whole content as ANSI text; \"[object StringStream]\" "
     "when closed"},
};
static_assert(sizeof kMethodNames / sizeof kMethodNames[0] == kToString + 1, "one name a method");

enum Property { kGetPos, kPutPos, kEof, kLength, kCrc };
const MemberRow kPropertyNames[] = {
    {"getPos",
     "Integer: the read position; setting it (a negative or non-number value gives 0) "
     "clears the end and fail flags"},
    {"putPos", "Integer: the write position; set like getPos"},
    {"eof", "Boolean, read-only: whether a read ran out of data"},
    {"length", "Integer, read-only: the number of bytes held"},
    {"crc", "Integer, read-only: the CRC-32 of the whole content"},
};

// The global that keeps the class reachable for NewStringStream even when a
// script rebinds "StringStream"; its name is no identifier, so no script
// can reach it.
const char kClassGlobal[] = "StringStream class";

constexpr int kDefaultLevel = 6;

// Without a heap limit a stream is bounded by what the address space could
// ever give one block.
constexpr size_t kPlatformStreamLimit = sizeof(size_t) >= 8 ? size_t{1} << 40 : size_t{0x7FFFFFFF};

size_t PortRead(void* data, uint8_t* bytes, size_t n) {
    ByteStream* stream = static_cast<StringStreamData*>(data)->stream;
    return stream != nullptr ? ReadByteStream(stream, bytes, n) : 0;
}

bool PortWrite(void* data, const uint8_t* bytes, size_t n) {
    ByteStream* stream = static_cast<StringStreamData*>(data)->stream;
    return stream != nullptr && WriteByteStream(stream, bytes, n);
}

// Frees a ByteStream on every way out unless it was handed on.
struct PendingStream {
    ByteStream* stream;
    ~PendingStream() { FreeByteStream(stream); }
    ByteStream* Release() {
        ByteStream* s = stream;
        stream = nullptr;
        return s;
    }
};

// The whole content as a String in the ANSI code page.
Value ContentString(ScriptContext* context, const ByteStream* stream) {
    CheckTextLength(context, stream->length);
    return NewStringFromAnsi(context, reinterpret_cast<const char*>(stream->bytes), stream->length);
}

Value Compress(ScriptContext* context, const ByteStream* stream, const Value* args) {
    int64_t level = IntegerArg(args, 1, kDefaultLevel);
    if (level < 0 || level > 9) level = kDefaultLevel;
    PendingStream result{NewByteStream(kStreamIn | kStreamOut, StreamByteLimit(context))};
    if (result.stream == nullptr ||
        !CompressInto(stream->bytes, stream->length, static_cast<int>(level), result.stream)) {
        return MakeNull();
    }
    return WrapByteStream(context, result.Release());
}

Value Uncompress(ScriptContext* context, const ByteStream* stream) {
    PendingStream result{NewByteStream(kStreamIn | kStreamOut, StreamByteLimit(context))};
    if (result.stream == nullptr || !UncompressInto(stream->bytes, stream->length, result.stream)) {
        return MakeNull();
    }
    return WrapByteStream(context, result.Release());
}

// saveToFile(path): the whole content, created or truncated; a file cut
// short by a failed write is removed rather than left looking complete.
void SaveToFile(ScriptContext* context, const ByteStream* stream, const Value* args) {
    std::string path;
    if (!PathArgument(context, args, 1, &path)) return;
    FILE* file = OpenStreamFile(path, "wb");
    if (file == nullptr) return;
    bool written = stream->length == 0 ||
                   std::fwrite(stream->bytes, 1, stream->length, file) == stream->length;
    if (std::fclose(file) != 0 || !written) RemoveFile(path);
}

// readFromFile(path): Undefined when the file cannot be read whole.
Value ReadFromFile(ScriptContext* context, const Value* args) {
    std::string path;
    if (!PathArgument(context, args, 1, &path)) return MakeUndefined();
    FILE* file = OpenStreamFile(path, "rb");
    if (file == nullptr) return MakeUndefined();
    struct Closer {
        FILE* file;
        ~Closer() { std::fclose(file); }
    } closer{file};
    PendingStream result{NewByteStream(kStreamIn | kStreamOut, StreamByteLimit(context))};
    if (result.stream == nullptr) return MakeUndefined();
    // One reservation of the size the system reports; the reads still go on
    // to the real end.
    int64_t size = StreamFileLength(file);
    if (size > 0 && static_cast<uint64_t>(size) <= result.stream->limit) {
        ReserveByteStream(result.stream, static_cast<size_t>(size));
    }
    uint8_t piece[16384];
    size_t got;
    while ((got = std::fread(piece, 1, sizeof piece, file)) > 0) {
        if (!WriteByteStream(result.stream, piece, got)) return MakeUndefined();
    }
    if (std::ferror(file)) return MakeUndefined();
    return WrapByteStream(context, result.Release());
}

int StringStreamMethod(ScriptContext* context, NativeClass*, void* data, int member, Value* out,
                       Value* args) {
    auto* self = static_cast<StringStreamData*>(data);
    ByteStream* stream = self != nullptr ? self->stream : nullptr;
    if (member == kToString) {
        *out = stream != nullptr ? ContentString(context, stream)
                                 : StaticText(context, u"[object StringStream]");
        return 1;
    }
    if (member == kReadFromFile && (self == nullptr || stream != nullptr)) {
        *out = ReadFromFile(context, args);
        return 1;
    }
    if (stream == nullptr) return 0;  // the class object, or a closed stream
    if (member < kCommonMethodCount) {
        CommonStreamMethod(context, StreamPort{self, PortRead, PortWrite, false}, member, out,
                           args);
        return 1;
    }
    switch (member) {
        case kReadLine: *out = StringOfBytes(context, ReadByteLine(stream)); break;
        case kPut: {
            int byte = ByteArgument(args, 1, true);
            uint8_t b = static_cast<uint8_t>(byte);
            if (byte >= 0) WriteByteStream(stream, &b, 1);
            break;
        }
        case kUnget: UngetByteStream(stream, ByteArgument(args, 1, true)); break;
        case kFlush: break;
        case kClose:
            FreeByteStream(stream);
            self->stream = nullptr;
            break;
        case kCompress: *out = Compress(context, stream, args); break;
        case kUncompress: *out = Uncompress(context, stream); break;
        case kSaveToFile: SaveToFile(context, stream, args); break;
    }
    return 1;
}

// The whole-content properties read the buffer directly, so positions and
// flags stay as they are.
int StringStreamProperty(ScriptContext*, NativeClass*, void* data, int member, int isSet,
                         Value* io) {
    auto* self = static_cast<StringStreamData*>(data);
    ByteStream* stream = self != nullptr ? self->stream : nullptr;
    if (stream == nullptr) return 0;
    if (isSet) {
        if (member == kGetPos) SetByteReadPos(stream, PositionOf(*io));
        if (member == kPutPos) SetByteWritePos(stream, PositionOf(*io));
        return 1;  // the others are read-only
    }
    switch (member) {
        case kGetPos: *io = MakeInteger(static_cast<int64_t>(stream->readPos)); break;
        case kPutPos: *io = MakeInteger(static_cast<int64_t>(stream->writePos)); break;
        case kEof: *io = MakeBoolean(stream->eof); break;
        case kLength: *io = MakeInteger(static_cast<int64_t>(stream->length)); break;
        case kCrc: *io = MakeInteger(Crc32Of(stream->bytes, stream->length)); break;
    }
    return 1;
}

void ConstructStringStream(ScriptContext* context, NativeClass* klass, Value* args, Value* out) {
    const int mode = static_cast<int>(IntegerArg(args, 1, kStreamIn | kStreamOut));
    auto* self = NewInstanceOf<StringStreamData>(context, klass, out);
    self->stream = NewByteStream(mode, StreamByteLimit(context));
    if (self->stream == nullptr) *out = MakeNull();
}

void CallStringStream(ScriptContext* context, NativeClass* klass, void*, Value* out, Value* args) {
    ConstructStringStream(context, klass, args, out);
}

void FinalizeStringStream(NativeClass*, void* data) {
    auto* self = static_cast<StringStreamData*>(data);
    if (self == nullptr) return;
    FreeByteStream(self->stream);
    self->stream = nullptr;
}

const ClassSpec kStringStreamClass = {
    .name = "StringStream",
    .text = u"[object StringStream]",
    .about =
        "A byte stream in memory with separate read and write positions: new "
        "StringStream([mode]) (mode bits $STREAM_IN, $STREAM_OUT; both by default); also "
        "what other classes hand binary data in",
    .methods = kMethodNames,
    .method = StringStreamMethod,
    .properties = kPropertyNames,
    .property = StringStreamProperty,
    .call = CallStringStream,
    .construct = ConstructStringStream,
    .finalize = FinalizeStringStream,
    .instanceSize = sizeof(StringStreamData),
};

// The open stream of a StringStream value; null for anything else.
ByteStream* StreamOf(const Value& value) {
    if (value.tag != ValueTag::Native || value.native->data == nullptr ||
        ClassSpecOf(value.native->klass) != &kStringStreamClass) {
        return nullptr;
    }
    return static_cast<StringStreamData*>(value.native->data)->stream;
}

}  // namespace

ByteStream* StringStreamOf(const Value& value) { return StreamOf(value); }

size_t StreamByteLimit(const ScriptContext* context) {
    return context->heap.limit != 0 && context->heap.limit < kPlatformStreamLimit
               ? context->heap.limit
               : kPlatformStreamLimit;
}

Value WrapByteStream(ScriptContext* context, ByteStream* stream) {
    PendingStream pending{stream};
    Value holder = GetGlobal(context, kClassGlobal);
    if (holder.tag != ValueTag::Native ||
        ClassSpecOf(holder.native->klass) != &kStringStreamClass) {
        return MakeNull();
    }
    Value out;
    auto* self = NewInstanceOf<StringStreamData>(context, holder.native->klass, &out);
    // The buffer weighs on the collector like heap memory: dropped results
    // of read, compress and the like are collected in step with their size.
    GcNoteOutsideBytes(context, pending.stream->capacity);
    self->stream = pending.Release();
    self->stream->readPos = 0;
    self->stream->writePos = self->stream->length;
    self->stream->eof = self->stream->fail = false;
    return out;
}

Value NewStringStream(ScriptContext* context, const uint8_t* bytes, size_t length) {
    PendingStream pending{NewByteStream(kStreamIn | kStreamOut, StreamByteLimit(context))};
    if (pending.stream == nullptr || !WriteByteStream(pending.stream, bytes, length))
        return MakeNull();
    return WrapByteStream(context, pending.Release());
}

bool StringStreamView(const Value& value, const uint8_t** bytes, size_t* length) {
    ByteStream* stream = StreamOf(value);
    if (stream == nullptr) return false;
    *bytes = stream->bytes;
    *length = stream->length;
    return true;
}

bool StringStreamBytes(const Value& value, std::vector<uint8_t>* bytes) {
    const uint8_t* content = nullptr;
    size_t length = 0;
    if (!StringStreamView(value, &content, &length)) return false;
    bytes->assign(content, content + length);
    return true;
}

const MemberRow kStreamGlobals[] = {
    {"$STREAM_IN", "Integer 1: the StringStream mode bit that allows reading"},
    {"$STREAM_OUT", "Integer 2: the StringStream mode bit that allows writing"},
    {"$STREAM_EOF", "Integer -1: what get() gives at the end of a stream"},
};

void RegisterStringStreamClass(ScriptContext* context) {
    DefineClass(context, kStringStreamClass);
    SetGlobal(context, kClassGlobal, GetGlobal(context, kStringStreamClass.name));
    DescribeGlobals(kStreamGlobals);
    SetGlobal(context, "$STREAM_IN", MakeInteger(1));
    SetGlobal(context, "$STREAM_OUT", MakeInteger(2));
    SetGlobal(context, "$STREAM_EOF", MakeInteger(-1));
}

}  // namespace kelpo
