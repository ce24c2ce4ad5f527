// The echo messages of a ping over a raw ICMP socket, for systems without
// the echo service: the request this side sends, and the reading of what
// arrives on the raw socket, which is any ICMP traffic of the machine
// (hostile bytes: an IP header of any stated length, short datagrams).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelpo {

// 8 bytes of ICMP header, a 4-byte tick count and 32 data bytes.
constexpr size_t kEchoRequestSize = 44;
constexpr size_t kEchoDataSize = 32;

// The echo request: type 8, code 0, the Internet checksum over all 44
// bytes, the identifier and sequence number in host byte order, the tick
// count, then the bytes 32, 33, ... 63.
std::string BuildEchoRequest(uint16_t identifier, uint16_t sequence, uint32_t tick);

// The Internet checksum (ones' complement sum of 16-bit words) of the bytes.
uint16_t InternetChecksum(const uint8_t* bytes, size_t size);

struct EchoReply {
    uint16_t sequence;
    uint32_t tick;  // the tick count the request carried
    int ttl;
};

// An IPv4 datagram as a raw socket gives it: true when it is an echo reply
// (type 0) carrying `identifier`, with its sequence number, tick count and
// time to live. The IP header's length is taken from the datagram and
// checked against its size.
bool ReadEchoReply(const uint8_t* datagram, size_t size, uint16_t identifier, EchoReply* reply);

}  // namespace kelpo
