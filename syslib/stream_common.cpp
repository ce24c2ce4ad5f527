// The members StringStream and FileStream share (see stream_common.h).
#include "syslib/stream_common.h"

#include <cmath>
#include <cstring>

#include "corelib/callback_roots.h"
#include "platform/ansi.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/errors.h"
#include "runtime/gc.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"
#include "syslib/string_stream.h"

namespace kelpo {
namespace {

// ---- Little-endian numbers ------------------------------------------------

void PutLittleEndian(uint8_t* bytes, uint64_t value, int width) {
    for (int i = 0; i < width; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t LittleEndian(const uint8_t* bytes, int width) {
    uint64_t value = 0;
    for (int i = 0; i < width; ++i) value |= uint64_t{bytes[i]} << (8 * i);
    return value;
}

Value FloatValue(double x) { return std::isnan(x) ? MakeNaN() : MakeFloat(x); }

// get, getShort, getLong, getFloat, getDouble: missing bytes read as 0.
Value ReadNumber(const StreamPort& port, int member) {
    static const int kWidths[] = {1, 2, 4, 4, 8};
    const int width = kWidths[member - kGet];
    uint8_t bytes[8] = {};
    size_t got = port.read(port.data, bytes, width);
    const uint64_t bits = LittleEndian(bytes, width);
    switch (member) {
        case kGet: return MakeInteger(got == 1 ? bytes[0] : -1);
        case kGetShort: return MakeInteger(static_cast<int16_t>(bits));
        case kGetLong: return MakeInteger(static_cast<int32_t>(bits));
        case kGetFloat: {
            float f;
            uint32_t word = static_cast<uint32_t>(bits);
            std::memcpy(&f, &word, sizeof f);
            return FloatValue(f);
        }
        default: {
            double d;
            std::memcpy(&d, &bits, sizeof d);
            return FloatValue(d);
        }
    }
}

// ---- Reads of blocks and terminated strings -------------------------------

// Frees a ByteStream on every way out unless it was handed on.
struct PendingStream {
    ByteStream* stream;
    ~PendingStream() { FreeByteStream(stream); }
};

// read(n): the bytes come in pieces, so a large n costs only what is there.
Value ReadBlock(ScriptContext* context, const StreamPort& port, const Value* args) {
    if (!IsIntegerArg(args, 1) || args[1].integer <= 0) return MakeUndefined();
    PendingStream result{NewByteStream(kStreamIn | kStreamOut, StreamByteLimit(context))};
    if (result.stream == nullptr) return MakeNull();
    uint64_t left = static_cast<uint64_t>(args[1].integer);
    uint8_t piece[16384];
    while (left > 0) {
        size_t want = left < sizeof piece ? static_cast<size_t>(left) : sizeof piece;
        size_t got = port.read(port.data, piece, want);
        if (got > 0 && !WriteByteStream(result.stream, piece, got)) return MakeNull();
        if (got < want) break;
        left -= got;
    }
    ByteStream* stream = result.stream;
    result.stream = nullptr;
    return WrapByteStream(context, stream);
}

// readString and readUnicodeString: units up to and including the first 0
// unit or the end; the text is what precedes the 0.
Value ReadTerminated(ScriptContext* context, const StreamPort& port, bool unicode) {
    if (unicode) {
        std::u16string units;
        uint8_t pair[2];
        while (port.read(port.data, pair, 2) == 2) {
            char16_t unit = static_cast<char16_t>(pair[0] | pair[1] << 8);
            if (unit == 0) break;
            CheckTextLength(context, units.size() + 1);
            units.push_back(unit);
        }
        return NewString(context, units.data(), static_cast<uint32_t>(units.size()));
    }
    std::string bytes;
    uint8_t byte;
    while (port.read(port.data, &byte, 1) == 1 && byte != 0) {
        CheckTextLength(context, bytes.size() + 1);
        bytes.push_back(static_cast<char>(byte));
    }
    return StringOfBytes(context, bytes);
}

// ---- Writes ----------------------------------------------------------------

// The ANSI bytes of a String, freed on every way out.
struct AnsiBytes {
    char* bytes = nullptr;
    size_t length = 0;
    AnsiBytes(ScriptContext* context, const Value& text) {
        const ScriptString* s = text.string;
        if (s->length == 0) return;
        const size_t capacity = size_t{s->length} * 2;
        bytes = static_cast<char*>(ContextAlloc(context, capacity));
        length = Utf16ToAnsi(s->chars, s->length, bytes, capacity);
    }
    ~AnsiBytes() { ContextFree(bytes); }
    AnsiBytes(const AnsiBytes&) = delete;
    AnsiBytes& operator=(const AnsiBytes&) = delete;
};

// One argument of write(...), by its type.
void WriteValue(ScriptContext* context, const StreamPort& port, const Value& value) {
    uint8_t bytes[8];
    switch (value.tag) {
        case ValueTag::Boolean:
        case ValueTag::Integer: {
            int64_t n = value.tag == ValueTag::Boolean ? value.boolean : value.integer;
            PutLittleEndian(bytes, static_cast<uint64_t>(n), 4);
            port.write(port.data, bytes, 4);
            break;
        }
        case ValueTag::Float: {
            uint64_t bits;
            std::memcpy(&bits, &value.number, sizeof bits);
            PutLittleEndian(bytes, bits, 8);
            port.write(port.data, bytes, 8);
            break;
        }
        case ValueTag::String: {
            AnsiBytes text(context, value);
            port.write(port.data, reinterpret_cast<const uint8_t*>(text.bytes), text.length);
            break;
        }
        case ValueTag::Native: {
            const uint8_t* content = nullptr;
            size_t length = 0;
            if (port.writesStreams && StringStreamView(value, &content, &length)) {
                port.write(port.data, content, length);
            }
            break;
        }
        default: break;  // Undefined, Null, NaN, arrays, objects, functions
    }
}

void WriteValues(ScriptContext* context, const StreamPort& port, Value* args, bool line) {
    for (int64_t k = 1; k <= ArgCount(args); ++k) WriteValue(context, port, args[k]);
    if (line) {
        static const uint8_t kLineEnd[] = {13, 10};
        port.write(port.data, kLineEnd, 2);
    }
}

// writeString and writeUnicodeString: each argument through ToString (which
// may run script code), with its terminator.
void WriteStrings(ScriptContext* context, const StreamPort& port, Value* args, bool unicode) {
    CallbackRoots roots(context);
    roots.Push(InstanceValue(port.data));
    for (int64_t k = 1; k <= ArgCount(args); ++k) {
        Value text = ToString(context, args[k]);
        if (unicode) {
            const ScriptString* s = text.string;
            std::string bytes(size_t{s->length} * 2 + 2, '\0');
            for (uint32_t i = 0; i < s->length; ++i) {
                bytes[2 * i] = static_cast<char>(s->chars[i] & 0xFF);
                bytes[2 * i + 1] = static_cast<char>(s->chars[i] >> 8);
            }
            port.write(port.data, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        } else {
            AnsiBytes ansi(context, text);
            static const uint8_t kNul = 0;
            port.write(port.data, reinterpret_cast<const uint8_t*>(ansi.bytes), ansi.length);
            port.write(port.data, &kNul, 1);
        }
    }
}

void WriteShort(const StreamPort& port, const Value* args) {
    if (!IsIntegerArg(args, 1)) return;
    uint8_t bytes[2];
    PutLittleEndian(bytes, static_cast<uint64_t>(args[1].integer), 2);
    port.write(port.data, bytes, 2);
}

void WriteFloat(ScriptContext* context, const StreamPort& port, const Value* args) {
    if (!HasArg(args, 1)) return;
    CallbackRoots roots(context);
    roots.Push(InstanceValue(port.data));
    Value n = ToNumber(context, args[1]);
    float f = n.tag == ValueTag::Integer ? static_cast<float>(n.integer)
              : n.tag == ValueTag::Float ? static_cast<float>(n.number)
                                         : std::nanf("");
    uint32_t word;
    std::memcpy(&word, &f, sizeof word);
    uint8_t bytes[4];
    PutLittleEndian(bytes, word, 4);
    port.write(port.data, bytes, 4);
}

}  // namespace

void CommonStreamMethod(ScriptContext* context, const StreamPort& port, int member, Value* out,
                        Value* args) {
    switch (member) {
        case kGet:
        case kGetShort:
        case kGetLong:
        case kGetFloat:
        case kGetDouble: *out = ReadNumber(port, member); break;
        case kRead: *out = ReadBlock(context, port, args); break;
        case kReadString: *out = ReadTerminated(context, port, false); break;
        case kReadUnicodeString: *out = ReadTerminated(context, port, true); break;
        case kPutShort: WriteShort(port, args); break;
        case kPutFloat: WriteFloat(context, port, args); break;
        case kWrite: WriteValues(context, port, args, false); break;
        case kWriteLine: WriteValues(context, port, args, true); break;
        case kWriteString: WriteStrings(context, port, args, false); break;
        case kWriteUnicodeString: WriteStrings(context, port, args, true); break;
    }
}

int ByteArgument(const Value* args, int64_t k, bool strings) {
    if (IsIntegerArg(args, k)) return static_cast<int>(args[k].integer & 0xFF);
    if (strings && IsStringArg(args, k) && args[k].string->length > 0) {
        return args[k].string->chars[0] & 0xFF;
    }
    return -1;
}

bool ByteCountOf(const Value& value, int64_t* count) {
    if (value.tag == ValueTag::Integer) {
        *count = value.integer;
        return value.integer >= 0;
    }
    if (value.tag == ValueTag::Float && value.number >= 0) {
        // Past the largest position there is nothing to address anyway.
        *count = value.number < 9.2e18 ? static_cast<int64_t>(value.number) : INT64_MAX;
        return true;
    }
    return false;
}

int64_t PositionOf(const Value& value) {
    int64_t position = 0;
    return ByteCountOf(value, &position) ? position : 0;
}

bool PathArgument(ScriptContext* context, const Value* args, int64_t k, std::string* path) {
    if (!IsStringArg(args, k)) return false;
    // A NUL would end the name early and name another file.
    const ScriptString* s = args[k].string;
    for (uint32_t i = 0; i < s->length; ++i) {
        if (s->chars[i] == 0) return false;
    }
    return BoundedAnsi(context, args[k], kMaxPathText, *path);
}

Value StringOfBytes(ScriptContext* context, const std::string& bytes) {
    CheckTextLength(context, bytes.size());
    return NewStringFromAnsi(context, bytes.data(), bytes.size());
}

void CheckTextLength(ScriptContext* context, size_t count) {
    if (count > GcRequestLimit(context) / sizeof(char16_t)) RaiseErrorf(context, "Out of memory");
}

}  // namespace kelpo
