// The regular-expression adapter: flags, positions in UTF-16 units,
// groups that do not take part, error codes and texts, and the library's
// limits turning into results instead of crashes or endless searches.
#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "corelib/regex_engine.h"

namespace kelpo {
namespace {

// The flags the RegExp constructor and literals use, and compile()'s.
constexpr int kConstructor = kRegExtended | kRegNoCollate | kRegEscapeInLists;
constexpr int kCompile = kRegExtended;

// Runs a pattern on a text and renders the result as "code: (s,e) (s,e)"
// for the first `pairs` groups.
std::string Search(const std::u16string& pattern, int flags, const std::u16string& text,
                   size_t pairs = 3) {
    RegexProgram* program = nullptr;
    int code = RegexCompile(pattern.data(), pattern.size(), flags, &program);
    if (code != kRegOk) {
        EXPECT_EQ(program, nullptr);
        return "compile " + std::to_string(code);
    }
    int32_t positions[2 * kRegMaxGroups];
    int result = RegexExecute(program, text.data(), text.size(), positions, pairs);
    RegexFree(program);
    std::string out = std::to_string(result) + ":";
    for (size_t i = 0; i < pairs; ++i) {
        out += " (" + std::to_string(positions[2 * i]) + "," +
               std::to_string(positions[2 * i + 1]) + ")";
    }
    return out;
}

struct Case {
    const char16_t* pattern;
    int flags;
    const char16_t* text;
    const char* expected;
};

TEST(RegexEngine, SearchesReportUtf16PositionsAndGroups) {
    const Case cases[] = {
        {u"b+", kConstructor, u"abbbc", "0: (1,4) (-1,-1) (-1,-1)"},
        {u"(\\d+)-(\\d+)", kConstructor, u"x12-345y", "0: (1,7) (1,3) (4,7)"},
        {u"q", kConstructor, u"abc", "1: (-1,-1) (-1,-1) (-1,-1)"},
        // Groups that do not take part are -1, later ones still count.
        {u"(a)|(b)", kConstructor, u"b", "0: (0,1) (-1,-1) (0,1)"},
        {u"(a)(x)?(c)", kConstructor, u"ac", "0: (0,2) (0,1) (-1,-1)"},
        // Leftmost-longest, as the POSIX interface matches.
        {u"a|ab", kConstructor, u"abc", "0: (0,2) (-1,-1) (-1,-1)"},
        // A surrogate pair is two units.
        {u"b", kConstructor,
         u"\xD83D\xDE00"
         u"ab",
         "0: (3,4) (-1,-1) (-1,-1)"},
        {u".", kConstructor, u"\xD83D\xDE00", "0: (0,1) (-1,-1) (-1,-1)"},
        // Case folding covers letters beyond ASCII.
        {u"\u00E9+", kConstructor | kRegIgnoreCase, u"x\u00C9\u00E9", "0: (1,3) (-1,-1) (-1,-1)"},
        {u"\u0436", kConstructor | kRegIgnoreCase, u"\u0416", "0: (0,1) (-1,-1) (-1,-1)"},
        {u"abc", kConstructor, u"ABC", "1: (-1,-1) (-1,-1) (-1,-1)"},
        {u"abc", kConstructor | kRegIgnoreCase, u"xABC", "0: (1,4) (-1,-1) (-1,-1)"},
        // kRegNewline keeps '.' off line ends; '^' and '$' work per line.
        {u"a.c", kConstructor, u"a\nc", "0: (0,3) (-1,-1) (-1,-1)"},
        {u"a.c", kConstructor | kRegNewline, u"a\nc", "1: (-1,-1) (-1,-1) (-1,-1)"},
        {u"^c", kConstructor, u"ab\nc", "0: (3,4) (-1,-1) (-1,-1)"},
        {u"b$", kConstructor, u"ab\nc", "0: (1,2) (-1,-1) (-1,-1)"},
        // Class shortcuts, word boundaries, escapes.
        {u"\\w+\\s\\w+", kConstructor, u"h\u00E9llo w\u00F6rld!", "0: (0,11) (-1,-1) (-1,-1)"},
        {u"\\bfoo\\b", kConstructor, u"afoo foo", "0: (5,8) (-1,-1) (-1,-1)"},
        {u"\\n\\t", kConstructor, u"x\n\ty", "0: (1,3) (-1,-1) (-1,-1)"},
        {u"[[:upper:]]+", kConstructor, u"ab\u00C0\u0100Cd", "0: (2,5) (-1,-1) (-1,-1)"},
        // Escapes inside brackets only with kRegEscapeInLists.
        {u"[\\]]+", kConstructor, u"a]\\]", "0: (1,2) (-1,-1) (-1,-1)"},
        {u"[\\]]+", kCompile, u"a]\\]", "0: (2,4) (-1,-1) (-1,-1)"},
        // Empty text and empty matches.
        {u"x*", kConstructor, u"", "0: (0,0) (-1,-1) (-1,-1)"},
        {u"^", kConstructor, u"abc", "0: (0,0) (-1,-1) (-1,-1)"},
        {u"$", kConstructor, u"ab", "0: (2,2) (-1,-1) (-1,-1)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Search(c.pattern, c.flags, c.text), c.expected)
            << "pattern of " << std::u16string(c.pattern).size() << " units, flags " << c.flags;
    }
}

TEST(RegexEngine, BadPatternsGiveTheLibraryErrorText) {
    struct Bad {
        const char16_t* pattern;
        const char* text;
    } cases[] = {
        {u"(ab", "Unmatched marking parenthesis ( or \\(."},
        {u"[z-a]", "Invalid character class name, collating name, or character range."},
        {u"a{2,1}", "Invalid content of repeat range."},
        {u"ab\\", "Invalid or unterminated escape sequence."},
        {u"[ab", "Unmatched [ or [^ in character class declaration."},
        {u"*a", "Invalid preceding regular expression prior to repetition operator."},
        {u"(?:a)", "Invalid preceding regular expression prior to repetition operator."},
    };
    for (const Bad& b : cases) {
        std::u16string p(b.pattern);
        RegexProgram* program = reinterpret_cast<RegexProgram*>(1);
        int code = RegexCompile(p.data(), p.size(), kConstructor, &program);
        EXPECT_NE(code, kRegOk);
        EXPECT_NE(code, kRegNoMatch);
        EXPECT_EQ(program, nullptr);
        EXPECT_STREQ(RegexErrorText(code), b.text) << b.text;
    }
    EXPECT_STREQ(RegexErrorText(kRegNoMatch), "No match");
    EXPECT_STREQ(RegexErrorText(9999), "Unknown error.");
}

TEST(RegexEngine, GroupCountAndThePairLimit) {
    std::u16string many, text;
    for (int i = 0; i < 300; ++i) {
        many += u"(b)";
        text += u"b";
    }
    RegexProgram* program = nullptr;
    ASSERT_EQ(RegexCompile(many.data(), many.size(), kConstructor, &program), kRegOk);
    EXPECT_EQ(RegexGroupCount(program), 300u);
    int32_t positions[2 * kRegMaxGroups + 2];
    positions[2 * kRegMaxGroups] = 12345;  // guard beyond the pairs asked for
    ASSERT_EQ(RegexExecute(program, text.data(), text.size(), positions, kRegMaxGroups), kRegOk);
    EXPECT_EQ(positions[0], 0);
    EXPECT_EQ(positions[1], 300);
    EXPECT_EQ(positions[2 * 255], 254);
    EXPECT_EQ(positions[2 * 255 + 1], 255);
    EXPECT_EQ(positions[2 * kRegMaxGroups], 12345);
    RegexFree(program);
}

TEST(RegexEngine, NullTextAndNullProgramAreHarmless) {
    int32_t positions[4] = {7, 7, 7, 7};
    EXPECT_EQ(RegexExecute(nullptr, u"a", 1, positions, 2), kRegNoMatch);
    EXPECT_EQ(positions[0], -1);
    RegexProgram* program = nullptr;
    ASSERT_EQ(RegexCompile(u"x*", 2, kConstructor, &program), kRegOk);
    EXPECT_EQ(RegexExecute(program, nullptr, 0, positions, 2), kRegOk);
    EXPECT_EQ(positions[0], 0);
    EXPECT_EQ(positions[1], 0);
    RegexFree(program);
    RegexFree(nullptr);
}

// Patterns that explode are abandoned with an error code, promptly.
TEST(RegexEngine, CatastrophicPatternsAreAbandonedNotHung) {
    struct Heavy {
        const char16_t* pattern;
        std::u16string text;
    } cases[] = {
        {u"(a*)*b", std::u16string(30, u'a') + u"!b"},
        {u"(a|aa)+$", std::u16string(60, u'a') + u"!"},
        {u"(x+x+)+y", std::u16string(80, u'x')},
        {u"(.*)*x", std::u16string(5000, u'a')},
        {u"(a|b)*", std::u16string(1000000, u'a')},
    };
    for (const Heavy& h : cases) {
        auto start = std::chrono::steady_clock::now();
        std::string result = Search(h.pattern, kConstructor, h.text, 1);
        auto seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_NE(result.substr(0, 2), "0:") << result;
        EXPECT_NE(result.substr(0, 2), "1:") << result;
        EXPECT_LT(seconds, 20.0);
    }
}

TEST(RegexEngine, HugeAndDeepPatternsNeverCrash) {
    EXPECT_EQ(Search(u"a{1000000000}", kConstructor, u"aaa", 1), "1: (-1,-1)");
    EXPECT_EQ(Search(u"a{2,1000000000}", kConstructor, u"xaaay", 1), "0: (1,4)");
    std::u16string deep(100000, u'(');
    deep += u"a";
    deep += std::u16string(100000, u')');
    RegexProgram* program = nullptr;
    int code = RegexCompile(deep.data(), deep.size(), kConstructor, &program);
    EXPECT_NE(code, kRegOk);
    EXPECT_EQ(program, nullptr);
    // A long alternation compiles and searches.
    std::u16string wide;
    for (int i = 0; i < 5000; ++i) wide += u"abc|";
    wide += u"z";
    EXPECT_EQ(Search(wide, kConstructor, u"xxz", 1), "0: (2,3)");
}

}  // namespace
}  // namespace kelpo
