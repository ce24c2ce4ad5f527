// The regular-expression adapter over Boost.Regex (see regex_engine.h).
//
// Flags translate as the library's own POSIX wrapper translates them:
// extended syntax, icase, collation switched off by kRegNoCollate, escapes
// in bracket lists enabled by kRegEscapeInLists, and kRegNewline keeping
// '.' off line ends at search time. Every library exception stops here.
#include "corelib/regex_engine.h"

#include <array>
#include <cstring>
#include <memory>
#include <new>

#include "corelib/regex_unit_traits.h"

namespace kelpo {

// ---- Code-unit traits ---------------------------------------------------

namespace {

bool IsLineSeparator(char16_t c) {
    return c == 0x0A || c == 0x0C || c == 0x0D || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool IsSpaceUnit(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

// Letters without a case partner in the unit case mapping.
bool IsUncasedLetter(char16_t c) {
    if (c == 0xAA || c == 0xB5 || c == 0xBA || c == 0xDF) return true;
    if (c >= 0x100 && c <= 0x24F) return true;                    // Latin extended
    if (c >= 0x388 && c <= 0x3FF) return true;                    // Greek
    if (c >= 0x400 && c <= 0x52F) return c < 0x482 || c > 0x489;  // Cyrillic letters
    if (c >= 0x5D0 && c <= 0x5EA) return true;                    // Hebrew
    if (c >= 0x620 && c <= 0x64A) return true;                    // Arabic
    if (c >= 0x3041 && c <= 0x3096) return true;                  // Hiragana
    if (c >= 0x30A1 && c <= 0x30FA) return true;                  // Katakana
    if (c >= 0x3400 && c <= 0x4DBF) return true;                  // CJK extension A
    if (c >= 0x4E00 && c <= 0x9FFF) return true;                  // CJK ideographs
    if (c >= 0xAC00 && c <= 0xD7A3) return true;                  // Hangul syllables
    if (c >= 0xF900 && c <= 0xFAFF) return true;                  // CJK compatibility
    if (c >= 0xFF66 && c <= 0xFF9D) return true;                  // half-width Katakana
    return false;
}

bool IsPunctUnit(char16_t c) {
    if (c < 0x80) {
        return (c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
               (c >= 0x7B && c <= 0x7E);
    }
    if (c >= 0xA1 && c <= 0xBF) return c != 0xAA && c != 0xB5 && c != 0xBA;
    if (c == 0xD7 || c == 0xF7) return true;
    if (c >= 0x2010 && c <= 0x2027) return true;
    if (c >= 0x2030 && c <= 0x205E) return true;
    if (c >= 0x3001 && c <= 0x3003) return true;
    if (c >= 0x3008 && c <= 0x3011) return true;
    if (c >= 0xFF01 && c <= 0xFF0F) return true;
    return false;
}

}  // namespace

namespace {

uint32_t ComputeClasses(char16_t c) {
    using T = RegexUnitTraits;
    uint32_t classes = 0;
    bool space = IsSpaceUnit(c);
    bool cntrl = c < 0x20 || (c >= 0x7F && c <= 0x9F);
    if (space) classes |= T::kSpace;
    if (cntrl)
        classes |= T::kCntrl;
    else if (!(c >= 0xD800 && c <= 0xDFFF))
        classes |= T::kPrint;
    if (c >= u'0' && c <= u'9') classes |= T::kDigit | T::kXdigit;
    if ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')) classes |= T::kXdigit;
    char16_t lower = LowerUnit(c);
    char16_t upper = UpperUnit(c);
    if (lower != c) classes |= T::kUpper | T::kAlpha;
    if (upper != c || c == 0xDF) classes |= T::kLower | T::kAlpha;
    if (IsUncasedLetter(c)) classes |= T::kAlpha;
    if (IsPunctUnit(c)) classes |= T::kPunct;
    if (space && !IsLineSeparator(c)) classes |= T::kBlank;
    if (c > 0xFF) classes |= T::kUnicode;
    return classes;
}

}  // namespace

// Matching asks for the classes of every unit it tests against a class;
// those of the first 256 units are computed once.
uint32_t RegexUnitTraits::ClassesOf(char16_t c) {
    static const std::array<uint32_t, 256> kLatin1 = [] {
        std::array<uint32_t, 256> table{};
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = ComputeClasses(static_cast<char16_t>(i));
        return table;
    }();
    return c < kLatin1.size() ? kLatin1[c] : ComputeClasses(c);
}

bool RegexUnitTraits::isctype(char_type c, char_class_type mask) {
    uint32_t classes = ClassesOf(c);
    if (classes & mask & ~(kWord | kHorizontal | kVertical)) return true;
    if ((mask & kWord) && (c == u'_' || (classes & kAlnum))) return true;
    if ((mask & kVertical) && (IsLineSeparator(c) || c == 0x0B)) return true;
    if ((mask & kHorizontal) && (classes & kSpace) && !IsLineSeparator(c) && c != 0x0B) return true;
    return false;
}

RegexUnitTraits::char_class_type RegexUnitTraits::lookup_classname(const char_type* p1,
                                                                   const char_type* p2) {
    // Indexed by the library's class-name id plus one (0: unknown name).
    static const char_class_type masks[] = {
        0,           kAlnum, kAlpha,    kBlank,         kCntrl,         kDigit,  kDigit, kGraph,
        kHorizontal, kLower, kLower,    kPrint,         kPunct,         kSpace,  kSpace, kUpper,
        kUnicode,    kUpper, kVertical, kAlnum | kWord, kAlnum | kWord, kXdigit,
    };
    int id = boost::BOOST_REGEX_DETAIL_NS::get_default_class_id(p1, p2);
    if (id < 0) {
        string_type lowered(p1, p2);
        for (char16_t& c : lowered) c = LowerUnit(c);
        id = boost::BOOST_REGEX_DETAIL_NS::get_default_class_id(lowered.data(),
                                                                lowered.data() + lowered.size());
    }
    if (id < 0 || static_cast<size_t>(id) + 1 >= sizeof masks / sizeof masks[0]) return 0;
    return masks[id + 1];
}

RegexUnitTraits::string_type RegexUnitTraits::lookup_collatename(const char_type* p1,
                                                                 const char_type* p2) {
    std::string name;
    for (const char_type* p = p1; p != p2; ++p) {
        if (*p >= 0x80) return p2 - p1 == 1 ? string_type(p1, p2) : string_type();
        name += static_cast<char>(*p);
    }
    std::string found = boost::BOOST_REGEX_DETAIL_NS::lookup_default_collate_name(name);
    if (!found.empty()) return string_type(found.begin(), found.end());
    if (p2 - p1 == 1) return string_type(p1, p2);
    return string_type();
}

int RegexUnitTraits::value(char_type c, int radix) {
    int v;
    if (c >= u'0' && c <= u'9')
        v = c - u'0';
    else if (c >= u'a' && c <= u'z')
        v = c - u'a' + 10;
    else if (c >= u'A' && c <= u'Z')
        v = c - u'A' + 10;
    else
        return -1;
    return v < radix ? v : -1;
}

// ---- Adapter ------------------------------------------------------------

typedef boost::basic_regex<char16_t, RegexUnitTraits> UnitRegex;

struct RegexProgram {
    UnitRegex expression;
    boost::regex_constants::match_flag_type searchFlags;
};

namespace {

// Error codes are the library's error_type values; anything it throws
// without a code counts as "unknown".
int CodeOf(const boost::regex_error& e) {
    int code = static_cast<int>(e.code());
    return code == kRegOk || code == kRegNoMatch
               ? static_cast<int>(boost::regex_constants::error_unknown)
               : code;
}

}  // namespace

int RegexCompile(const char16_t* pattern, size_t length, int flags, RegexProgram** program) {
    namespace rc = boost::regex_constants;
    *program = nullptr;
    rc::syntax_option_type syntax = (flags & kRegExtended) ? rc::extended : rc::basic;
    if (flags & kRegNoCollate) syntax &= ~rc::collate;
    if (flags & kRegIgnoreCase) syntax |= rc::icase;
    if (flags & kRegEscapeInLists) syntax &= ~rc::no_escape_in_lists;
    static const char16_t kEmpty[] = u"";
    if (pattern == nullptr) pattern = kEmpty;
    try {
        std::unique_ptr<RegexProgram> compiled(new RegexProgram);
        compiled->searchFlags =
            (flags & kRegNewline) ? rc::match_not_dot_newline : rc::match_default;
        compiled->expression.assign(pattern, pattern + length, syntax);
        *program = compiled.release();
        return kRegOk;
    } catch (const boost::regex_error& e) {
        return CodeOf(e);
    } catch (const std::bad_alloc&) {
        return static_cast<int>(rc::error_space);
    } catch (...) {
        return static_cast<int>(rc::error_unknown);
    }
}

size_t RegexGroupCount(const RegexProgram* program) {
    return program != nullptr ? program->expression.mark_count() : 0;
}

int RegexExecute(const RegexProgram* program, const char16_t* text, size_t length,
                 int32_t* positions, size_t pairs) {
    namespace rc = boost::regex_constants;
    // Every byte 0xFF makes every position -1.
    memset(positions, 0xFF, 2 * pairs * sizeof(int32_t));
    if (program == nullptr) return kRegNoMatch;
    static const char16_t kEmpty[] = u"";
    if (text == nullptr) {
        text = kEmpty;
        length = 0;
    }
    try {
        boost::match_results<const char16_t*> m;
        if (!boost::regex_search(text, text + length, m, program->expression,
                                 program->searchFlags)) {
            return kRegNoMatch;
        }
        size_t n = m.size() < pairs ? m.size() : pairs;
        for (size_t i = 0; i < n; ++i) {
            if (!m[i].matched) continue;
            positions[2 * i] = static_cast<int32_t>(m[i].first - text);
            positions[2 * i + 1] = static_cast<int32_t>(m[i].second - text);
        }
        return kRegOk;
    } catch (const boost::regex_error& e) {
        return CodeOf(e);
    } catch (const std::bad_alloc&) {
        return static_cast<int>(rc::error_space);
    } catch (...) {
        return static_cast<int>(rc::error_unknown);
    }
}

const char* RegexErrorText(int code) {
    return boost::BOOST_REGEX_DETAIL_NS::get_default_error_string(
        static_cast<boost::regex_constants::error_type>(code));
}

void RegexFree(RegexProgram* program) { delete program; }

}  // namespace kelpo
