// ANSI code page outside Windows: Windows-1252, as the system reports on the
// machines the projector targets. Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no
// character in 1252; like Windows, they map to the C1 controls of the same value.
// As there, every UTF-16 unit the page lacks (each half of a surrogate pair
// included) becomes one "?".
#include <cstdint>

#include "platform/ansi.h"

namespace kelpo {
namespace {

// Code points of bytes 0x80 to 0x9F; the rest of the page is Latin-1.
const char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t DecodeByte(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
    return byte;
}

int EncodeUnit(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return unit;
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == unit) return 0x80 + i;
    }
    return -1;
}

}  // namespace

size_t AnsiToUtf16(const char* text, size_t length, char16_t* out, size_t capacity) {
    if (out == nullptr) return length;
    size_t n = length < capacity ? length : capacity;
    for (size_t i = 0; i < n; ++i) out[i] = DecodeByte(static_cast<unsigned char>(text[i]));
    return n;
}

size_t Utf16ToAnsi(const char16_t* text, size_t length, char* out, size_t capacity) {
    size_t written = 0;
    for (size_t i = 0; i < length; ++i) {
        char16_t unit = text[i];
        int byte = EncodeUnit(unit);
        if (out != nullptr) {
            if (written >= capacity) break;
            out[written] = byte < 0 ? '?' : static_cast<char>(byte);
        }
        ++written;
    }
    return written;
}

}  // namespace kelpo
