// The FileStream class (also bound as Stream): the common stream members
// (stream_common.h) over a buffered standard-library file stream opened in
// binary mode, with its own readLine, put, unget, flush and close, and the
// properties pos, eof and length.
//
// The standard library wants a flush or a seek between a write and a read
// on the same stream; the instance remembers which came last and puts one
// in between. close() closes the file and leaves the handle null, after
// which every member is unhandled.
#include "syslib/classes.h"

#include <cstdio>
#include <string>

#include "platform/files.h"
#include "runtime/class_kit.h"
#include "runtime/gc.h"
#include "runtime/native_args.h"
#include "syslib/stream_common.h"

namespace kelpo {
namespace {

enum class LastOp { kNone, kRead, kWrite };

struct FileStreamData {
    FILE* file;  // null once closed
    LastOp last;
};

// What one open file counts for the collector (see GcNoteOutsideBytes):
// with the usual threshold, a collection every few dozen dropped streams.
constexpr size_t kOpenFileWeight = 64 * 1024;

enum Method { kReadLine = kCommonMethodCount, kPut, kUnget, kFlush, kClose };
const MemberRow kMethodNames[] = {
    KELPO_COMMON_STREAM_METHODS,
    {"readLine",
     "readLine() -> String: the next line without its line end (a 13 inside stays); "
     "empty at the end"},
    {"put",
     "put(byte) -> Boolean: writes the low byte of the Integer; false when that fails or "
     "byte is no Integer"},
    {"unget",
     "unget(byte) -> Boolean: pushes the byte back to be read next (one byte); false when "
     "it cannot"},
    {"flush", "flush() -> Boolean: writes the buffered bytes to the file"},
    {"close",
     "close() -> nothing: closes the file (a temporary one is deleted); the instance is "
     "unusable after"},
};
static_assert(sizeof kMethodNames / sizeof kMethodNames[0] == kClose + 1, "one name a method");

enum Property { kPos, kEof, kLength };
const MemberRow kPropertyNames[] = {
    {"pos", "Integer: the file position; a non-negative number seeks there, anything else to 0"},
    {"eof", "Boolean, read-only: whether the end of the file was reached"},
    {"length",
     "Integer: the file's length; a smaller non-negative number truncates it (and seeks "
     "to 0)"},
};

// Turns the stream around for reading or writing when the last operation
// went the other way.
void PrepareRead(FileStreamData* self) {
    if (self->last == LastOp::kWrite) std::fflush(self->file);
    self->last = LastOp::kRead;
}

void PrepareWrite(FileStreamData* self) {
    if (self->last == LastOp::kRead) SeekStreamFile(self->file, StreamFilePosition(self->file));
    self->last = LastOp::kWrite;
}

size_t PortRead(void* data, uint8_t* bytes, size_t n) {
    auto* self = static_cast<FileStreamData*>(data);
    if (self->file == nullptr) return 0;
    PrepareRead(self);
    return std::fread(bytes, 1, n, self->file);
}

bool PortWrite(void* data, const uint8_t* bytes, size_t n) {
    auto* self = static_cast<FileStreamData*>(data);
    if (self->file == nullptr) return false;
    PrepareWrite(self);
    return n == 0 || std::fwrite(bytes, 1, n, self->file) == n;
}

// Bytes up to and including 10, or to the end of the file; a final 13 10
// or 10 is removed, a 13 elsewhere stays.
std::string ReadFileLine(ScriptContext* context, FileStreamData* self) {
    PrepareRead(self);
    std::string line;
    int c;
    while ((c = std::fgetc(self->file)) != EOF) {
        CheckTextLength(context, line.size() + 1);
        line.push_back(static_cast<char>(c));
        if (c == 10) break;
    }
    if (!line.empty() && line.back() == 10) {
        line.pop_back();
        if (!line.empty() && line.back() == 13) line.pop_back();
    }
    return line;
}

int FileStreamMethod(ScriptContext* context, NativeClass*, void* data, int member, Value* out,
                     Value* args) {
    auto* self = static_cast<FileStreamData*>(data);
    if (self == nullptr || self->file == nullptr) return 0;  // the class object, or closed
    if (member < kCommonMethodCount) {
        CommonStreamMethod(context, StreamPort{self, PortRead, PortWrite, true}, member, out, args);
        return 1;
    }
    FILE* file = self->file;
    switch (member) {
        case kReadLine: *out = StringOfBytes(context, ReadFileLine(context, self)); break;
        case kPut:
            if (!IsIntegerArg(args, 1)) {
                *out = MakeBoolean(false);
            } else {
                PrepareWrite(self);
                *out =
                    MakeBoolean(std::fputc(static_cast<int>(args[1].integer & 0xFF), file) != EOF);
            }
            break;
        case kUnget: {
            int byte = ByteArgument(args, 1, true);
            if (byte < 0) {
                *out = MakeBoolean(false);
            } else {
                PrepareRead(self);
                *out = MakeBoolean(std::ungetc(byte, file) != EOF);
            }
            break;
        }
        case kFlush:
            *out = MakeBoolean(std::fflush(file) == 0);
            self->last = LastOp::kNone;
            break;
        case kClose:
            std::fclose(file);
            self->file = nullptr;
            break;
    }
    return 1;
}

int FileStreamProperty(ScriptContext*, NativeClass*, void* data, int member, int isSet, Value* io) {
    auto* self = static_cast<FileStreamData*>(data);
    if (self == nullptr || self->file == nullptr) return 0;
    FILE* file = self->file;
    // Pending writes reach the file before its length is asked or changed.
    if (member == kLength && self->last == LastOp::kWrite) {
        std::fflush(file);
        self->last = LastOp::kNone;
    }
    if (!isSet) {
        switch (member) {
            case kPos: *io = MakeInteger(StreamFilePosition(file)); break;
            case kEof: *io = MakeBoolean(std::feof(file) != 0); break;
            case kLength: *io = MakeInteger(StreamFileLength(file)); break;
        }
        return 1;
    }
    int64_t length = 0;
    switch (member) {
        case kPos:
            SeekStreamFile(file, PositionOf(*io));
            self->last = LastOp::kNone;
            break;
        case kLength:
            // Only shortening: lengthening values are ignored.
            if (ByteCountOf(*io, &length) && length < StreamFileLength(file)) {
                TruncateStreamFile(file, length);
                self->last = LastOp::kNone;
            }
            break;
        default: break;  // eof is read-only
    }
    return 1;
}

// The standard-library mode of FileStream(path, mode): "r", "w" or "a",
// optionally "+", with "b" or "t" anywhere after the first letter; always
// opened binary. Other letters are refused: some runtimes stop the program
// on a mode they do not know, and some letters have effects of their own
// (deleting the file at close, for one).
bool BinaryMode(const std::string& mode, std::string* binary) {
    if (mode.empty() || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) return false;
    bool update = false;
    for (size_t i = 1; i < mode.size(); ++i) {
        if (mode[i] == '+' && !update)
            update = true;
        else if (mode[i] != 'b' && mode[i] != 't')
            return false;
    }
    *binary = std::string(1, mode[0]) + (update ? "+b" : "b");
    return true;
}

FILE* OpenFor(ScriptContext* context, Value* args) {
    if (ArgCount(args) == 0) return OpenTemporaryStreamFile();
    std::string path;
    if (!PathArgument(context, args, 1, &path)) return nullptr;
    if (!IsStringArg(args, 2)) return OpenStreamFile(path, "r+b");
    std::string mode;
    if (!BinaryMode(StringArg(context, args, 2), &mode)) return nullptr;
    return OpenStreamFile(path, mode.c_str());
}

void ConstructFileStream(ScriptContext* context, NativeClass* klass, Value* args, Value* out) {
    FILE* file = OpenFor(context, args);
    if (file == nullptr) {
        *out = MakeNull();
        return;
    }
    struct Pending {
        FILE* file;
        ~Pending() {
            if (file != nullptr) std::fclose(file);
        }
    } pending{file};
    auto* self = NewInstanceOf<FileStreamData>(context, klass, out);
    // An open file weighs on the collector, so that streams a script drops
    // without closing are closed long before the system runs out of files.
    GcNoteOutsideBytes(context, kOpenFileWeight);
    self->file = file;
    self->last = LastOp::kNone;
    pending.file = nullptr;
}

void CallFileStream(ScriptContext* context, NativeClass* klass, void*, Value* out, Value* args) {
    ConstructFileStream(context, klass, args, out);
}

void FinalizeFileStream(NativeClass*, void* data) {
    auto* self = static_cast<FileStreamData*>(data);
    if (self == nullptr || self->file == nullptr) return;
    std::fclose(self->file);
    self->file = nullptr;
}

const ClassSpec kFileStreamClass = {
    .name = "FileStream",
    .alias = "Stream",
    .text = u"[object FileStream]",
    .about =
        "A binary stream on a file: new FileStream(path [, mode]) opens an existing file "
        "for reading and writing, or with a C open mode (always binary); without a path, a "
        "temporary file deleted when closed; null when it cannot be opened",
    .methods = kMethodNames,
    .method = FileStreamMethod,
    .properties = kPropertyNames,
    .property = FileStreamProperty,
    .call = CallFileStream,
    .construct = ConstructFileStream,
    .finalize = FinalizeFileStream,
    .instanceSize = sizeof(FileStreamData),
};

}  // namespace

void RegisterStreamClasses(ScriptContext* context) { DefineClass(context, kFileStreamClass); }

}  // namespace kelpo
