// Boost.Regex traits over UTF-16 code units (char16_t).
//
// Character classes and case folding are defined here on code units rather
// than taken from the C runtime's locale, so every build classifies and
// folds the same way. Collation is plain code-unit order. Included only by
// the regular-expression adapter.
#pragma once

#include <cstdint>
#include <string>

// The library abandons a search after this many matcher states (its own
// default is ten times larger): a catastrophic pattern then fails within
// about a second instead of stalling the projector for many.
#ifndef BOOST_REGEX_MAX_STATE_COUNT
#define BOOST_REGEX_MAX_STATE_COUNT 10000000
#endif
#include <boost/regex.hpp>

#include "corelib/unit_case.h"

namespace kelpo {

class RegexUnitTraits {
public:
    typedef char16_t char_type;
    typedef std::size_t size_type;
    typedef std::u16string string_type;
    struct locale_type {};
    typedef uint32_t char_class_type;

    enum : uint32_t {
        kSpace = 1u << 0,
        kPrint = 1u << 1,
        kCntrl = 1u << 2,
        kUpper = 1u << 3,
        kLower = 1u << 4,
        kAlpha = 1u << 5,
        kDigit = 1u << 6,
        kPunct = 1u << 7,
        kXdigit = 1u << 8,
        kBlank = 1u << 9,
        kWord = 1u << 10,
        kUnicode = 1u << 11,
        kHorizontal = 1u << 12,
        kVertical = 1u << 13,
        kAlnum = kAlpha | kDigit,
        kGraph = kAlnum | kPunct,
    };

    RegexUnitTraits() {}

    static size_type length(const char_type* p) {
        size_type n = 0;
        while (p[n] != 0) ++n;
        return n;
    }
    char_type translate(char_type c) const { return c; }
    char_type translate_nocase(char_type c) const { return LowerUnit(c); }

    static string_type transform(const char_type* p1, const char_type* p2) {
        return string_type(p1, p2);
    }
    static string_type transform_primary(const char_type* p1, const char_type* p2) {
        string_type s(p1, p2);
        for (char16_t& c : s) c = LowerUnit(c);
        return s;
    }

    static char_class_type lookup_classname(const char_type* p1, const char_type* p2);
    static string_type lookup_collatename(const char_type* p1, const char_type* p2);
    static bool isctype(char_type c, char_class_type mask);
    static int value(char_type c, int radix);

    locale_type imbue(locale_type l) { return l; }
    locale_type getloc() const { return locale_type(); }

    // The classes a code unit belongs to (kWord, kHorizontal and kVertical
    // excepted: isctype derives those).
    static uint32_t ClassesOf(char16_t c);

private:
    RegexUnitTraits(const RegexUnitTraits&);
    RegexUnitTraits& operator=(const RegexUnitTraits&);
};

}  // namespace kelpo
