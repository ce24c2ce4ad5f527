#include "netlib/ftp_rules.h"

#include <cstdint>

namespace kelpo {
namespace {

// The text starts with `prefix` (lower case), compared without case.
bool StartsWithoutCase(const std::string& text, const char* prefix) {
    size_t i = 0;
    for (; prefix[i] != '\0'; ++i) {
        if (i >= text.size()) return false;
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

std::string FtpHostOfText(const std::string& text) {
    if (StartsWithoutCase(text, "ftp://") || StartsWithoutCase(text, "ftp:\\\\")) {
        return text.substr(6);
    }
    return text;
}

bool IsSendableFtpText(const std::string& text) {
    return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

bool IsFtpFailureReply(const std::string& reply) {
    if (reply.size() < 3 || (reply[0] != '4' && reply[0] != '5')) return false;
    return reply[1] >= '0' && reply[1] <= '9' && reply[2] >= '0' && reply[2] <= '9';
}

FtpAccess FtpAccessOfProxy(const std::string& proxy) {
    if (proxy.empty()) return FtpAccess::Preconfigured;
    if (proxy.size() == 6 && StartsWithoutCase(proxy, "direct")) return FtpAccess::Direct;
    return FtpAccess::NamedProxy;
}

uint64_t FtpPercent(uint64_t done, uint64_t total) {
    if (total == 0) return 100;
    const uint64_t whole = done / total;
    if (whole > (UINT64_MAX - 99) / 100) return UINT64_MAX;
    // The two decimal digits of (done % total) / total by long division.
    // Times ten is ten additions modulo total, each kept below total, so no
    // product overflows whatever the counts.
    uint64_t rest = done % total;
    uint64_t digits = 0;
    for (int place = 0; place < 2; ++place) {
        uint64_t sum = 0;
        uint64_t digit = 0;
        for (int k = 0; k < 10; ++k) {
            if (sum >= total - rest) {
                sum -= total - rest;
                ++digit;
            } else {
                sum += rest;
            }
        }
        digits = digits * 10 + digit;
        rest = sum;
    }
    return whole * 100 + digits;
}

}  // namespace kelpo
