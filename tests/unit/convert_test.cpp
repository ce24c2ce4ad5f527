// Conversions: ToBoolean, ToNumber, ParseNumberText, ToInt32/ToInt64,
// ToPrimitive, ToString (with the array text), ToObject and typeof.
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/convert.h"
#include "runtime/function.h"
#include "runtime/native.h"
#include "runtime/object.h"
#include "runtime/strings.h"
#include "tests/unit/test_support.h"
#include "tests/unit/value_cases.h"

namespace kelpo {
namespace {

using namespace std::string_literals;
using test::Bool;
using test::ContextTest;
using test::Flt;
using test::Int;
using test::Lit;
using test::Make;
using test::Matches;
using test::NaNLit;
using test::Nul;
using test::RawTag;
using test::Str;
using test::Undef;
using test::Utf8;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kQuietNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int64_t kMax = INT64_MAX;
constexpr int64_t kMin = INT64_MIN;
constexpr const char* kNotPrimitive = "Runtime error: Can't convert to primitive type";

// ---- Test classes -----------------------------------------------------------

// A host class whose answers to toString and valueOf the test chooses.
struct ThingAnswers {
    bool answersToString;
    Value toStringResult;
    bool answersValueOf;
    bool valueOfIsSelf;  // answer the instance itself, as host classes do
    Value valueOfResult;
    Value self;
};

int ThingInvoke(ScriptContext* context, NativeClass*, void* data, Atom method, Value* out,
                Value* args) {
    auto* answers = static_cast<ThingAnswers*>(data);
    EXPECT_EQ(args[0].tag, ValueTag::Integer);
    EXPECT_EQ(args[0].integer, 0);
    if (method == kAtomToString && answers->answersToString) {
        *out = answers->toStringResult;
        return 1;
    }
    if (method == kAtomValueOf && answers->answersValueOf) {
        *out = answers->valueOfIsSelf ? answers->self : answers->valueOfResult;
        return 1;
    }
    return 0;
}

// The Object class for these tests: an object's own slots "ts" and "vo"
// are what its toString and valueOf answer; without them toString answers
// "[object Object]" and valueOf the object itself, unless the slots
// "noTs" / "noVo" exist, which make the method unknown.
int TestObjectInvoke(ScriptContext* context, NativeClass*, void* data, Atom method, Value* out,
                     Value*) {
    const Value self = *static_cast<Value*>(data);
    ScriptObject* o = self.object;
    Value found;
    if (method == kAtomToString) {
        if (GetProperty(context, o, InternAtom(context, "ts"), &found)) {
            *out = found;
            return 1;
        }
        if (GetProperty(context, o, InternAtom(context, "noTs"), &found)) return 0;
        *out = NewStringFromCString(context, "[object Object]");
        return 1;
    }
    if (method == kAtomValueOf) {
        if (GetProperty(context, o, InternAtom(context, "vo"), &found)) {
            *out = found;
            return 1;
        }
        if (GetProperty(context, o, InternAtom(context, "noVo"), &found)) return 0;
        *out = self;
        return 1;
    }
    return 0;
}

class ConvertTest : public ContextTest {
protected:
    void SetUp() override {
        ContextTest::SetUp();
        objectClass = NewNativeClass(ctx);
        objectClass->invoke = TestObjectInvoke;
        ctx->classForTag[static_cast<int>(ValueTag::Object)] = objectClass;
        thingClass = NewNativeClass(ctx);
        thingClass->invoke = ThingInvoke;
    }

    Value S(const std::u16string& text) { return Make(ctx, Str(text)); }

    // An object with the given own slots.
    Value Obj(std::initializer_list<std::pair<const char*, Value>> slots) {
        ScriptObject* o = NewObject(ctx);
        for (const auto& slot : slots)
            PutProperty(ctx, o, InternAtom(ctx, slot.first), slot.second);
        return MakeObject(o);
    }

    Value Thing(ThingAnswers* answers) {
        Value v = BindNative(ctx, thingClass, answers);
        answers->self = v;
        return v;
    }

    Value Arr(std::initializer_list<Value> elements) {
        Value a = NewArray(ctx, elements.size());
        uint64_t i = 0;
        for (const Value& e : elements) ArraySet(ctx, a, e, i++);
        return a;
    }

    // Runs body; expects it to raise with the given text.
    template <class Body>
    void ExpectRaise(const char* text, Body&& body) {
        EXPECT_FALSE(Run(body));
        EXPECT_STREQ(ctx->errorText, text);
    }

    NativeClass* objectClass = nullptr;
    NativeClass* thingClass = nullptr;
};

// ---- ToBoolean ----------------------------------------------------------------

TEST_F(ConvertTest, ToBooleanByTag) {
    struct Case {
        Lit value;
        int expected;
    };
    const Case cases[] = {
        {Undef(), 0},   {Nul(), 0},         {Bool(true), 1},    {Bool(false), 0},
        {Int(0), 0},    {Int(-1), 1},       {Int(kMin), 1},     {Flt(0.0), 0},
        {Flt(-0.0), 0}, {Flt(0.5), 1},      {Flt(-kInf), 1},    {Flt(kQuietNaN), 1},
        {Str(u""), 0},  {Str(u"0"), 1},     {Str(u"false"), 1}, {Str(u"\0"s), 1},
        {NaNLit(), 0},  {RawTag(10, 3), 0}, {RawTag(8), 0},     {RawTag(9), 0},
    };
    for (const Case& c : cases) {
        Value v = Make(ctx, c.value);
        EXPECT_EQ(ToBoolean(ctx, v), c.expected) << test::Describe(v);
    }
    ThingAnswers none{};
    const Value references[] = {NewArray(ctx, 0), Obj({}), NewFunctionValue(ctx, nullptr),
                                Thing(&none)};
    for (const Value& v : references) EXPECT_EQ(ToBoolean(ctx, v), 1) << test::Describe(v);
}

// ---- ToNumber -------------------------------------------------------------------

TEST_F(ConvertTest, ToNumberOfText) {
    struct Case {
        std::u16string text;
        Lit expected;
    };
    const Case cases[] = {
        // Integer prefixes: characters after the number are ignored.
        {u"12px", Int(12)},
        {u"0x1F", Int(31)},
        {u"0X1f", Int(31)},
        {u"010", Int(8)},
        {u"08", Int(0)},
        {u"", Int(0)},
        {u"  -42  ", Int(-42)},
        {u"+7", Int(7)},
        {u"- 5", Int(-5)},
        {u"\t\r\n 12", Int(12)},
        {u"1 2", Int(1)},
        {u"-0", Int(0)},
        {u"0x1p3", Int(1)},
        // A point or an exponent letter after the digits: a decimal Float.
        {u"0.5", Flt(0.5)},
        {u"1e3", Flt(1000.0)},
        {u"1d2", Flt(100.0)},
        {u"1D-2", Flt(0.01)},
        {u"5.", Flt(5.0)},
        {u"1e", Flt(1.0)},
        {u"1e+", Flt(1.0)},
        {u"010.5", Flt(10.5)},
        {u"0e5", Flt(0.0)},
        {u"-0.0", Flt(-0.0)},
        {u"- 5.5", Flt(-5.5)},
        {u"0.1", Flt(0.1)},
        // Without integer digits the decimal conversion decides.
        {u".5", Flt(0.5)},
        {u"-.5e1", Flt(-5.0)},
        {u"0x", Flt(0.0)},
        {u"abc", NaNLit()},
        {u".", NaNLit()},
        {u"-", NaNLit()},
        {u"e5", NaNLit()},
        {u"   ", NaNLit()},
        // Runtime-library spellings are not number syntax here.
        {u"inf", NaNLit()},
        {u"Infinity", NaNLit()},
        {u"nan", NaNLit()},
        // Hexadecimal digits end at the point: no hexadecimal fractions.
        {u"0x1F.5", Int(31)},
        // The 64-bit edges, and overflow into a Float.
        {u"9223372036854775807", Int(kMax)},
        {u"-9223372036854775808", Int(kMin)},
        {u"9223372036854775808", Flt(9223372036854775808.0)},
        {u"-9223372036854775809", Flt(-9223372036854775808.0)},
        // An overflowing digit run still takes its fraction and exponent.
        {u"99999999999999999999e-10", Flt(1e10)},
        {u"1e400", Flt(kInf)},
        {u"-1e400", Flt(-kInf)},
        {u"1e-400", Flt(0.0)},
        {u"1e99999999999999999999", Flt(kInf)},
        // Correct rounding of decimal text, ties to even.
        {u"9007199254740993", Int(9007199254740993)},
        {u"9007199254740993.0", Flt(9007199254740992.0)},
        {u"9007199254740995.0", Flt(9007199254740996.0)},
        {u"2.2250738585072011e-308", Flt(2.2250738585072011e-308)},
        {u"4.9e-324", Flt(4.9e-324)},
        {u"1.7976931348623157e308", Flt(1.7976931348623157e308)},
        // Embedded NUL: the text ends there.
        {u"12\0 34"s, Int(12)},
        {u"\0"
         u"12"s,
         NaNLit()},
        {u"1.5\0"
         u"e3"s,
         Flt(1.5)},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(Matches(ctx, c.expected, ToNumber(ctx, S(c.text)))) << Utf8(S(c.text));
    }
}

TEST_F(ConvertTest, ToNumberOfLongDecimalText) {
    // Far more digits than a double holds: the value still rounds correctly,
    // including the digits beyond those that are kept.
    const std::u16string tie = u"9007199254740993" + std::u16string(800, u'0');
    struct Case {
        std::u16string text;
        double expected;
    };
    const Case cases[] = {
        {u"1" + std::u16string(400, u'0') + u"e-400", 1.0},
        {u"0." + std::u16string(400, u'0') + u"1e401", 1.0},
        {tie + u"e-800", 9007199254740992.0},
        {tie + u"1e-801", 9007199254740994.0},
        {u"1" + std::u16string(400, u'0'), kInf},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(Matches(ctx, Flt(c.expected), ToNumber(ctx, S(c.text)))) << c.text.size();
    }
}

TEST_F(ConvertTest, ToNumberByTag) {
    struct Case {
        Lit value;
        Lit expected;
    };
    const Case cases[] = {
        {Nul(), Int(0)},        {Bool(true), Int(1)},   {Bool(false), Int(0)},
        {Int(kMin), Int(kMin)}, {Flt(-0.0), Flt(-0.0)}, {Flt(kInf), Flt(kInf)},
        {NaNLit(), NaNLit()},   {Undef(), NaNLit()},    {RawTag(10, 1), NaNLit()},
        {RawTag(8), NaNLit()},  {RawTag(9), NaNLit()},
    };
    for (const Case& c : cases) {
        Value v = Make(ctx, c.value);
        EXPECT_TRUE(Matches(ctx, c.expected, ToNumber(ctx, v))) << test::Describe(v);
    }
}

TEST_F(ConvertTest, ToNumberOfReferencesGoesThroughTheirPrimitive) {
    ThingAnswers seven{true, S(u"[object Thing]"), true, false, MakeInteger(7), {}};
    ThingAnswers selfValue{true, S(u"[object Thing]"), true, true, {}, {}};
    ThingAnswers textOnly{true, S(u"2.5"), false, false, {}, {}};
    struct Case {
        Value value;
        Lit expected;
    };
    const Case cases[] = {
        {NewArray(ctx, 0), Int(0)},                       // "" is 0
        {Arr({MakeInteger(5)}), Int(5)},                  // "5"
        {Arr({MakeInteger(1), MakeInteger(2)}), Int(1)},  // "1,2": the prefix
        {Arr({S(u"x")}), NaNLit()},
        {NewFunctionValue(ctx, nullptr), NaNLit()},  // "[object Function]"
        {Thing(&seven), Int(7)},                     // valueOf
        {Thing(&selfValue), NaNLit()},               // valueOf is itself: its text
        {Thing(&textOnly), Flt(2.5)},                // no valueOf: its text
        {Obj({{"vo", S(u"0x10")}}), Int(16)},
        {Obj({{"vo", MakeBoolean(true)}}), Int(1)},
        {Obj({}), NaNLit()},  // "[object Object]"
        {Obj({{"ts", S(u"42")}}), Int(42)},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(Matches(ctx, c.expected, ToNumber(ctx, c.value))) << test::Describe(c.value);
    }
}

// ---- ParseNumberText -----------------------------------------------------------

TEST_F(ConvertTest, ParseNumberTextTable) {
    struct Case {
        std::u16string text;
        int radix;
        int result;
        int64_t integer;
        double number;
        size_t consumed;
    };
    const Case cases[] = {
        {u"ff", 16, 1, 255, 255.0, 2},
        {u"0xff", 16, 1, 255, 255.0, 4},
        {u"0xff", 10, 1, 0, 0.0, 1},
        {u"0xff", 0, 1, 255, 255.0, 4},
        {u"z", 36, 1, 35, 35.0, 1},
        {u"Zz", 36, 1, 35 * 36 + 35, 1295.0, 2},
        {u"12", 2, 1, 1, 1.0, 1},
        {u"777", 8, 1, 511, 511.0, 3},
        {u"0777", 0, 1, 511, 511.0, 4},
        {u" - 12x", 10, 1, -12, -12.0, 5},
        {u"-0", 10, 1, 0, -0.0, 2},
        // No digits: nothing consumed.
        {u"", 10, 0, 0, 0.0, 0},
        {u"  ", 10, 0, 0, 0.0, 0},
        {u" -x", 10, 0, 0, 0.0, 0},
        {u"0x", 0, 0, 0, 0.0, 0},
        {u"g", 16, 0, 0, 0.0, 0},
        // Unusual radixes never crash: 1 reads only zeros, a negative radix
        // reads nothing, a radix above 36 takes every letter.
        {u"0010", 1, 1, 0, 0.0, 2},
        {u"12", -5, 0, 0, 0.0, 0},
        {u"zz", 100, 1, 3535, 3535.0, 2},
        // The 64-bit edges in radixes 10 and 16.
        {u"9223372036854775807", 10, 1, kMax, 9223372036854775807.0, 19},
        {u"-9223372036854775808", 10, 1, kMin, -9223372036854775808.0, 20},
        {u"7fffffffffffffff", 16, 1, kMax, 9223372036854775807.0, 16},
        {u"-8000000000000000", 16, 1, kMin, -9223372036854775808.0, 17},
    };
    for (const Case& c : cases) {
        const char16_t* end = nullptr;
        double number = -1.0;
        int64_t integer = -1;
        int result = ParseNumberText(ctx, c.text.c_str(), &end, c.radix, &number, &integer);
        SCOPED_TRACE(Utf8(S(c.text)) + " radix " + std::to_string(c.radix));
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(integer, c.integer);
        EXPECT_TRUE(Matches(ctx, Flt(c.number), MakeFloat(number)));
        EXPECT_EQ(static_cast<size_t>(end - c.text.c_str()), c.consumed);
    }
}

TEST_F(ConvertTest, ParseNumberTextOverflowRoundsExactly) {
    const std::u16string ones64(64, u'1');
    // 2^64 + 2^11 in binary: exactly halfway between two doubles.
    const std::u16string binaryTie =
        u"1" + std::u16string(52, u'0') + u"1" + std::u16string(11, u'0');
    struct Case {
        std::u16string text;
        int radix;
        double expected;
    };
    const Case cases[] = {
        // Radix 10.
        {u"9223372036854775808", 10, 9223372036854775808.0},
        {u"18446744073709551617", 10, 18446744073709551616.0},
        {u"123456789012345678901234567890", 10, 1.2345678901234568e+29},
        {u"-99999999999999999999", 10, -1e20},
        {u"1" + std::u16string(400, u'0'), 10, kInf},
        {u"-1" + std::u16string(400, u'0'), 10, -kInf},
        // Radix 16: halfway cases go to the even neighbour.
        {u"10000000000000800", 16, 18446744073709551616.0},  // tie, down to even
        {u"10000000000001800", 16, 18446744073709559808.0},  // tie, up to even
        {u"10000000000000801", 16, 18446744073709555712.0},  // above half
        {u"0xFFFFFFFFFFFFFFFF", 16, 18446744073709551616.0},
        {u"0x" + std::u16string(300, u'f'), 0, kInf},
        // Radix 2.
        {ones64, 2, 18446744073709551616.0},
        {binaryTie, 2, 18446744073709551616.0},
        {u"1" + std::u16string(51, u'0') + u"11" + std::u16string(11, u'0'), 2,
         18446744073709559808.0},
        // Radix 36.
        {u"zzzzzzzzzzzzzzzzzzzz", 36, 1.3367494538843734e+31},
        {u"-zzzzzzzzzzzzzzzzzzzz", 36, -1.3367494538843734e+31},
    };
    for (const Case& c : cases) {
        const char16_t* end = nullptr;
        double number = 0.0;
        int64_t integer = -1;
        int result = ParseNumberText(ctx, c.text.c_str(), &end, c.radix, &number, &integer);
        SCOPED_TRACE(Utf8(S(c.text)) + " radix " + std::to_string(c.radix));
        EXPECT_EQ(result, 2);
        EXPECT_TRUE(Matches(ctx, Flt(c.expected), MakeFloat(number)));
        EXPECT_EQ(static_cast<size_t>(end - c.text.c_str()), c.text.size());
    }
}

TEST_F(ConvertTest, ParseDecimalTextConsumesOnlyItsSyntax) {
    struct Case {
        std::u16string text;
        bool ok;
        double value;
        size_t consumed;
    };
    const Case cases[] = {
        {u"  -1.5e3x", true, -1500.0, 8}, {u"1d+2", true, 100.0, 4}, {u"2E", true, 2.0, 1},
        {u".5.", true, 0.5, 2},           {u"+.e1", false, 0.0, 0},  {u"0x10", true, 0.0, 1},
        {u"inf", false, 0.0, 0},          {u"- 1", false, 0.0, 0},   {u"1e-9999", true, 0.0, 7},
    };
    for (const Case& c : cases) {
        const char16_t* end = nullptr;
        double value = -1.0;
        EXPECT_EQ(ParseDecimalText(c.text.c_str(), &end, &value), c.ok) << Utf8(S(c.text));
        EXPECT_EQ(value, c.value) << Utf8(S(c.text));
        EXPECT_EQ(static_cast<size_t>(end - c.text.c_str()), c.consumed) << Utf8(S(c.text));
    }
}

// ---- ToInt32 / ToInt64 -----------------------------------------------------------

TEST_F(ConvertTest, ToInt32AndToInt64) {
    struct Case {
        Lit value;
        int32_t int32;
        int64_t int64;
    };
    const Case cases[] = {
        {Int(0x100000005), 5, 0x100000005},
        {Int(0x80000000), INT32_MIN, 0x80000000},
        {Int(-1), -1, -1},
        {Int(kMin), 0, kMin},
        {Flt(3.9), 3, 3},
        {Flt(-3.9), -3, -3},
        {Flt(-0.0), 0, 0},
        {Flt(3e9), -1294967296, 3000000000},
        {Flt(kInf), 0, 0},
        {Flt(-kInf), 0, 0},
        {Flt(kQuietNaN), 0, 0},
        // Beyond 64 bits the truncation wraps modulo 2^64.
        {Flt(9223372036854775808.0), 0, kMin},
        {Flt(-9223372036854775808.0), 0, kMin},
        {Flt(1e19), static_cast<int32_t>(0x89E80000), -8446744073709551616},
        {Flt(-1e19), 0x76180000, 8446744073709551616},
        {Flt(18446744073709555712.0), 4096, 4096},
        {Flt(1e300), 0, 0},
        {NaNLit(), 0, 0},
        {Undef(), 0, 0},
        {Nul(), 0, 0},
        {Bool(true), 1, 1},
        {Str(u"12px"), 12, 12},
        {Str(u"-2.5"), -2, -2},
        {Str(u"0xffffffff"), -1, 0xffffffff},
        {Str(u"abc"), 0, 0},
    };
    for (const Case& c : cases) {
        Value v = Make(ctx, c.value);
        EXPECT_EQ(ToInt32(ctx, v), c.int32) << test::Describe(v);
        EXPECT_EQ(ToInt64(ctx, v), c.int64) << test::Describe(v);
    }
}

// ---- ToString ------------------------------------------------------------------

TEST_F(ConvertTest, ToStringOfPrimitives) {
    struct Case {
        Lit value;
        std::u16string text;
        bool isStatic;
    };
    const Case cases[] = {
        {Undef(), u"undefined", true},
        {Nul(), u"undefined", true},
        {Bool(true), u"true", true},
        {Bool(false), u"false", true},
        {Int(0), u"0", false},
        {Int(-5), u"-5", false},
        {Int(kMax), u"9223372036854775807", false},
        {Int(kMin), u"-9223372036854775808", false},
        {Flt(0.1), u"0.1", false},
        {Flt(2.0), u"2", false},
        {Flt(123456.0), u"123456", false},
        {Flt(1234567.0), u"1.23457e+06", false},
        {Flt(1234565.0), u"1.23456e+06", false},  // exact tie: to even
        {Flt(1e6), u"1e+06", false},
        {Flt(1e-5), u"1e-05", false},
        {Flt(0.0001), u"0.0001", false},
        {Flt(1e300), u"1e+300", false},
        {Flt(-0.0), u"-0", false},
        {Flt(kInf), u"inf", false},
        {Flt(-kInf), u"-inf", false},
        {Flt(kQuietNaN), u"NaN", false},
        {Flt(-kQuietNaN), u"NaN", false},
        {NaNLit(), u"NaN", false},
        {RawTag(8), u"unknown", true},
        {RawTag(9), u"unknown", true},
        {RawTag(14), u"unknown", true},
        {RawTag(-1), u"unknown", true},
        {RawTag(99), u"unknown", true},
    };
    for (const Case& c : cases) {
        Value v = Make(ctx, c.value);
        Value s = ToString(ctx, v);
        ASSERT_EQ(s.tag, ValueTag::String) << test::Describe(v);
        EXPECT_TRUE(Matches(ctx, Str(c.text), s)) << test::Describe(v);
        EXPECT_EQ(IsStaticString(s.string), c.isStatic) << test::Describe(v);
    }
}

TEST_F(ConvertTest, ToStringKeepsStringsAndNamesAtoms) {
    Value s = S(u"a\0b"s);
    Value same = ToString(ctx, s);
    EXPECT_EQ(same.string, s.string);

    Atom atom = InternAtom(ctx, "someName");
    Value name = ToString(ctx, MakeAtomRef(atom));
    EXPECT_EQ(Utf8(name), "someName");
    EXPECT_FALSE(IsStaticString(name.string));

    Value f = ToString(ctx, NewFunctionValue(ctx, nullptr));
    EXPECT_EQ(Utf8(f), "[object Function]");
}

TEST_F(ConvertTest, ToStringOfArrays) {
    Value cyclic = NewArray(ctx, 3);
    ArraySet(ctx, cyclic, cyclic, 0);
    ArraySet(ctx, cyclic, MakeInteger(1), 1);
    Value outer = Arr({MakeInteger(0), cyclic});
    ArraySet(ctx, cyclic, outer, 2);

    Value sparse = NewArray(ctx, 4);
    ArraySet(ctx, sparse, S(u"x"), 3);
    ArraySet(ctx, sparse, S(u"beyond the length"), 9);

    Value holes = NewArray(ctx, 5);
    ArraySet(ctx, holes, MakeInteger(1), 0);
    ArraySet(ctx, holes, S(u"a"), 2);
    ArraySet(ctx, holes, MakeNull(), 3);
    ArraySet(ctx, holes, MakeFloat(2.5), 4);

    ThingAnswers thing{true, S(u"[object Thing]"), false, false, {}, {}};
    struct Case {
        Value array;
        std::u16string text;
    };
    const Case cases[] = {
        {NewArray(ctx, 0), u""},
        {NewArray(ctx, 3), u",,"},
        {holes, u"1,,a,undefined,2.5"},
        {sparse, u",,,x"},
        {Arr({Arr({MakeInteger(1), MakeInteger(2)}), Arr({MakeInteger(3)})}), u"1,2,3"},
        {Arr({S(u"a\0b"s), S(u"c")}), u"a\0b,c"s},
        {Arr({Thing(&thing), Obj({}), NewFunctionValue(ctx, nullptr)}),
         u"[object Thing],[object Object],[object Function]"},
        // An array inside its own text contributes nothing.
        {cyclic, u",1,0,"},
        {outer, u"0,,1,"},
    };
    for (const Case& c : cases) {
        Value s = ToString(ctx, c.array);
        EXPECT_TRUE(Matches(ctx, Str(c.text), s));
        EXPECT_FALSE(IsStaticString(s.string));
    }
}

TEST_F(ConvertTest, JoinArrayOfHugeSparseArrays) {
    Value huge = NewArray(ctx, uint64_t{1} << 40);
    ArraySet(ctx, huge, S(u"a"), 0);
    ArraySet(ctx, huge, S(u"b"), uint64_t{1} << 39);
    // Without a separator only the stored elements count.
    Value joined;
    ASSERT_TRUE(Run([&] { joined = JoinArray(ctx, huge, u"", 0); }));
    EXPECT_EQ(Utf8(joined), "ab");
    // With one, the text could never be held.
    ExpectRaise("Runtime error: Out of memory", [&] { ToString(ctx, huge); });

    Value three = Arr({MakeInteger(1), MakeInteger(2), MakeInteger(3)});
    EXPECT_EQ(Utf8(JoinArray(ctx, three, u" - ", 3)), "1 - 2 - 3");
    EXPECT_EQ(Utf8(JoinArray(ctx, MakeInteger(3), u",", 1)), "");
}

TEST_F(ConvertTest, ToStringOfHostObjects) {
    ThingAnswers named{true, S(u"[object Thing]"), true, false, MakeInteger(1), {}};
    ThingAnswers silent{false, {}, true, false, MakeInteger(1), {}};
    ThingAnswers notText{true, MakeInteger(5), false, false, {}, {}};
    NativeClass* bare = NewNativeClass(ctx);
    struct Case {
        Value value;
        std::u16string text;
        bool isStatic;
    };
    const Case cases[] = {
        {Thing(&named), u"[object Thing]", false},
        {Thing(&silent), u"object", true},
        {Thing(&notText), u"object", true},
        {BindNative(ctx, bare, nullptr), u"object", true},
    };
    for (const Case& c : cases) {
        Value s = ToString(ctx, c.value);
        EXPECT_TRUE(Matches(ctx, Str(c.text), s));
        EXPECT_EQ(IsStaticString(s.string), c.isStatic);
    }
}

TEST_F(ConvertTest, ToStringOfObjectsCallsToString) {
    struct Case {
        Value value;
        std::u16string text;
    };
    const Case cases[] = {
        {Obj({}), u"[object Object]"},
        {Obj({{"ts", S(u"mine")}}), u"mine"},
        {Obj({{"ts", MakeInteger(3)}}), u"object"},        // not a String
        {Obj({{"noTs", MakeNull()}}), u"object"},          // no toString at all
        {Obj({{"toString", MakeInteger(1)}}), u"object"},  // a member that is no method
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(Matches(ctx, Str(c.text), ToString(ctx, c.value)));
    }
    // Without an Object class nothing answers.
    ctx->classForTag[static_cast<int>(ValueTag::Object)] = nullptr;
    EXPECT_EQ(Utf8(ToString(ctx, Obj({}))), "object");
}

// ---- ToPrimitive ---------------------------------------------------------------

TEST_F(ConvertTest, ToPrimitiveLeavesPrimitivesAlone) {
    const Lit primitives[] = {Undef(), Nul(), Bool(true), Int(-3), Str(u"s"), Flt(0.5), NaNLit()};
    for (const Lit& p : primitives) {
        Value v = Make(ctx, p);
        for (int hint : {kHintString, kHintNumber, kHintNone}) {
            Value r = ToPrimitive(ctx, v, hint);
            EXPECT_EQ(r.tag, v.tag);
            EXPECT_EQ(r.bits, v.bits);
        }
    }
}

TEST_F(ConvertTest, ToPrimitiveOfReferences) {
    ThingAnswers both{true, S(u"T"), true, false, MakeInteger(5), {}};
    ThingAnswers valueOnly{false, {}, true, false, MakeInteger(5), {}};
    ThingAnswers textOnly{true, S(u"T"), false, false, {}, {}};
    ThingAnswers selfValue{true, S(u"T"), true, true, {}, {}};
    const Value cyc = Arr({MakeInteger(4)});
    struct Case {
        Value value;
        Lit asString;  // hint 4
        Lit asNumber;  // hints 3 and 0
    };
    const Case cases[] = {
        {Thing(&both), Str(u"T"), Int(5)},
        {Thing(&valueOnly), Int(5), Int(5)},
        {Thing(&textOnly), Str(u"T"), Str(u"T")},
        {Thing(&selfValue), Str(u"T"), Str(u"T")},
        {cyc, Str(u"4"), Str(u"4")},
        {NewFunctionValue(ctx, nullptr), Str(u"[object Function]"), Str(u"[object Function]")},
        {Obj({{"ts", S(u"T")}, {"vo", MakeInteger(5)}}), Str(u"T"), Int(5)},
        {Obj({{"ts", Obj({})}, {"vo", MakeInteger(5)}}), Int(5), Int(5)},
        {Obj({{"noTs", MakeNull()}, {"vo", MakeFloat(0.5)}}), Flt(0.5), Flt(0.5)},
        {Obj({}), Str(u"[object Object]"), Str(u"[object Object]")},
        {Obj({{"vo", MakeNull()}}), Str(u"[object Object]"), Nul()},
        {Obj({{"noVo", MakeNull()}, {"ts", S(u"T")}}), Str(u"T"), Str(u"T")},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_TRUE(Matches(ctx, c.asString, ToPrimitive(ctx, c.value, kHintString)));
        EXPECT_TRUE(Matches(ctx, c.asNumber, ToPrimitive(ctx, c.value, kHintNumber)));
        EXPECT_TRUE(Matches(ctx, c.asNumber, ToPrimitive(ctx, c.value, kHintNone)));
    }
}

TEST_F(ConvertTest, ToPrimitiveRaisesWhenNothingConverts) {
    ThingAnswers silent{false, {}, false, false, {}, {}};
    ThingAnswers selfOnly{false, {}, true, true, {}, {}};
    NativeClass* bare = NewNativeClass(ctx);
    struct Case {
        Value value;
        int hint;
    };
    const Case cases[] = {
        {Thing(&silent), kHintString},
        {Thing(&selfOnly), kHintString},
        {BindNative(ctx, bare, nullptr), kHintString},
        {BindNative(ctx, bare, nullptr), kHintNumber},
        {Obj({{"noTs", MakeNull()}}), kHintString},                        // valueOf is itself
        {Obj({{"noTs", MakeNull()}, {"noVo", MakeNull()}}), kHintString},  // neither method
        {MakeAtomRef(1), kHintNumber},
        {Make(ctx, RawTag(8)), kHintString},
        {Make(ctx, RawTag(9)), kHintNone},
    };
    for (const Case& c : cases) {
        ExpectRaise(kNotPrimitive, [&] { ToPrimitive(ctx, c.value, c.hint); });
    }
    // Through ToNumber too.
    ExpectRaise(kNotPrimitive, [&] { ToNumber(ctx, BindNative(ctx, bare, nullptr)); });
    // With a number hint the same values fall back to their text, "object".
    EXPECT_EQ(Utf8(ToPrimitive(ctx, Thing(&selfOnly), kHintNumber)), "object");
    Value neither = Obj({{"noTs", MakeNull()}, {"noVo", MakeNull()}});
    EXPECT_EQ(Utf8(ToPrimitive(ctx, neither, kHintNone)), "object");
    EXPECT_EQ(ToNumber(ctx, Thing(&selfOnly)).tag, ValueTag::NaN);
}

// ---- ToObject and typeof -------------------------------------------------------

TEST_F(ConvertTest, ToObject) {
    ThingAnswers none{};
    const Value unchanged[] = {
        MakeBoolean(true), MakeInteger(3), MakeFloat(0.5), MakeNaN(),
        NewArray(ctx, 1),  Obj({}),        Thing(&none),   NewFunctionValue(ctx, nullptr)};
    for (const Value& v : unchanged) {
        Value r = ToObject(ctx, v);
        EXPECT_EQ(r.tag, v.tag);
        EXPECT_EQ(r.bits, v.bits);
    }
    static const char16_t kLiteral[] = u"lit\0eral";
    const Value strings[] = {S(u"abc"), NewStaticString(ctx, kLiteral, 8), S(u"")};
    for (const Value& s : strings) {
        Value copy = ToObject(ctx, s);
        ASSERT_EQ(copy.tag, ValueTag::String);
        EXPECT_NE(copy.string, s.string);
        EXPECT_FALSE(IsStaticString(copy.string));
        EXPECT_EQ(CompareStrings(copy, s), 0);
        if (s.string->length != 0) {
            EXPECT_NE(copy.string->chars, s.string->chars);
        }
    }
    for (const Lit& bad : {Undef(), Nul(), RawTag(10, 1), RawTag(8), RawTag(9)}) {
        ExpectRaise("Runtime error: Can't convert to object",
                    [&] { ToObject(ctx, Make(ctx, bad)); });
    }
}

TEST_F(ConvertTest, TypeOfTable) {
    Value hostFunction = BindNative(ctx, NewNativeClass(ctx), nullptr);
    struct Case {
        Value value;
        const char* text;
    };
    const Case cases[] = {
        {MakeUndefined(), "undefined"},
        {MakeNull(), "object"},
        {NewArray(ctx, 0), "object"},
        {Obj({}), "object"},
        {hostFunction, "object"},
        {MakeBoolean(false), "boolean"},
        {MakeInteger(1), "number"},
        {MakeFloat(1.5), "number"},
        {MakeNaN(), "number"},
        {S(u""), "string"},
        {NewFunctionValue(ctx, nullptr), "function"},
        {MakeAtomRef(2), ""},
        {Make(ctx, RawTag(8)), ""},
        {Make(ctx, RawTag(9)), ""},
    };
    for (const Case& c : cases) {
        Value t = TypeOf(ctx, c.value);
        EXPECT_EQ(Utf8(t), c.text) << test::Describe(c.value);
        EXPECT_TRUE(IsStaticString(t.string));
    }
}

TEST_F(ConvertTest, FormatFloatGFitsItsBuffer) {
    char buffer[32];
    EXPECT_EQ(FormatFloatG(-1.7976931348623157e308, buffer, sizeof buffer), 13);
    EXPECT_STREQ(buffer, "-1.79769e+308");
    char small[4];
    EXPECT_EQ(FormatFloatG(1e6, small, sizeof small), 3);
    EXPECT_STREQ(small, "1e+");
    EXPECT_EQ(FormatFloatG(1.0, small, 0), 0);
}

}  // namespace
}  // namespace kelpo
