// The POP3 client's reading of server replies (RFC 1939), apart from the
// sockets so that they are tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelpo {

// A single-line reply is complete at its first CR LF.
bool Pop3LineComplete(const std::string& data);

// A multi-line reply ("+OK" first line) is complete when a line holding
// only "." follows the first line; any other reply at its first CR LF.
bool Pop3MultiLineComplete(const std::string& data);

// A reply counts as success when it starts with "+OK".
bool Pop3Ok(const std::string& reply);

// The first line of a reply without its CR LF.
std::string Pop3FirstLine(const std::string& reply);

// The data lines of a complete multi-line reply: after the first line, up
// to the terminating "." line, with the dot that was added before lines
// starting with "." removed again. Lines end with CR LF.
std::string Pop3ReplyData(const std::string& reply);

// The "n value" lines of a LIST or UIDL reply's data. Lines that do not
// start with a message number from 1 to kMaxPop3Message are passed over.
constexpr int64_t kMaxPop3Message = 1000000;
struct Pop3Entry {
    int64_t number;
    std::string value;
};
std::vector<Pop3Entry> Pop3Listing(const std::string& data);

// The value of a single-line "+OK n value" reply; false when it has none.
bool Pop3ScanValue(const std::string& reply, std::string* value);

}  // namespace kelpo
