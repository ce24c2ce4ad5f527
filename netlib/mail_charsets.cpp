// UTF-8 and the Latin-1 family reach ANSI through UTF-16 and the platform's
// conversion. The few charsets converted here are those mail programs write
// by default; the others are left as bytes rather than guessed at.
#include "netlib/mail_charsets.h"

#include <cctype>
#include <cstdint>
#include <string>

#include "platform/ansi.h"

namespace kelpo {
namespace {

std::string Lower(const std::string& text) {
    std::string out = text;
    for (char& c : out) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return out;
}

// UTF-8 as UTF-16; malformed sequences become U+FFFD, one per byte.
std::u16string Utf8ToUtf16(const std::string& bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        const uint8_t lead = static_cast<uint8_t>(bytes[i]);
        int extra = lead < 0x80             ? 0
                    : (lead & 0xE0) == 0xC0 ? 1
                    : (lead & 0xF0) == 0xE0 ? 2
                    : (lead & 0xF8) == 0xF0 ? 3
                                            : -1;
        uint32_t code = extra == 0   ? lead
                        : extra == 1 ? lead & 0x1F
                        : extra == 2 ? lead & 0x0F
                                     : lead & 0x07;
        bool good = extra >= 0 && i + static_cast<size_t>(extra) < bytes.size();
        for (int k = 1; good && k <= extra; ++k) {
            const uint8_t next = static_cast<uint8_t>(bytes[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80) good = false;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are malformed.
        static const uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (good && (code < kLeast[extra] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)))
            good = false;
        if (!good) {
            out += u'\xFFFD';
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

// Windows-1252's characters at 0x80..0x9F (0 where it has none).
const char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::u16string SingleByteToUtf16(const std::string& bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const uint8_t b = static_cast<uint8_t>(c);
        char16_t unit = b;
        if (b >= 0x80 && b < 0xA0 && kWindows1252High[b - 0x80] != 0)
            unit = kWindows1252High[b - 0x80];
        out += unit;
    }
    return out;
}

std::string Utf16ToAnsiText(const std::u16string& text) {
    if (text.empty()) return std::string();
    std::string out(text.size() * 2, '\0');
    const size_t written = Utf16ToAnsi(text.data(), text.size(), &out[0], out.size());
    out.resize(written);
    return out;
}

}  // namespace

const char* AnsiCharsetName(unsigned codePage) {
    switch (codePage) {
        case 932: return "iso-2022-jp";
        case 936: return "gb2312";
        case 949: return "iso-2022-kr";
        case 950: return "big5";
        case 1250: return "iso-8859-2";
        case 1251: return "iso-8859-5";
    }
    return "iso-8859-1";
}

std::string CharsetTextToAnsi(const std::string& charset, const std::string& bytes) {
    const std::string name = Lower(charset);
    if (name == "utf-8" || name == "utf8") return Utf16ToAnsiText(Utf8ToUtf16(bytes));
    // ISO-8859-1 is read as its superset Windows-1252, as browsers do: the
    // messages written on a Windows-1252 system name it for their text.
    if (name == "us-ascii" || name == "iso-8859-1" || name == "latin1" || name == "iso_8859-1" ||
        name == "windows-1252" || name == "cp1252")
        return Utf16ToAnsiText(SingleByteToUtf16(bytes));
    return bytes;
}

}  // namespace kelpo
