// StringStream for other libraries: how a class hands bytes to scripts as a
// new StringStream and reads the bytes of one a script gives it (sockets,
// mail, DLL calls and automation carry binary data this way).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "runtime/context.h"
#include "syslib/byte_stream.h"

namespace kelpo {

// A new StringStream holding a copy of the bytes, read position 0 and write
// position at the end; Null when the bytes cannot be held.
Value NewStringStream(ScriptContext* context, const uint8_t* bytes, size_t length);

// The whole content of an open StringStream (whatever its positions and
// flags); false for any other value.
bool StringStreamBytes(const Value& value, std::vector<uint8_t>* bytes);

// The same without a copy: valid until the stream is next written, closed
// or collected.
bool StringStreamView(const Value& value, const uint8_t** bytes, size_t* length);

// The open ByteStream of a StringStream, for classes that move bytes in
// and out at its read and write positions (sockets); null for any other
// value and for a closed stream.
ByteStream* StringStreamOf(const Value& value);

// The most bytes one stream may hold in this context: the heap limit when
// the context has one, else the platform's bound.
size_t StreamByteLimit(const ScriptContext* context);

// Wraps a ByteStream (taking it over) in a new StringStream with read
// position 0 and write position at the end of its content. The stream is
// freed if the wrapping raises.
Value WrapByteStream(ScriptContext* context, ByteStream* stream);

}  // namespace kelpo
