// The two ends of an MX lookup over TCP: the query this side sends and the
// reading of the server's reply.
//
// The query is one question (type MX, class IN) with recursion desired,
// framed for TCP by its 16-bit length in network order. The reply comes
// from the network and is hostile: every count, length and compression
// pointer is checked against the reply's own bytes, a name never grows past
// 255 bytes nor follows more pointers than a reply could hold honestly, and
// anything malformed refuses the whole reply.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

// The transaction identifier of every query; a reply must carry it back.
constexpr uint16_t kMxQueryId = 0x4B70;

// A reply is at most this long: its TCP frame's length is 16 bits.
constexpr size_t kMaxDnsMessage = 65535;

struct MxRecord {
    std::string name;  // the mail exchanger, labels joined with "."
    int pref;          // its preference, 0 to 65535
};

// The framed query for the domain's MX records: false (and `framed` empty)
// when the domain is no DNS name: empty, an empty label inside it ("a..b"),
// a label longer than 63 bytes, or a name longer than 255 bytes encoded. A
// single trailing dot (the root) is allowed.
bool BuildMxQuery(const std::string& domain, uint16_t id, std::string* framed);

// The MX records of a reply (the message after its TCP length), in answer
// order. Answers of other types (a CNAME before the MX records) are passed
// over by their data length. False, with `records` empty, when the reply is
// malformed: shorter than its header, not a response, another identifier,
// or any question, answer or name that leaves the reply's bytes.
bool ParseMxReply(const uint8_t* reply, size_t size, uint16_t id, std::vector<MxRecord>* records);

}  // namespace kelpo
