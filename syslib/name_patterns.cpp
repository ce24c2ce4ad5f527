// The wildcard matcher of Folder.files(patterns).
#include "syslib/name_patterns.h"

namespace kelpo {

std::vector<std::u16string> SplitPatterns(const char16_t* text, size_t length) {
    std::vector<std::u16string> patterns(1);
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == u';')
            patterns.emplace_back();
        else
            patterns.back() += text[i];
    }
    return patterns;
}

// Left to right, remembering where the last "*" stood: on a mismatch the
// "*" takes one more character and the rest is tried again. Each name
// position is retried at most once per "*", so the work stays quadratic
// at worst, never exponential.
bool MatchesPattern(const std::u16string& name, const std::u16string& pattern) {
    size_t n = 0, p = 0;
    size_t starAt = std::u16string::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            if (++p == pattern.size()) return true;  // a final "*" takes the rest
            starAt = p;
            resumeAt = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starAt != std::u16string::npos) {
            p = starAt;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;  // trailing "*"s match nothing
    return p == pattern.size();
}

bool MatchesAnyPattern(const std::u16string& name, const std::vector<std::u16string>& patterns) {
    for (const std::u16string& pattern : patterns) {
        if (MatchesPattern(name, pattern)) return true;
    }
    return false;
}

}  // namespace kelpo
