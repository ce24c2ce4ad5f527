// Compression, decompression and CRC-32 for StringStream, through zlib.
//
// zlib counts in 32-bit units, so the input is fed and the output taken in
// pieces of at most kPiece bytes; the output grows geometrically inside the
// ByteStream (compression reserves zlib's bound at once), so memory stays
// near input plus output and time stays linear.
#include "syslib/stream_codec.h"

#include <zlib.h>

namespace kelpo {
namespace {

constexpr size_t kPiece = size_t{1} << 20;
constexpr size_t kWindow = 64 * 1024;

size_t Min(size_t a, size_t b) { return a < b ? a : b; }

// Runs `step` (deflate or inflate) until it answers `done`, feeding input
// and collecting output in `out`. Answers the last zlib code.
template <class Step>
int Pump(z_stream* z, const uint8_t* bytes, size_t length, int flush, ByteStream* out, Step step) {
    size_t fed = 0;
    for (;;) {
        if (z->avail_in == 0 && fed < length) {
            z->next_in = const_cast<Bytef*>(bytes + fed);
            z->avail_in = static_cast<uInt>(Min(length - fed, kPiece));
            fed += z->avail_in;
        }
        // Output goes straight into the stream's buffer past its end.
        size_t room = out->capacity - out->length;
        if (room == 0) {
            size_t want = out->length + (out->length / 2 > kWindow ? out->length / 2 : kWindow);
            if (want > out->limit) want = out->limit;
            if (want <= out->length || !ReserveByteStream(out, want)) return Z_MEM_ERROR;
            room = out->capacity - out->length;
        }
        z->next_out = out->bytes + out->length;
        z->avail_out = static_cast<uInt>(Min(room, kPiece));
        const uInt offered = z->avail_out;
        int code = step(z, fed == length ? flush : Z_NO_FLUSH);
        out->length += offered - z->avail_out;
        if (code == Z_STREAM_END) return code;
        if (code == Z_BUF_ERROR && z->avail_in == 0 && fed == length && z->avail_out != 0) {
            return code;  // the input ended before the stream did
        }
        if (code != Z_OK && code != Z_BUF_ERROR) return code;
    }
}

}  // namespace

bool CompressInto(const uint8_t* bytes, size_t length, int level, ByteStream* out) {
    z_stream z = {};
    if (deflateInit(&z, level) != Z_OK) return false;
    // One reservation of the worst case when it fits, so the output never
    // moves; deflateBound takes a 32-bit count on some zlib builds.
    uLong bound = deflateBound(&z, static_cast<uLong>(Min(length, 0x7FFFFFFF)));
    if (length <= 0x7FFFFFFF && out->length + bound <= out->limit) {
        ReserveByteStream(out, out->length + bound);
    }
    int code = Pump(&z, bytes, length, Z_FINISH, out,
                    [](z_stream* s, int flush) { return deflate(s, flush); });
    deflateEnd(&z);
    TrimByteStream(out);
    out->writePos = out->length;
    return code == Z_STREAM_END;
}

bool UncompressInto(const uint8_t* bytes, size_t length, ByteStream* out) {
    z_stream z = {};
    if (inflateInit(&z) != Z_OK) return false;
    int code = Pump(&z, bytes, length, Z_NO_FLUSH, out,
                    [](z_stream* s, int flush) { return inflate(s, flush); });
    inflateEnd(&z);
    out->writePos = out->length;
    return code == Z_STREAM_END;
}

uint32_t Crc32Of(const uint8_t* bytes, size_t length) {
    uLong crc = crc32(0L, Z_NULL, 0);
    for (size_t at = 0; at < length; at += kPiece) {
        crc = crc32(crc, bytes + at, static_cast<uInt>(Min(length - at, kPiece)));
    }
    return static_cast<uint32_t>(crc);
}

}  // namespace kelpo
