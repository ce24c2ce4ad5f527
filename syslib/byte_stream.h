// ByteStream: the in-memory stream behind a StringStream (the compiler's
// script streams already name a kind MemoryStream, hence this name). A
// growable buffer with separate read and write positions, the open mode and
// the two state flags. No script values here: the class
// (string_stream_class.cpp) and the C++ interface (string_stream.h) sit on
// top.
//
// Invariants: `length` is the highest position ever written and never
// exceeds `limit`; bytes past `length` up to `capacity` are unspecified.
// While `fail` is set, reads and writes do nothing (reads answer as at the
// end of the data) until a position is assigned. Allocation failures never
// raise: the write fails and sets `fail`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelpo {

constexpr int kStreamIn = 1;   // reading allowed
constexpr int kStreamOut = 2;  // writing allowed

struct ByteStream {
    uint8_t* bytes;
    size_t length;
    size_t capacity;
    // Most bytes this stream may hold (the context's heap limit, or the
    // platform's bound without one).
    size_t limit;
    uint64_t readPos;
    uint64_t writePos;
    int mode;
    bool eof;
    bool fail;
};

// A new empty stream; null when it cannot be allocated.
ByteStream* NewByteStream(int mode, size_t limit);
void FreeByteStream(ByteStream* stream);

// Makes room for `capacity` bytes without changing the content; false
// when that is past the limit or cannot be allocated.
bool ReserveByteStream(ByteStream* stream, size_t capacity);

// Gives back what the buffer holds past its content when that is much.
void TrimByteStream(ByteStream* stream);

// Up to n bytes from readPos into `out`; fewer (and both flags set) at the
// end of the data. Returns the count read.
size_t ReadByteStream(ByteStream* stream, uint8_t* out, size_t n);

// Writes at writePos, overwriting and extending; a writePos past the end
// fills the gap with zeros. False (and `fail` set) when nothing could be
// written.
bool WriteByteStream(ByteStream* stream, const uint8_t* bytes, size_t n);

// One line of bytes without its terminator (the rules of readLine):
// 10 ends a line; 13 10 ends it; 13 at the end of data ends it; any other
// 13 is dropped. At the end of data the line is empty and both flags are set.
std::string ReadByteLine(ByteStream* stream);

// Steps readPos back one byte; with `byte` >= 0 that byte is put there.
// Nothing at position 0 or while `fail` is set.
void UngetByteStream(ByteStream* stream, int byte);

// Position assignments clear both flags.
void SetByteReadPos(ByteStream* stream, uint64_t position);
void SetByteWritePos(ByteStream* stream, uint64_t position);

}  // namespace kelpo
