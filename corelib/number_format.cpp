// n.format(fmt) without trusting the format.
//
// A script's format never reaches the C formatter as it stands. It is read
// as literal text, "%%" (a percent sign) and directives
// %[flags][width][.precision][length]conversion. Exactly one directive, the
// first whose conversion fits the number's kind (d i o u x X for an Integer,
// always passed as 64 bits; e E f F g G a A for a Float, passed as a double),
// is formatted: rebuilt from its parsed flags (- + space # 0), width and
// precision (each capped at the buffer size) and the right length modifier.
// Every other directive (a second one, another kind's, %s, %n, %p, %c, '*'
// widths, unknown letters, a format ending inside a directive) is copied as
// the literal text it was. The result is cut at kNumberFormatLimit units.
#include "corelib/number_format.h"

#include <cstdio>
#include <cstring>

namespace kelpo {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool IsOneOf(char16_t c, const char* set) {
    return c != 0 && c < 128 && strchr(set, static_cast<char>(c)) != nullptr;
}

// The parsed form of one directive.
struct Directive {
    char flags[6];  // distinct flag characters, NUL-terminated
    int width;      // -1 when absent
    int precision;  // -1 when absent
    char conversion;
};

// Reads a run of digits, saturating at the cap.
int ReadCount(const char16_t* text, uint32_t length, uint32_t* at) {
    int value = 0;
    while (*at < length && IsDigit(text[*at])) {
        value = value * 10 + (text[*at] - u'0');
        if (value > static_cast<int>(kNumberFormatLimit)) value = kNumberFormatLimit;
        ++*at;
    }
    return value;
}

// Parses the directive whose '%' is at text[start]; `*end` receives the
// position after the last unit that belongs to it. False when it is not
// a complete directive of a numeric conversion.
bool ParseDirective(const char16_t* text, uint32_t length, uint32_t start, uint32_t* end,
                    Directive* d) {
    uint32_t at = start + 1;
    int flagCount = 0;
    while (at < length && IsOneOf(text[at], "-+ #0")) {
        char flag = static_cast<char>(text[at]);
        if (memchr(d->flags, flag, flagCount) == nullptr) d->flags[flagCount++] = flag;
        ++at;
    }
    d->flags[flagCount] = '\0';
    d->width = at < length && IsDigit(text[at]) ? ReadCount(text, length, &at) : -1;
    d->precision = -1;
    if (at < length && text[at] == u'.') {
        ++at;
        d->precision = ReadCount(text, length, &at);
    }
    // Length modifiers are accepted and replaced by the right one.
    if (at + 2 < length && text[at] == u'I' && text[at + 1] == u'6' && text[at + 2] == u'4') {
        at += 3;
    } else {
        for (int k = 0; k < 2 && at < length && IsOneOf(text[at], "hlLqjzt"); ++k) ++at;
    }
    if (at >= length) {
        *end = length;
        return false;
    }
    char16_t c = text[at];
    *end = at + 1;
    if (!IsOneOf(c, "diouxXeEfFgGaA")) return false;
    d->conversion = static_cast<char>(c);
    return true;
}

bool IsIntegerConversion(char c) { return strchr("diouxX", c) != nullptr; }

// Formats the number with a rebuilt directive into `text`; returns length.
int FormatDirective(const Value& number, const Directive& d, char* text, size_t size) {
    char format[32];
    int n = 0;
    format[n++] = '%';
    for (const char* f = d.flags; *f != '\0'; ++f) {
        // '#' has no meaning for the decimal integer conversions.
        if (*f == '#' && (d.conversion == 'd' || d.conversion == 'i' || d.conversion == 'u'))
            continue;
        format[n++] = *f;
    }
    if (d.width >= 0) n += snprintf(format + n, sizeof format - n, "%d", d.width);
    if (d.precision >= 0) n += snprintf(format + n, sizeof format - n, ".%d", d.precision);
    if (IsIntegerConversion(d.conversion)) {
        format[n++] = 'l';
        format[n++] = 'l';
    }
    format[n++] = d.conversion;
    format[n] = '\0';
    int written = number.tag == ValueTag::Integer
                      ? snprintf(text, size, format, static_cast<long long>(number.integer))
                      : snprintf(text, size, format, number.number);
    if (written < 0) return 0;
    return static_cast<size_t>(written) >= size ? static_cast<int>(size - 1) : written;
}

}  // namespace

void FormatNumber(const Value& number, const char16_t* format, uint32_t length, TextBuffer* out) {
    const size_t base = out->size();
    auto room = [&]() { return kNumberFormatLimit - (out->size() - base); };
    bool converted = false;
    const bool isInteger = number.tag == ValueTag::Integer;
    for (uint32_t i = 0; i < length && room() > 0;) {
        if (format[i] != u'%') {
            out->Append(format[i++]);
            continue;
        }
        if (i + 1 < length && format[i + 1] == u'%') {
            out->Append(u'%');
            i += 2;
            continue;
        }
        Directive d{};
        uint32_t end = i + 1;
        bool valid = ParseDirective(format, length, i, &end, &d);
        if (valid && !converted && IsIntegerConversion(d.conversion) == isInteger) {
            char text[kNumberFormatLimit + 1];
            int n = FormatDirective(number, d, text, sizeof text);
            for (int k = 0; k < n && room() > 0; ++k) out->Append(static_cast<char16_t>(text[k]));
            converted = true;
        } else {
            uint32_t count = end - i;
            if (count > room()) count = static_cast<uint32_t>(room());
            out->Append(format + i, count);
        }
        i = end;
    }
}

}  // namespace kelpo
