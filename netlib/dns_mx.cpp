#include "netlib/dns_mx.h"

namespace kelpo {
namespace {

constexpr size_t kHeaderSize = 12;
constexpr size_t kMaxLabel = 63;
constexpr size_t kMaxName = 255;  // encoded, with the length bytes and the root
constexpr uint16_t kTypeMx = 15;
constexpr uint16_t kClassIn = 1;
constexpr uint16_t kFlagResponse = 0x8000;
constexpr uint16_t kFlagRecursionDesired = 0x0100;
// An honest name of at most 127 labels needs no more pointers than labels;
// the bound ends any loop of pointers.
constexpr int kMaxPointers = 128;

void PutU16(std::string* out, uint16_t value) {
    out->push_back(static_cast<char>(value >> 8));
    out->push_back(static_cast<char>(value & 0xFF));
}

// Reads within the reply; every read checks its bounds.
struct ReplyReader {
    const uint8_t* bytes;
    size_t size;

    bool U16(size_t at, uint16_t* value) const {
        if (at > size || size - at < 2) return false;
        *value = static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
        return true;
    }

    // The name at `at`, labels joined with "."; `next` receives the offset
    // after the name's bytes in place (after its first pointer, if any).
    bool Name(size_t at, std::string* text, size_t* next) const {
        text->clear();
        size_t encoded = 1;  // the root's zero byte
        int pointers = 0;
        bool jumped = false;
        for (;;) {
            if (at >= size) return false;
            const uint8_t length = bytes[at];
            if ((length & 0xC0) == 0xC0) {
                if (at + 1 >= size || ++pointers > kMaxPointers) return false;
                if (!jumped) *next = at + 2;
                jumped = true;
                at = static_cast<size_t>((length & 0x3F) << 8 | bytes[at + 1]);
                continue;
            }
            if ((length & 0xC0) != 0) return false;  // the reserved label kinds
            if (length == 0) {
                if (!jumped) *next = at + 1;
                return true;
            }
            encoded += 1 + length;
            if (encoded > kMaxName || size - at - 1 < length) return false;
            if (!text->empty()) text->push_back('.');
            text->append(reinterpret_cast<const char*>(bytes + at + 1), length);
            at += 1 + length;
        }
    }
};

}  // namespace

bool BuildMxQuery(const std::string& domain, uint16_t id, std::string* framed) {
    framed->clear();
    std::string name;
    size_t start = 0;
    const size_t end = !domain.empty() && domain.back() == '.' ? domain.size() - 1 : domain.size();
    if (end == 0) return false;
    while (start <= end) {
        size_t dot = domain.find('.', start);
        if (dot == std::string::npos || dot > end) dot = end;
        const size_t length = dot - start;
        if (length == 0 || length > kMaxLabel) return false;
        name.push_back(static_cast<char>(length));
        name.append(domain, start, length);
        start = dot + 1;
    }
    name.push_back('\0');
    if (name.size() > kMaxName) return false;

    std::string message;
    PutU16(&message, id);
    PutU16(&message, kFlagRecursionDesired);
    PutU16(&message, 1);  // one question
    PutU16(&message, 0);
    PutU16(&message, 0);
    PutU16(&message, 0);
    message += name;
    PutU16(&message, kTypeMx);
    PutU16(&message, kClassIn);
    PutU16(framed, static_cast<uint16_t>(message.size()));
    *framed += message;
    return true;
}

bool ParseMxReply(const uint8_t* reply, size_t size, uint16_t id, std::vector<MxRecord>* records) {
    records->clear();
    const ReplyReader in{reply, size};
    uint16_t replyId, flags, questions, answers;
    if (size < kHeaderSize || !in.U16(0, &replyId) || !in.U16(2, &flags) ||
        !in.U16(4, &questions) || !in.U16(6, &answers))
        return false;
    if (replyId != id || (flags & kFlagResponse) == 0) return false;

    size_t at = kHeaderSize;
    std::string name;
    for (int i = 0; i < questions; ++i) {
        if (!in.Name(at, &name, &at) || size - at < 4) return false;
        at += 4;  // type and class
    }
    std::vector<MxRecord> found;
    for (int i = 0; i < answers; ++i) {
        uint16_t type, dataLength;
        if (!in.Name(at, &name, &at) || size - at < 10 || !in.U16(at, &type) ||
            !in.U16(at + 8, &dataLength))
            return false;
        at += 10;
        if (size - at < dataLength) return false;
        const size_t dataEnd = at + dataLength;
        if (type == kTypeMx) {
            // The exchange's bytes in place lie within the record's data;
            // its pointers may reach anywhere in the reply.
            const ReplyReader data{reply, dataEnd};
            uint16_t pref;
            MxRecord record;
            size_t after = 0;
            if (!data.U16(at, &pref) || !in.Name(at + 2, &record.name, &after) || after > dataEnd)
                return false;
            record.pref = pref;
            found.push_back(std::move(record));
        }
        at = dataEnd;
    }
    *records = std::move(found);
    return true;
}

}  // namespace kelpo
