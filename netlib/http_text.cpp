#include "netlib/http_text.h"

namespace kelpo {

int64_t ParseHeaderDecimal(const std::string& text) {
    constexpr int64_t kMaxExact = (int64_t{1} << 53) - 1;
    size_t at = 0;
    const size_t size = text.size();
    auto blank = [&](size_t i) { return text[i] == ' ' || text[i] == '\t'; };
    while (at < size && blank(at)) ++at;
    const size_t digits = at;
    int64_t value = 0;
    for (; at < size && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > kMaxExact) return -1;
    }
    if (at == digits) return -1;
    while (at < size && blank(at)) ++at;
    return at == size ? value : -1;
}

std::vector<std::string> SplitNameServers(const std::string& text) {
    std::vector<std::string> pieces;
    std::string piece;
    for (char c : text) {
        if (c == ' ' || c == ',' || c == ';' || c == '\t') {
            if (!piece.empty()) pieces.push_back(piece);
            piece.clear();
        } else {
            piece.push_back(c);
        }
    }
    if (!piece.empty()) pieces.push_back(piece);
    return pieces;
}

}  // namespace kelpo
