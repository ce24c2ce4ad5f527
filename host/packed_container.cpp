// Packing and unpacking the "SM" container with zlib.
#include "host/packed_container.h"

#include <zlib.h>

#include "host/byte_stream.h"
#include "host/failure_report.h"
#include "host/host_exceptions.h"

namespace kelpo {

const char* ZlibErrorMessage(int code) {
    switch (code) {
        case Z_BUF_ERROR:
            return "There was not enough room in the compress(uncompress) output buffer";
        case Z_MEM_ERROR: return "There was not enough memory for compress(uncompress)";
        case Z_DATA_ERROR: return "The compress(uncompress) input data was corrupted";
        case Z_STREAM_ERROR: return "The compress level parameter is invalid";
        default: return "Compression or uncompression failed";
    }
}

std::vector<uint8_t> UnpackContainerOrThrow(const uint8_t* bytes, size_t length) {
    if (length <= kContainerHeaderSize) throw CZipException(0, "Bad compressed data length");
    if (bytes[0] != 'S' || bytes[1] != 'M' || bytes[2] != 1 || bytes[3] != 0)
        throw CZipException(0, "Bad compressed data header");
    uint32_t uncompressedSize = LoadU32(bytes + 4);
    uint32_t compressedSize = LoadU32(bytes + 8);
    if (length - kContainerHeaderSize < compressedSize)
        throw CZipException(0, "Bad compressed data length");

    // zlib cannot expand data more than about 1032 times: a larger declared
    // size is a damaged header, refused before anything is allocated for it.
    if (static_cast<uint64_t>(uncompressedSize) >
        static_cast<uint64_t>(compressedSize) * 1032 + 1024)
        throw CZipException(Z_DATA_ERROR, ZlibErrorMessage(Z_DATA_ERROR));
    std::vector<uint8_t> out;
    try {
        out.resize(uncompressedSize ? uncompressedSize : 1);
    } catch (const std::bad_alloc&) {
        throw CZipException(Z_MEM_ERROR, ZlibErrorMessage(Z_MEM_ERROR));
    }
    uLongf produced = uncompressedSize;
    int code = uncompress(out.data(), &produced, bytes + kContainerHeaderSize, compressedSize);
    if (code != Z_OK) throw CZipException(code, ZlibErrorMessage(code));
    out.resize(produced);
    return out;
}

bool UnpackContainer(const uint8_t* bytes, size_t length, std::vector<uint8_t>& out) {
    try {
        out = UnpackContainerOrThrow(bytes, length);
        return true;
    } catch (const CTopBaseException& failure) {
        ReportFailure(failure.what());
    } catch (const std::bad_alloc&) {
        ReportFailure(ZlibErrorMessage(Z_MEM_ERROR));
    }
    out.clear();
    return false;
}

std::vector<uint8_t> PackContainer(const uint8_t* bytes, size_t length) {
    uLongf bound = compressBound(static_cast<uLong>(length));
    std::vector<uint8_t> out(kContainerHeaderSize + bound);
    int code = compress2(out.data() + kContainerHeaderSize, &bound, bytes,
                         static_cast<uLong>(length), Z_BEST_COMPRESSION);
    if (code != Z_OK) throw CZipException(code, ZlibErrorMessage(code));
    out.resize(kContainerHeaderSize + bound);
    out[0] = 'S';
    out[1] = 'M';
    out[2] = 1;
    out[3] = 0;
    StoreU32(&out[4], static_cast<uint32_t>(length));
    StoreU32(&out[8], static_cast<uint32_t>(bound));
    StoreU32(&out[12], static_cast<uint32_t>(crc32(0L, bytes, static_cast<uInt>(length))));
    return out;
}

}  // namespace kelpo
