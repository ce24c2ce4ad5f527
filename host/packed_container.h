// The packed container most project stores share: "SM", version 1, the
// uncompressed size, the compressed size C, the CRC-32 of the uncompressed
// bytes, then C bytes of zlib stream.
//
// The reader never checks the CRC (old builders left it wrong); the writer
// always fills it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelpo {

constexpr size_t kContainerHeaderSize = 16;

// Unpacks or throws CZipException with the container's exact message.
std::vector<uint8_t> UnpackContainerOrThrow(const uint8_t* bytes, size_t length);

// Unpacks; every failure is reported (ReportFailure) and gives false.
bool UnpackContainer(const uint8_t* bytes, size_t length, std::vector<uint8_t>& out);

std::vector<uint8_t> PackContainer(const uint8_t* bytes, size_t length);
inline std::vector<uint8_t> PackContainer(const std::vector<uint8_t>& bytes) {
    return PackContainer(bytes.data(), bytes.size());
}

// The message of a zlib result code, as containers and archives report it.
const char* ZlibErrorMessage(int code);

}  // namespace kelpo
