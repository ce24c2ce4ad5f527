// Reading movie headers: signature, version, length, the bit-packed frame
// rectangle, rate, count, then tags up to the first SetBackgroundColor.
#include "host/movie_info.h"

#include <zlib.h>

#include <vector>

#include "host/byte_stream.h"
#include "platform/files.h"

namespace kelpo {

namespace {

constexpr uint16_t kTagEnd = 0;
constexpr uint16_t kTagSetBackgroundColor = 9;
// A compressed movie is inflated only this far: the header and the first
// tags are all the host needs.
constexpr size_t kInflateLimit = 1u << 20;

class BitReader {
public:
    BitReader(const uint8_t* bytes, size_t length) : bytes_(bytes), length_(length) {}
    bool Read(int count, uint32_t& value) {
        value = 0;
        for (int i = 0; i < count; ++i) {
            if (bit_ / 8 >= length_) return false;
            value = (value << 1) | ((bytes_[bit_ / 8] >> (7 - bit_ % 8)) & 1);
            ++bit_;
        }
        return true;
    }
    bool ReadSigned(int count, int32_t& value) {
        uint32_t raw;
        if (!Read(count, raw)) return false;
        if (count > 0 && count < 32 && (raw & (1u << (count - 1)))) raw |= ~0u << count;
        value = static_cast<int32_t>(raw);
        return true;
    }
    size_t BytesUsed() const { return (bit_ + 7) / 8; }

private:
    const uint8_t* bytes_;
    size_t length_;
    size_t bit_ = 0;
};

// Inflates the body of a compressed movie (everything after the 8-byte
// header), at most `limit` bytes of it.
std::vector<uint8_t> InflateBody(const uint8_t* bytes, size_t length, size_t limit) {
    std::vector<uint8_t> body;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return body;
    stream.next_in = const_cast<Bytef*>(bytes);
    stream.avail_in = static_cast<uInt>(length);
    uint8_t block[4096];
    int code = Z_OK;
    while (code == Z_OK && body.size() < limit) {
        stream.next_out = block;
        stream.avail_out = sizeof block;
        code = inflate(&stream, Z_NO_FLUSH);
        body.insert(body.end(), block, block + (sizeof block - stream.avail_out));
        if (code == Z_BUF_ERROR || stream.avail_out == sizeof block) break;
    }
    inflateEnd(&stream);
    return body;
}

bool ReadBody(const uint8_t* body, size_t length, MovieInfo& info) {
    BitReader bits(body, length);
    uint32_t size;
    int32_t xMin, xMax, yMin, yMax;
    if (!bits.Read(5, size) || !bits.ReadSigned(size, xMin) || !bits.ReadSigned(size, xMax) ||
        !bits.ReadSigned(size, yMin) || !bits.ReadSigned(size, yMax))
        return false;
    info.left = static_cast<int>(xMin * 0.05);
    info.right = static_cast<int>(xMax * 0.05);
    info.top = static_cast<int>(yMin * 0.05);
    info.bottom = static_cast<int>(yMax * 0.05);
    info.width = info.right - info.left;
    info.height = info.bottom - info.top;

    ByteReader reader = MakeByteReader(body, length);
    reader.position = bits.BytesUsed();
    if (RemainingBytes(reader) < 4) return false;
    info.frameRate = ReadU16(reader) >> 8;
    info.frameCount = ReadU16(reader);

    // The background colour, when a SetBackgroundColor tag comes before the end.
    while (RemainingBytes(reader) >= 2) {
        uint16_t header = ReadU16(reader);
        uint16_t code = header >> 6;
        uint32_t tagLength = header & 0x3F;
        if (tagLength == 0x3F) {
            if (RemainingBytes(reader) < 4) break;
            tagLength = ReadU32(reader);
        }
        if (code == kTagEnd || tagLength > RemainingBytes(reader)) break;
        if (code == kTagSetBackgroundColor && tagLength >= 3) {
            const uint8_t* rgb = ReadBytes(reader, 3);
            info.background = (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
            break;
        }
        SkipBytes(reader, tagLength);
    }
    return true;
}

bool IsMovieSignature(const uint8_t* bytes) {
    return (bytes[0] == 'F' || bytes[0] == 'C') && bytes[1] == 'W' && bytes[2] == 'S';
}

}  // namespace

bool ReadMovieInfo(const uint8_t* bytes, size_t length, MovieInfo& info) {
    info = MovieInfo{};
    if (length < 8 || !IsMovieSignature(bytes)) return false;
    info.version = bytes[3];
    info.fileLength = LoadU32(bytes + 4);
    bool ok;
    if (bytes[0] == 'C') {
        std::vector<uint8_t> body = InflateBody(bytes + 8, length - 8, kInflateLimit);
        ok = ReadBody(body.data(), body.size(), info);
    } else {
        ok = ReadBody(bytes + 8, length - 8, info);
    }
    if (!ok) {
        info = MovieInfo{};
        return false;
    }
    return true;
}

bool ReadMovieInfoFromFile(const std::string& path, MovieInfo& info) {
    info = MovieInfo{};
    std::vector<uint8_t> file;
    if (!ReadWholeFile(path, file)) return false;
    if (file.size() >= 8 && IsMovieSignature(file.data()))
        return ReadMovieInfo(file.data(), file.size(), info);
    // A stand-alone player with the movie appended: its length ends the file.
    if (file.size() < 12) return false;
    uint32_t movieLength = LoadU32(&file[file.size() - 4]);
    if (movieLength < 8 || movieLength > file.size() - 8) return false;
    size_t start = file.size() - 8 - movieLength;
    if (!IsMovieSignature(&file[start])) return false;
    return ReadMovieInfo(&file[start], movieLength, info);
}

}  // namespace kelpo
