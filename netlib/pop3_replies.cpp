// POP3 replies. Every reader stays within the received bytes whatever the
// server sent.
#include "netlib/pop3_replies.h"

#include <cctype>

namespace kelpo {
namespace {

// Splits "n value" (blanks between); false when it does not start with a
// message number in range.
bool ReadEntry(const std::string& line, Pop3Entry* entry) {
    size_t i = 0;
    int64_t number = 0;
    while (i < line.size() && isdigit(static_cast<unsigned char>(line[i]))) {
        number = number * 10 + (line[i++] - '0');
        if (number > kMaxPop3Message) return false;
    }
    if (i == 0 || number < 1) return false;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    size_t end = i;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r') ++end;
    entry->number = number;
    entry->value = line.substr(i, end - i);
    return !entry->value.empty();
}

}  // namespace

bool Pop3LineComplete(const std::string& data) { return data.find("\r\n") != std::string::npos; }

bool Pop3MultiLineComplete(const std::string& data) {
    const size_t firstEnd = data.find("\r\n");
    if (firstEnd == std::string::npos) return false;
    if (!Pop3Ok(data)) return true;
    const size_t size = data.size();
    // The "." line starts after the first line's CR LF.
    return size >= firstEnd + 5 && data.compare(size - 3, 3, ".\r\n") == 0 &&
           data[size - 4] == '\n' && data[size - 5] == '\r';
}

bool Pop3Ok(const std::string& reply) { return reply.compare(0, 3, "+OK") == 0; }

std::string Pop3FirstLine(const std::string& reply) {
    const size_t end = reply.find("\r\n");
    return reply.substr(0, end);
}

std::string Pop3ReplyData(const std::string& reply) {
    const size_t firstEnd = reply.find("\r\n");
    if (firstEnd == std::string::npos) return std::string();
    std::string data;
    size_t at = firstEnd + 2;
    while (at < reply.size()) {
        size_t end = reply.find("\r\n", at);
        const bool last = end == std::string::npos;
        if (last) end = reply.size();
        if (end - at == 1 && reply[at] == '.') break;  // the terminating line
        const size_t from = reply[at] == '.' ? at + 1 : at;
        data.append(reply, from, end - from);
        if (!last) data += "\r\n";
        at = last ? end : end + 2;
    }
    return data;
}

std::vector<Pop3Entry> Pop3Listing(const std::string& data) {
    std::vector<Pop3Entry> entries;
    size_t at = 0;
    while (at < data.size()) {
        size_t end = data.find("\r\n", at);
        if (end == std::string::npos) end = data.size();
        Pop3Entry entry;
        if (ReadEntry(data.substr(at, end - at), &entry)) entries.push_back(entry);
        at = end + 2;
    }
    return entries;
}

bool Pop3ScanValue(const std::string& reply, std::string* value) {
    if (!Pop3Ok(reply)) return false;
    std::string line = Pop3FirstLine(reply).substr(3);
    size_t i = 0;
    while (i < line.size() && line[i] == ' ') ++i;
    Pop3Entry entry;
    if (!ReadEntry(line.substr(i), &entry)) return false;
    *value = entry.value;
    return true;
}

}  // namespace kelpo
