// Script strings: construction, ANSI conversion and ordering.
#include <cstring>
#include <string>

#include "runtime/gc.h"
#include "runtime/strings.h"
#include "tests/unit/test_support.h"

namespace kelpo {
namespace {

using test::ContextTest;

struct AnsiCase {
    std::u16string utf16;
    std::string ansi;  // what StringToAnsi gives
    bool roundTrips;   // NewStringFromAnsi(ansi) gives utf16 back
};

TEST_F(ContextTest, AnsiConversionTable) {
    const AnsiCase cases[] = {
        {u"plain text", "plain text", true},
        {u"caf\u00e9 \u20ac5",
         "caf\xe9 \x80"
         "5",
         true},
        {u"\u0160\u0178\u2122", "\x8a\x9f\x99", true},
        // Outside the code page: replaced, never best-fitted to a look-alike.
        {u"A\u0100B", "A?B", false},
        {u"\u4e2d", "?", false},
        {u"x\U0001F600y", "x??y", false},  // one '?' per unit, as on Windows
        {std::u16string(u"nul\0inside", 10), std::string("nul\0inside", 10), true},
    };
    for (const AnsiCase& c : cases) {
        Value s = NewString(ctx, c.utf16.data(), static_cast<uint32_t>(c.utf16.size()));
        char* ansi = StringToAnsi(ctx, s);
        EXPECT_EQ(std::string(ansi, c.ansi.size()), c.ansi);
        EXPECT_EQ(ansi[c.ansi.size()], '\0');
        ContextFree(ansi);
        if (c.roundTrips) {
            Value back = NewStringFromAnsi(ctx, c.ansi.data(), c.ansi.size());
            EXPECT_EQ(CompareStrings(back, s), 0) << c.ansi;
        }
    }
}

TEST_F(ContextTest, EmptyAnsiTextGivesEmptyStringWithoutBuffer) {
    Value cases[] = {NewStringFromAnsi(ctx, "", 0), NewStringFromAnsi(ctx, nullptr, 5),
                     NewString(ctx, nullptr, 0)};
    for (const Value& v : cases) {
        ASSERT_EQ(v.tag, ValueTag::String);
        EXPECT_EQ(v.string->length, 0u);
        EXPECT_EQ(v.string->chars, nullptr);
        EXPECT_FALSE(IsStaticString(v.string));
    }
    char* ansi = StringToAnsi(ctx, cases[0]);
    EXPECT_STREQ(ansi, "");
    ContextFree(ansi);
}

TEST_F(ContextTest, StaticStringsReferToCallerText) {
    static const char16_t kText[] = u"literal";
    Value s = NewStaticString(ctx, kText, 7);
    EXPECT_TRUE(IsStaticString(s.string));
    EXPECT_EQ(s.string->chars, kText);
    EXPECT_EQ(s.string->props, nullptr);
}

TEST_F(ContextTest, NewStringCopiesOrLeavesRoomToFill) {
    char16_t text[] = u"abc";
    Value copy = NewString(ctx, text, 3);
    text[0] = u'z';
    EXPECT_EQ(copy.string->chars[0], u'a');
    Value room = NewString(ctx, nullptr, 4);
    EXPECT_EQ(room.string->length, 4u);
    ASSERT_NE(room.string->chars, nullptr);
    EXPECT_GE(GcBlockSize(room.string->chars), 8u);
}

TEST_F(ContextTest, CompareStringsOrdersByUnsignedCodeUnits) {
    struct Case {
        std::u16string a, b;
        int expected;
    } cases[] = {
        {u"", u"", 0},
        {u"abc", u"abc", 0},
        {u"abc", u"abd", -1},
        {u"abd", u"abc", 1},
        {u"ab", u"abc", -1},  // a prefix is smaller
        {u"abc", u"ab", 1},
        {u"", u"a", -1},
        {u"Z", u"a", -1},      // code units, not collation
        {u"\uffff", u"a", 1},  // unsigned: 0xFFFF is large
        {std::u16string(u"a\0b", 3), std::u16string(u"a\0c", 3), -1},
    };
    for (const Case& c : cases) {
        Value a = NewString(ctx, c.a.data(), static_cast<uint32_t>(c.a.size()));
        Value b = NewString(ctx, c.b.data(), static_cast<uint32_t>(c.b.size()));
        EXPECT_EQ(CompareStrings(a, b), c.expected) << test::Utf8(a) << " vs " << test::Utf8(b);
    }
}

}  // namespace
}  // namespace kelpo
