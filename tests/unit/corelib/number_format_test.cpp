// n.format(fmt): the directive accepted per number kind, literal copies of
// every other directive, and the 255-unit limit.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "corelib/number_format.h"
#include "runtime/value.h"
#include "tests/unit/test_support.h"

namespace kelpo {
namespace {

class NumberFormatTest : public test::ContextTest {
protected:
    std::string Format(const Value& number, const std::string& format) {
        std::u16string wide(format.begin(), format.end());
        std::string result;
        EXPECT_TRUE(Run([&] {
            TextBuffer out(ctx);
            FormatNumber(number, wide.data(), static_cast<uint32_t>(wide.size()), &out);
            for (size_t i = 0; i < out.size(); ++i) result += static_cast<char>(out.data()[i]);
        }));
        return result;
    }
};

struct FormatCase {
    bool integer;
    double number;
    const char* format;
    const char* expected;
};

const FormatCase kCases[] = {
    {true, 42, "%d", "42"},
    {true, 42, "[%-6i]", "[42    ]"},
    {true, -1, "%llu", "18446744073709551615"},
    {true, 255, "%#o %x", "0377 %x"},
    {true, 7, "%#d", "7"},
    {true, 7, "% d|%+d", " 7|%+d"},
    {true, 42, "%e", "%e"},
    {true, 42, "%s%s%s%n", "%s%s%s%n"},
    {true, 42, "%.*d", "%.*d"},
    {true, 42, "%", "%"},
    {true, 42, "%%d", "%d"},
    {true, 42, "%-", "%-"},
    {true, 42, "%hhd", "42"},
    {true, 42, "%I64x", "2a"},
    {false, 1.5, "%.2f%%", "1.50%"},
    {false, 1e6, "%g", "1e+06"},
    {false, HUGE_VAL, "%g", "inf"},
    {false, -HUGE_VAL, "%e", "-inf"},
    {false, 1.5, "%d%f", "%d1.500000"},
    {false, 1.5, "%lf", "1.500000"},
    {false, 1.5, "%x", "%x"},
};

TEST_F(NumberFormatTest, DirectivesByKind) {
    for (const FormatCase& c : kCases) {
        SCOPED_TRACE(c.format);
        Value n = c.integer ? MakeInteger(static_cast<int64_t>(c.number)) : MakeFloat(c.number);
        EXPECT_EQ(Format(n, c.format), c.expected);
    }
}

TEST_F(NumberFormatTest, ResultsStopAt255Units) {
    const std::string longText(1000, 'x');
    const struct {
        Value number;
        std::string format;
    } cases[] = {
        {MakeInteger(1), "%2147483648d"},
        {MakeInteger(1), "%0999999999999999999999.999999999999999d"},
        {MakeFloat(1e308), "%.300f"},
        {MakeFloat(1e308), "%300.300e"},
        {MakeInteger(1), longText + "%d"},
        {MakeInteger(1), "%d" + longText},
        {MakeInteger(1), std::string(300, '%')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format.substr(0, 40));
        std::string text = Format(c.number, c.format);
        EXPECT_LE(text.size(), kNumberFormatLimit);
    }
    EXPECT_EQ(Format(MakeInteger(1), "%300d").size(), 255u);
    EXPECT_EQ(Format(MakeInteger(1), "%300d").back(), '1');
}

}  // namespace
}  // namespace kelpo
