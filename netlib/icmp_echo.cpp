#include "netlib/icmp_echo.h"

#include <cstring>

namespace kelpo {

uint16_t InternetChecksum(const uint8_t* bytes, size_t size) {
    uint32_t sum = 0;
    // Words are summed in the byte order they are sent in; the sum is
    // stored the same way, so the machine's byte order drops out.
    for (size_t i = 0; i + 1 < size; i += 2) {
        uint16_t word;
        std::memcpy(&word, bytes + i, 2);
        sum += word;
    }
    if (size % 2 != 0) {
        uint16_t word = 0;
        std::memcpy(&word, bytes + size - 1, 1);
        sum += word;
    }
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint16_t>(~sum);
}

std::string BuildEchoRequest(uint16_t identifier, uint16_t sequence, uint32_t tick) {
    uint8_t packet[kEchoRequestSize] = {8, 0};
    std::memcpy(packet + 4, &identifier, 2);
    std::memcpy(packet + 6, &sequence, 2);
    std::memcpy(packet + 8, &tick, 4);
    for (size_t i = 0; i < kEchoDataSize; ++i) packet[12 + i] = static_cast<uint8_t>(32 + i);
    const uint16_t checksum = InternetChecksum(packet, sizeof packet);
    std::memcpy(packet + 2, &checksum, 2);
    return std::string(reinterpret_cast<const char*>(packet), sizeof packet);
}

bool ReadEchoReply(const uint8_t* datagram, size_t size, uint16_t identifier, EchoReply* reply) {
    if (size < 20 || (datagram[0] >> 4) != 4) return false;
    const size_t headerSize = static_cast<size_t>(datagram[0] & 0x0F) * 4;
    if (headerSize < 20 || size < headerSize + 12) return false;
    const uint8_t* icmp = datagram + headerSize;
    uint16_t id;
    std::memcpy(&id, icmp + 4, 2);
    if (icmp[0] != 0 || id != identifier) return false;
    std::memcpy(&reply->sequence, icmp + 6, 2);
    std::memcpy(&reply->tick, icmp + 8, 4);
    reply->ttl = datagram[8];
    return true;
}

}  // namespace kelpo
