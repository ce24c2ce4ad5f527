// Address lists are split by hand: the rules are a few lines, and the
// addresses go on into SMTP commands, so nothing that could end a command
// line early may pass.
#include "netlib/mail_addresses.h"

#include <cctype>

namespace kelpo {
namespace {

std::string Trimmed(const std::string& text) {
    size_t start = 0, end = text.size();
    while (start < end && isspace(static_cast<unsigned char>(text[start]))) ++start;
    while (end > start && isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(start, end - start);
}

}  // namespace

std::vector<std::string> SplitAddressList(const std::string& list) {
    std::vector<std::string> entries;
    std::string current;
    bool quoted = false;
    bool bracketed = false;
    for (size_t i = 0; i < list.size(); ++i) {
        const char c = list[i];
        if (c == '"' && !bracketed) quoted = !quoted;
        if (c == '<' && !quoted) bracketed = true;
        if (c == '>' && !quoted) bracketed = false;
        if (c == ',' && !quoted && !bracketed) {
            const std::string entry = Trimmed(current);
            if (!entry.empty()) entries.push_back(entry);
            current.clear();
            continue;
        }
        current += c;
    }
    const std::string entry = Trimmed(current);
    if (!entry.empty()) entries.push_back(entry);
    return entries;
}

std::string BareAddress(const std::string& entry) {
    for (char c : entry)
        if (c == '\r' || c == '\n' || c == '\0') return std::string();
    std::string address;
    const size_t open = entry.find('<');
    if (open == std::string::npos) {
        address = Trimmed(entry);
    } else {
        const size_t close = entry.find('>', open + 1);
        address = Trimmed(entry.substr(
            open + 1, close == std::string::npos ? std::string::npos : close - open - 1));
    }
    for (char c : address)
        if (c == '<' || c == '>') return std::string();
    return address;
}

}  // namespace kelpo
