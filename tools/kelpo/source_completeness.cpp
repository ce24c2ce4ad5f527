#include "tools/kelpo/source_completeness.h"

#include <cctype>

namespace kelpo {
namespace {

// A slash starts a regular expression literal where an operand is
// expected: at the start, or after an operator or opening punctuation.
bool SlashStartsRegExp(char previous) {
    if (previous == '\0') return true;
    static const char kBeforeOperand[] = "(,=:[!&|?{};+-*%<>~^";
    for (const char* p = kBeforeOperand; *p != '\0'; ++p) {
        if (*p == previous) return true;
    }
    return false;
}

}  // namespace

bool IsUnfinishedSource(const std::string& text) {
    int depth = 0;
    char previous = '\0';  // the last significant character outside literals
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        char c = text[i];
        if (c == '/' && i + 1 < n && text[i + 1] == '/') {
            while (i < n && text[i] != '\n') ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && text[i + 1] == '*') {
            size_t end = text.find("*/", i + 2);
            if (end == std::string::npos) return true;
            i = end + 2;
            continue;
        }
        if (c == '"' || c == '\'' || (c == '/' && SlashStartsRegExp(previous))) {
            bool inClass = false;  // a slash inside [...] does not end a regexp
            ++i;
            while (i < n) {
                char d = text[i];
                if (d == '\\') {
                    // A backslash at the end of a line continues the
                    // literal on the next one.
                    if (i + 1 >= n || (text[i + 1] == '\n' && i + 2 >= n)) return true;
                    i += 2;
                    continue;
                }
                if (d == '\n') break;  // an unterminated literal: the compiler says so
                if (c == '/' && d == '[') inClass = true;
                if (c == '/' && d == ']') inClass = false;
                ++i;
                if (d == c && !inClass) break;
            }
            previous = 'a';  // a literal is an operand
            continue;
        }
        if (c == '(' || c == '[' || c == '{') ++depth;
        if (c == ')' || c == ']' || c == '}') --depth;
        if (!isspace(static_cast<unsigned char>(c))) previous = c;
        ++i;
    }
    return depth > 0;
}

}  // namespace kelpo
