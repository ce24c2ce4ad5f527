// Date text parsing (see date_parse.h).
//
// The text is a sequence of numbers, words and separators read left to
// right; each number is placed by the separator before it, the character
// after it and the fields already set:
// - after '+' or '-' it is a zone offset (hours, or hhmm above 23);
// - 70 and above it is the year (below 100 meaning 19xx), and so is a
//   number after '/' once month and day are set;
// - followed by ':' it is the hour, then the minute;
// - followed by '/' it is the month (1-based in the text), then the day;
// - otherwise minutes of a zone offset already read (below 60), the minute
//   or second after an hour, or the day.
// Words (two letters or more) are prefixes of month and day names, am/pm
// and zone names. Anything that does not fit makes the text no date.
#include "corelib/date_parse.h"

#include <cstddef>
#include <cstdint>

#include "corelib/date_calendar.h"

namespace kelpo {
namespace {

enum class Action { Am, Pm, Ignore, Month, Zone };

struct Keyword {
    const char* name;
    Action action;
    int value;  // month 0-11 or zone minutes west
};

const Keyword kKeywords[] = {
    {"am", Action::Am, 0},
    {"pm", Action::Pm, 0},
    {"monday", Action::Ignore, 0},
    {"tuesday", Action::Ignore, 0},
    {"wednesday", Action::Ignore, 0},
    {"thursday", Action::Ignore, 0},
    {"friday", Action::Ignore, 0},
    {"saturday", Action::Ignore, 0},
    {"sunday", Action::Ignore, 0},
    {"january", Action::Month, 0},
    {"february", Action::Month, 1},
    {"march", Action::Month, 2},
    {"april", Action::Month, 3},
    {"may", Action::Month, 4},
    {"june", Action::Month, 5},
    {"july", Action::Month, 6},
    {"august", Action::Month, 7},
    {"september", Action::Month, 8},
    {"october", Action::Month, 9},
    {"november", Action::Month, 10},
    {"december", Action::Month, 11},
    {"gmt", Action::Zone, 0},
    {"ut", Action::Zone, 0},
    {"utc", Action::Zone, 0},
    {"est", Action::Zone, 300},
    {"edt", Action::Zone, 240},
    {"cst", Action::Zone, 360},
    {"cdt", Action::Zone, 300},
    {"mst", Action::Zone, 420},
    {"mdt", Action::Zone, 360},
    {"pst", Action::Zone, 480},
    {"pdt", Action::Zone, 420},
};
constexpr int kKeywordCount = sizeof kKeywords / sizeof kKeywords[0];

// Numbers are capped well above any meaningful field; the cap keeps the
// arithmetic on them free of overflow.
constexpr int64_t kNumberCap = 1000000000;
constexpr int64_t kUnset = -1;

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); }
// White space in the parser's sense: every character up to the space
// (the terminator included, so the end of the text counts).
bool IsBlank(unsigned char c) { return c <= ' '; }

struct Parse {
    int64_t year = kUnset, month = kUnset, day = kUnset;
    int64_t hour = kUnset, minute = kUnset, second = kUnset;
    int64_t zone = 0;  // minutes west of Greenwich, when zoneSet
    bool zoneSet = false;
    bool zoneOffset = false;  // a numeric offset was read
    char pending = 0;         // '+', '-', '/', ':' or none

    bool Number(int64_t n, unsigned char next);
    bool Word(const char* word, int length);
};

bool Parse::Number(int64_t n, unsigned char next) {
    const char separator = pending;
    pending = 0;
    if (separator == '+' || separator == '-') {
        if (zoneOffset) return false;
        int64_t minutes = n > 23 ? n % 100 + 60 * (n / 100) : n * 60;
        zone = separator == '+' ? -minutes : minutes;
        zoneSet = true;
        zoneOffset = true;
        return true;
    }
    if (n >= 70 || (separator == '/' && month != kUnset && day != kUnset && year == kUnset)) {
        if (year != kUnset) return false;
        if (!IsBlank(next) && next != ',' && next != '/') return false;
        year = n < 100 ? n + 1900 : n;
        return true;
    }
    if (next == ':') {
        if (hour == kUnset) {
            hour = n;
        } else if (minute == kUnset) {
            minute = n;
        } else {
            return false;
        }
        return true;
    }
    if (next == '/') {
        if (month == kUnset) {
            month = n - 1;
        } else if (day == kUnset) {
            day = n;
        } else {
            return false;
        }
        return true;
    }
    if (!IsBlank(next) && next != ',' && next != '-') return false;
    if (zoneOffset && n < 60) {
        zone += zone < 0 ? -n : n;
    } else if (hour != kUnset && minute == kUnset) {
        minute = n;
    } else if (hour != kUnset && second == kUnset) {
        second = n;
    } else if (hour == kUnset && minute != kUnset && second == kUnset) {
        second = n;
    } else {
        if (day != kUnset) return false;
        day = n;
    }
    return true;
}

bool Parse::Word(const char* word, int length) {
    if (length < 2) return false;
    // The last keyword the word is a prefix of applies.
    for (int k = kKeywordCount - 1; k >= 0; --k) {
        const char* name = kKeywords[k].name;
        int i = 0;
        while (i < length && name[i] != '\0' && Lower(word[i]) == name[i]) ++i;
        if (i < length) continue;
        switch (kKeywords[k].action) {
            case Action::Am:
            case Action::Pm:
                if (hour == kUnset || hour > 12) return false;
                if (kKeywords[k].action == Action::Am) {
                    if (hour == 12) hour = 0;
                } else if (hour != 12) {
                    hour += 12;
                }
                return true;
            case Action::Ignore: return true;
            case Action::Month:
                if (month != kUnset) return false;
                month = kKeywords[k].value;
                return true;
            case Action::Zone:
                zone = kKeywords[k].value;
                zoneSet = true;
                return true;
        }
    }
    return false;
}

}  // namespace

bool ParseDateText(const char* text, double localOffsetMs, double* out) {
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    Parse p;
    size_t i = 0;
    while (s[i] != 0) {
        unsigned char c = s[i];
        if (IsBlank(c) || c == ',' || c >= 128) {
            ++i;
        } else if (c == '(') {
            // A comment, nested parentheses counted; it may run to the end.
            int depth = 0;
            do {
                if (s[i] == '(') ++depth;
                if (s[i] == ')') --depth;
                ++i;
            } while (depth > 0 && s[i] != 0);
        } else if (c == '+' || c == '/' || c == ':') {
            p.pending = static_cast<char>(c);
            ++i;
        } else if (c == '-') {
            if (IsDigit(s[i + 1])) p.pending = '-';
            ++i;
        } else if (IsDigit(c)) {
            int64_t n = 0;
            while (IsDigit(s[i])) {
                n = n * 10 + (s[i] - '0');
                if (n > kNumberCap) n = kNumberCap;
                ++i;
            }
            if (!p.Number(n, s[i])) return false;
        } else if (IsLetter(c)) {
            size_t start = i;
            while (IsLetter(s[i])) ++i;
            size_t length = i - start;
            if (length > 16) return false;  // longer than every keyword
            if (!p.Word(text + start, static_cast<int>(length))) return false;
        } else {
            return false;
        }
    }
    if (p.year == kUnset || p.month == kUnset || p.day == kUnset) return false;
    auto orZero = [](int64_t v) { return static_cast<double>(v == kUnset ? 0 : v); };
    double t = ComposeTime(static_cast<double>(p.year), static_cast<double>(p.month),
                           static_cast<double>(p.day), orZero(p.hour), orZero(p.minute),
                           orZero(p.second), 0.0);
    t += p.zoneSet ? static_cast<double>(p.zone) * kMsPerMinute : localOffsetMs;
    if (t != t) return false;
    *out = t;
    return true;
}

}  // namespace kelpo
