// Case mapping of single UTF-16 code units (see unit_case.h).
#include "corelib/unit_case.h"

namespace kelpo {
namespace {

// Latin Extended-A alternates capital and small letters in pairs; the
// capital is the even unit in some runs and the odd unit in others. The
// dotted and dotless i (0x130, 0x131) and the long s have no pair partner.
bool InPairRun(char16_t c, bool* capitalIsEven) {
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) {
        *capitalIsEven = true;
        return true;
    }
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
        *capitalIsEven = false;
        return true;
    }
    // Cyrillic supplement runs pair even capitals with odd small letters.
    if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x4FF)) {
        *capitalIsEven = true;
        return true;
    }
    return false;
}

}  // namespace

char16_t LowerUnit(char16_t c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    if (c == 0x178) return 0xFF;
    bool capitalIsEven;
    if (InPairRun(c, &capitalIsEven)) {
        bool even = (c & 1) == 0;
        return even == capitalIsEven ? static_cast<char16_t>(c + 1) : c;
    }
    if ((c >= 0x391 && c <= 0x3A1) || (c >= 0x3A3 && c <= 0x3AB))
        return static_cast<char16_t>(c + 0x20);
    if (c == 0x386) return 0x3AC;
    if (c >= 0x388 && c <= 0x38A) return static_cast<char16_t>(c + 0x25);
    if (c == 0x38C) return 0x3CC;
    if (c == 0x38E || c == 0x38F) return static_cast<char16_t>(c + 0x3F);
    if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);
    if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<char16_t>(c + 0x20);
    return c;
}

char16_t UpperUnit(char16_t c) {
    if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
    if (c == 0xFF) return 0x178;
    bool capitalIsEven;
    if (InPairRun(c, &capitalIsEven)) {
        bool even = (c & 1) == 0;
        return even != capitalIsEven ? static_cast<char16_t>(c - 1) : c;
    }
    if ((c >= 0x3B1 && c <= 0x3C1) || (c >= 0x3C3 && c <= 0x3CB))
        return static_cast<char16_t>(c - 0x20);
    if (c == 0x3C2) return 0x3A3;  // final sigma
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return static_cast<char16_t>(c - 0x25);
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return static_cast<char16_t>(c - 0x3F);
    if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
    if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<char16_t>(c - 0x20);
    return c;
}

}  // namespace kelpo
