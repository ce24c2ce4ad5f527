// The byte store behind StringStream (see byte_stream.h).
#include "syslib/byte_stream.h"

#include <cstdlib>
#include <cstring>

namespace kelpo {

ByteStream* NewByteStream(int mode, size_t limit) {
    auto* stream = static_cast<ByteStream*>(std::calloc(1, sizeof(ByteStream)));
    if (stream == nullptr) return nullptr;
    stream->mode = mode;
    stream->limit = limit;
    return stream;
}

void FreeByteStream(ByteStream* stream) {
    if (stream == nullptr) return;
    std::free(stream->bytes);
    std::free(stream);
}

bool ReserveByteStream(ByteStream* stream, size_t capacity) {
    if (capacity <= stream->capacity) return true;
    if (capacity > stream->limit) return false;
    void* grown = std::realloc(stream->bytes, capacity);
    if (grown == nullptr) return false;
    stream->bytes = static_cast<uint8_t*>(grown);
    stream->capacity = capacity;
    return true;
}

void TrimByteStream(ByteStream* stream) {
    if (stream->capacity - stream->length <= stream->length / 2 + 4096) return;
    void* trimmed = std::realloc(stream->bytes, stream->length > 0 ? stream->length : 1);
    if (trimmed == nullptr) return;
    stream->bytes = static_cast<uint8_t*>(trimmed);
    stream->capacity = stream->length;
}

namespace {

// Room for `needed` bytes, growing by half again so that appends stay
// linear; the last step may stop at the limit.
bool Grow(ByteStream* stream, size_t needed) {
    if (needed <= stream->capacity) return true;
    if (needed > stream->limit) return false;
    size_t capacity = stream->capacity + stream->capacity / 2;
    if (capacity < 256) capacity = 256;
    if (capacity < needed || capacity > stream->limit)
        capacity = needed > capacity ? needed : stream->limit;
    return ReserveByteStream(stream, capacity);
}

size_t Available(const ByteStream* stream) {
    return stream->readPos < stream->length ? stream->length - static_cast<size_t>(stream->readPos)
                                            : 0;
}

}  // namespace

size_t ReadByteStream(ByteStream* stream, uint8_t* out, size_t n) {
    if (stream->fail) return 0;
    size_t got = (stream->mode & kStreamIn) ? Available(stream) : 0;
    if (got > n) got = n;
    if (got > 0) std::memcpy(out, stream->bytes + stream->readPos, got);
    stream->readPos += got;
    if (got < n) stream->eof = stream->fail = true;
    return got;
}

bool WriteByteStream(ByteStream* stream, const uint8_t* bytes, size_t n) {
    if (stream->fail) return false;
    const uint64_t end = stream->writePos + n;
    if (!(stream->mode & kStreamOut) || end < stream->writePos || end > stream->limit ||
        !Grow(stream, static_cast<size_t>(end))) {
        stream->fail = true;
        return false;
    }
    const size_t at = static_cast<size_t>(stream->writePos);
    if (at > stream->length) std::memset(stream->bytes + stream->length, 0, at - stream->length);
    if (n > 0) std::memcpy(stream->bytes + at, bytes, n);
    stream->writePos = end;
    if (end > stream->length) stream->length = static_cast<size_t>(end);
    return true;
}

std::string ReadByteLine(ByteStream* stream) {
    std::string line;
    if (stream->fail) return line;
    if (!(stream->mode & kStreamIn) || Available(stream) == 0) {
        stream->eof = stream->fail = true;
        return line;
    }
    const uint8_t* bytes = stream->bytes;
    const size_t length = stream->length;
    size_t p = static_cast<size_t>(stream->readPos);
    bool ended = false;
    while (p < length && !ended) {
        uint8_t byte = bytes[p++];
        if (byte == 10) {
            ended = true;
        } else if (byte == 13) {
            if (p == length) {
                ended = true;
            } else if (bytes[p] == 10) {
                ++p;
                ended = true;
            }
            // A 13 before anything else is dropped and the line goes on.
        } else {
            line.push_back(static_cast<char>(byte));
        }
    }
    // The last line of the data: the end was reached looking for its end.
    if (p == length && (!ended || bytes[p - 1] == 13)) stream->eof = true;
    stream->readPos = p;
    return line;
}

void UngetByteStream(ByteStream* stream, int byte) {
    if (stream->fail || stream->readPos == 0) return;
    stream->eof = false;
    --stream->readPos;
    if (byte >= 0 && stream->readPos < stream->length) {
        stream->bytes[stream->readPos] = static_cast<uint8_t>(byte);
    }
}

void SetByteReadPos(ByteStream* stream, uint64_t position) {
    stream->eof = stream->fail = false;
    stream->readPos = position;
}

void SetByteWritePos(ByteStream* stream, uint64_t position) {
    stream->eof = stream->fail = false;
    stream->writePos = position;
}

}  // namespace kelpo
