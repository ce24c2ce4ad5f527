// Percent-encoding and -decoding (see uri_codec.h).
//
// Code points are written in the classic UTF-8 form of up to six bytes,
// and decoding accepts that form too; a decoded code point above 0x10FFFF
// cannot become UTF-16 and is an error.
#include "corelib/uri_codec.h"

#include <cstring>

namespace kelpo {

const char kUriUnreserved[] =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_.!~*'()";
const char kUriReserved[] = ";/?:@&=+$,#";

namespace {

const char kHex[] = "0123456789ABCDEF";

bool InSet(const char* set, uint32_t c) {
    return c != 0 && c < 128 && strchr(set, static_cast<int>(c)) != nullptr;
}

void AppendEscape(TextBuffer* out, unsigned byte) {
    char16_t escape[3] = {u'%', static_cast<char16_t>(kHex[byte >> 4]),
                          static_cast<char16_t>(kHex[byte & 15])};
    out->Append(escape, 3);
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// The byte of the escape "%XX" at text[at], or -1.
int EscapedByte(const char16_t* text, uint32_t length, uint32_t at) {
    if (at >= length || length - at < 3 || text[at] != u'%') return -1;
    int high = HexDigit(text[at + 1]);
    int low = HexDigit(text[at + 2]);
    if (high < 0 || low < 0) return -1;
    return high * 16 + low;
}

}  // namespace

bool UriEncode(const char16_t* text, uint32_t length, bool keepReserved, TextBuffer* out) {
    for (uint32_t i = 0; i < length; ++i) {
        char16_t c = text[i];
        if (InSet(kUriUnreserved, c) || (keepReserved && InSet(kUriReserved, c))) {
            out->Append(c);
            continue;
        }
        uint32_t point = c;
        if (c >= 0xDC00 && c <= 0xDFFF) return false;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= length || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
            point = 0x10000 + (static_cast<uint32_t>(c) - 0xD800) * 0x400 + (text[i + 1] - 0xDC00u);
            ++i;
        }
        if (point < 0x80) {
            AppendEscape(out, point);
            continue;
        }
        // Lead byte: n leading ones for an n-byte sequence; then six bits
        // per continuation byte.
        int count = point < 0x800 ? 2 : point < 0x10000 ? 3 : 4;
        unsigned lead = (0xFF00u >> count) & 0xFF;
        AppendEscape(out, lead | (point >> (6 * (count - 1))));
        for (int k = count - 2; k >= 0; --k) AppendEscape(out, 0x80 | ((point >> (6 * k)) & 0x3F));
    }
    return true;
}

bool UriDecode(const char16_t* text, uint32_t length, bool keepReserved, TextBuffer* out) {
    for (uint32_t i = 0; i < length; ++i) {
        if (text[i] != u'%') {
            out->Append(text[i]);
            continue;
        }
        uint32_t start = i;
        int b = EscapedByte(text, length, i);
        if (b < 0) return false;
        i += 2;
        uint32_t point;
        if (b < 0x80) {
            point = static_cast<uint32_t>(b);
        } else {
            // The number of leading ones gives the sequence length (2 to 6).
            int count = 0;
            while (count < 8 && (b & (0x80 >> count)) != 0) ++count;
            if (count < 2 || count > 6) return false;
            point = static_cast<uint32_t>(b) & (0xFFu >> (count + 1));
            for (int k = 1; k < count; ++k) {
                int next = EscapedByte(text, length, i + 1);
                if (next < 0 || (next & 0xC0) != 0x80) return false;
                i += 3;
                point = (point << 6) | (static_cast<uint32_t>(next) & 0x3F);
            }
            if (point > 0x10FFFF) return false;
        }
        if (keepReserved && InSet(kUriReserved, point)) {
            out->Append(text + start, i + 1 - start);
        } else if (point >= 0x10000) {
            char16_t pair[2] = {static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10)),
                                static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF))};
            out->Append(pair, 2);
        } else {
            out->Append(static_cast<char16_t>(point));
        }
    }
    return true;
}

}  // namespace kelpo
