// Base64 (RFC 2045 alphabet) for the Encryption class's data texts.
#include "syslib/base64_text.h"

namespace kelpo {
namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int DigitValue(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

bool IsSkipped(char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\t'; }

}  // namespace

std::string EncodeBase64(const std::vector<uint8_t>& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        size_t left = bytes.size() - i;
        uint32_t group = uint32_t(bytes[i]) << 16;
        if (left > 1) group |= uint32_t(bytes[i + 1]) << 8;
        if (left > 2) group |= bytes[i + 2];
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
        out += left > 1 ? kAlphabet[(group >> 6) & 63] : '=';
        out += left > 2 ? kAlphabet[group & 63] : '=';
    }
    return out;
}

bool DecodeBase64(const std::string& text, std::vector<uint8_t>& out) {
    out.clear();
    std::string digits;
    for (char c : text) {
        if (!IsSkipped(c)) digits += c;
    }
    if (digits.size() % 4 != 0) return false;
    for (size_t i = 0; i < digits.size(); i += 4) {
        bool last = i + 4 == digits.size();
        // Padding: only in the last group, as "xx==" or "xxx=".
        int padding = 0;
        if (last && digits[i + 3] == '=') padding = digits[i + 2] == '=' ? 2 : 1;
        uint32_t group = 0;
        for (int k = 0; k < 4; ++k) {
            int value = k < 4 - padding ? DigitValue(digits[i + k]) : 0;
            if (value < 0) {
                out.clear();
                return false;
            }
            group = (group << 6) | uint32_t(value);
        }
        out.push_back(uint8_t(group >> 16));
        if (padding < 2) out.push_back(uint8_t(group >> 8));
        if (padding < 1) out.push_back(uint8_t(group));
    }
    return true;
}

}  // namespace kelpo
