// File-name checks for stored and requested names.
#include "host/safe_names.h"

#include "host/counted_text.h"

namespace kelpo {

bool IsBareFileName(const std::string& name) {
    if (name.empty() || name.size() >= kPathTextSize) return false;
    if (name == "." || name == "..") return false;
    for (char c : name) {
        // Control characters and the characters Windows reserves in names.
        if (static_cast<unsigned char>(c) < 32) return false;
        switch (c) {
            case '/':
            case '\\':
            case ':':
            case '*':
            case '?':
            case '"':
            case '<':
            case '>':
            case '|': return false;
            default: break;
        }
    }
    return true;
}

bool IsContainedRelativePath(const std::string& path, std::vector<std::string>* parts) {
    if (parts) parts->clear();
    bool any = false;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("\\/", start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start);
        if (!part.empty()) {
            if (!IsBareFileName(part)) return false;
            if (parts) parts->push_back(part);
            any = true;
        }
        start = end + 1;
    }
    return any;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

}  // namespace kelpo
