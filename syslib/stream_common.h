// What StringStream and FileStream share: the member names both answer,
// the little-endian number formats, the rules of write(...), writeString(...)
// and writeUnicodeString(...), the NUL-terminated reads, read(n), and the
// reading of position and path arguments.
//
// Each class reaches its own stream through a StreamPort, a table of two
// byte operations over its instance data; the port functions check that the
// stream is still open on every call, because converting an argument may run
// script code that closes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/context.h"

namespace kelpo {

struct StreamPort {
    void* data;  // the instance data
    // Up to n bytes at the read position into `bytes`; answers how many
    // (fewer at the end, 0 when closed).
    size_t (*read)(void* data, uint8_t* bytes, size_t n);
    // False when the bytes were not all written (or the stream is closed).
    bool (*write)(void* data, const uint8_t* bytes, size_t n);
    // write(...) also takes StringStream instances and writes their content.
    bool writesStreams;
};

// The members both classes answer, first in each class's method table in
// this order (the class's own members follow from kCommonMethodCount), as
// rows with their lines for the class pages.
enum CommonMethod {
    kGet,
    kGetShort,
    kGetLong,
    kGetFloat,
    kGetDouble,
    kRead,
    kReadString,
    kReadUnicodeString,
    kPutShort,
    kPutFloat,
    kWrite,
    kWriteLine,
    kWriteString,
    kWriteUnicodeString,
    kCommonMethodCount
};
#define KELPO_COMMON_STREAM_METHODS                                                           \
    {"get", "get() -> Integer: the next byte, 0-255; -1 at the end"},                         \
        {"getShort",                                                                          \
         "getShort() -> Integer: the next 2 bytes as a signed 16-bit number "                 \
         "(little-endian)"},                                                                  \
        {"getLong", "getLong() -> Integer: the next 4 bytes as a signed 32-bit number"},      \
        {"getFloat", "getFloat() -> Float: the next 4 bytes as an IEEE single"},              \
        {"getDouble", "getDouble() -> Float: the next 8 bytes as an IEEE double"},            \
        {"read",                                                                              \
         "read(n) -> StringStream: a new stream of the next n bytes or fewer at the end; "    \
         "nothing unless n is a positive Integer"},                                           \
        {"readString",                                                                        \
         "readString() -> String: the bytes up to the next NUL (ANSI), the NUL consumed"},    \
        {"readUnicodeString",                                                                 \
         "readUnicodeString() -> String: the UTF-16 units up to the next 0 unit, consumed"},  \
        {"putShort", "putShort(n) -> nothing: writes the Integer n as 2 bytes"},              \
        {"putFloat", "putFloat(x) -> nothing: writes x as a 4-byte IEEE single"},             \
        {"write",                                                                             \
         "write(value, ...) -> nothing: writes each value: an Integer or Boolean as 4 "       \
         "bytes, a Float as 8, a String's ANSI bytes"},                                       \
        {"writeLine", "writeLine(value, ...) -> nothing: as write, then the bytes 13, 10"},   \
        {"writeString",                                                                       \
         "writeString(value, ...) -> nothing: each value's text in ANSI with a closing NUL"}, \
    {                                                                                         \
        "writeUnicodeString",                                                                 \
            "writeUnicodeString(value, ...) -> nothing: each value's text as UTF-16 with a "  \
            "closing 0 unit"                                                                  \
    }

// Answers one of the common members.
void CommonStreamMethod(ScriptContext* context, const StreamPort& port, int member, Value* out,
                        Value* args);

// The byte put(x) and unget(x) take: the low byte of an Integer or, when
// `strings` is set, of the first unit of a non-empty String; -1 otherwise.
int ByteArgument(const Value* args, int64_t k, bool strings);

// A position assigned to getPos, putPos or pos: an Integer, or a Float
// truncated, that is not negative; 0 for anything else.
int64_t PositionOf(const Value& value);

// A whole number of bytes from an Integer or a Float (truncated); false for
// other values and for negative ones.
bool ByteCountOf(const Value& value, int64_t* count);

// A path argument: the ANSI text of a String of at most 259 characters.
// Longer paths, and paths holding a NUL, are refused whole, never cut into
// another name.
bool PathArgument(ScriptContext* context, const Value* args, int64_t k, std::string* path);

// A String of ANSI bytes.
Value StringOfBytes(ScriptContext* context, const std::string& bytes);

// Raises "Out of memory" when a text of `count` units could never become a
// String, before it is gathered any further.
void CheckTextLength(ScriptContext* context, size_t count);

}  // namespace kelpo
