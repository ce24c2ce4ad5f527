// Operators: arithmetic with the separate Integer and Float kinds, bitwise
// and shift operators, relational operators and both equalities.
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
#include "runtime/operators.h"
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

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int64_t kMax = INT64_MAX;
constexpr int64_t kMin = INT64_MIN;

using BinaryOp = Value (*)(ScriptContext*, const Value&, const Value&);

struct BinaryCase {
    const char* name;
    BinaryOp op;
    Lit a;
    Lit b;
    Lit expected;
};

void RunBinaryTable(ScriptContext* ctx, const BinaryCase* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const BinaryCase& c = cases[i];
        Value a = Make(ctx, c.a);
        Value b = Make(ctx, c.b);
        EXPECT_TRUE(Matches(ctx, c.expected, c.op(ctx, a, b)))
            << test::Describe(a) << " " << c.name << " " << test::Describe(b);
    }
}

// The Object class for these tests answers valueOf with the object's own
// slot "vo" and toString with "[object Object]".
int TestObjectInvoke(ScriptContext* context, NativeClass*, void* data, Atom method, Value* out,
                     Value*) {
    const Value self = *static_cast<Value*>(data);
    if (method == kAtomToString) {
        *out = NewStringFromCString(context, "[object Object]");
        return 1;
    }
    if (method == kAtomValueOf) {
        if (!GetProperty(context, self.object, InternAtom(context, "vo"), out)) *out = self;
        return 1;
    }
    return 0;
}

class OperatorsTest : public ContextTest {
protected:
    void SetUp() override {
        ContextTest::SetUp();
        NativeClass* objectClass = NewNativeClass(ctx);
        objectClass->invoke = TestObjectInvoke;
        ctx->classForTag[static_cast<int>(ValueTag::Object)] = objectClass;
    }

    Value S(const std::u16string& text) { return Make(ctx, Str(text)); }

    Value ObjWithValue(const Value& v) {
        ScriptObject* o = NewObject(ctx);
        PutProperty(ctx, o, InternAtom(ctx, "vo"), v);
        return MakeObject(o);
    }
};

// ---- Arithmetic -----------------------------------------------------------------

TEST_F(OperatorsTest, AdditionAndSubtraction) {
    const BinaryCase cases[] = {
        {"+", OpAdd, Int(2), Int(3), Int(5)},
        {"+", OpAdd, Int(kMax), Int(1), Int(kMin)},
        {"+", OpAdd, Int(kMin), Int(-1), Int(kMax)},
        {"+", OpAdd, Int(1), Flt(2.5), Flt(3.5)},
        {"+", OpAdd, Flt(0.1), Flt(0.2), Flt(0.30000000000000004)},
        {"+", OpAdd, Flt(-0.0), Flt(-0.0), Flt(-0.0)},
        {"+", OpAdd, Flt(kInf), Flt(-kInf), NaNLit()},
        {"+", OpAdd, Flt(1e308), Flt(1e308), Flt(kInf)},
        {"+", OpAdd, Bool(true), Int(1), Int(2)},
        {"+", OpAdd, Nul(), Int(1), Int(1)},
        {"+", OpAdd, Undef(), Int(1), NaNLit()},
        {"+", OpAdd, NaNLit(), Flt(1.0), NaNLit()},
        // A String on either side concatenates.
        {"+", OpAdd, Str(u"5"), Int(1), Str(u"51")},
        {"+", OpAdd, Int(1), Str(u"5"), Str(u"15")},
        {"+", OpAdd, Str(u"a"), Nul(), Str(u"aundefined")},
        {"+", OpAdd, Flt(1.5), Str(u""), Str(u"1.5")},
        {"+", OpAdd, NaNLit(), Str(u"!"), Str(u"NaN!")},
        {"+", OpAdd, Str(u"x\0"s), Str(u"\0y"s), Str(u"x\0\0y"s)},
        {"+", OpAdd, Str(u"1"), Bool(false), Str(u"1false")},
        // Texts are not added as numbers.
        {"+", OpAdd, Str(u"1"), Str(u"2"), Str(u"12")},
        {"-", OpSub, Str(u"5"), Int(1), Int(4)},
        {"-", OpSub, Str(u"5.5"), Int(1), Flt(4.5)},
        {"-", OpSub, Int(kMin), Int(1), Int(kMax)},
        {"-", OpSub, Int(kMax), Int(-1), Int(kMin)},
        {"-", OpSub, Flt(kInf), Flt(kInf), NaNLit()},
        {"-", OpSub, Flt(0.0), Flt(0.0), Flt(0.0)},
        {"-", OpSub, Str(u"abc"), Int(1), NaNLit()},
        {"-", OpSub, Bool(false), Nul(), Int(0)},
        {"-", OpSub, Int(3), Undef(), NaNLit()},
    };
    RunBinaryTable(ctx, cases, sizeof cases / sizeof cases[0]);
}

TEST_F(OperatorsTest, ConcatenationMakesANewModifiableString) {
    static const char16_t kLiteral[] = u"static";
    Value s = NewStaticString(ctx, kLiteral, 6);
    Value empty = S(u"");
    Value joined = OpAdd(ctx, s, empty);
    ASSERT_EQ(joined.tag, ValueTag::String);
    EXPECT_NE(joined.string, s.string);
    EXPECT_FALSE(IsStaticString(joined.string));
    EXPECT_EQ(test::Utf8(joined), "static");
    Value nothing = OpAdd(ctx, empty, empty);
    EXPECT_NE(nothing.string, empty.string);
    EXPECT_EQ(nothing.string->length, 0u);
}

TEST_F(OperatorsTest, MultiplicationAndDivision) {
    const BinaryCase cases[] = {
        {"*", OpMul, Int(2), Int(3), Int(6)},
        {"*", OpMul, Int(kMax), Int(2), Int(-2)},
        {"*", OpMul, Int(kMin), Int(-1), Int(kMin)},
        {"*", OpMul, Int(0x100000000), Int(0x100000000), Int(0)},
        {"*", OpMul, Str(u"3"), Str(u"4"), Int(12)},
        {"*", OpMul, Str(u"1.5"), Int(2), Flt(3.0)},
        {"*", OpMul, Int(2), Flt(1.5), Flt(3.0)},
        {"*", OpMul, Int(0), Flt(kInf), NaNLit()},
        {"*", OpMul, Flt(-kInf), Int(0), NaNLit()},
        {"*", OpMul, Flt(kInf), Flt(-0.0), NaNLit()},
        {"*", OpMul, Flt(kInf), Int(-2), Flt(-kInf)},
        {"*", OpMul, Flt(-1.0), Int(0), Flt(-0.0)},
        {"*", OpMul, Str(u"abc"), Int(2), NaNLit()},
        {"*", OpMul, NaNLit(), Int(0), NaNLit()},
        // Division always gives a Float.
        {"/", OpDiv, Int(7), Int(2), Flt(3.5)},
        {"/", OpDiv, Int(6), Int(3), Flt(2.0)},
        {"/", OpDiv, Int(kMin), Int(-1), Flt(9223372036854775808.0)},
        {"/", OpDiv, Int(1), Int(3), Flt(1.0 / 3.0)},
        {"/", OpDiv, Int(1), Int(0), Flt(kInf)},
        {"/", OpDiv, Int(-1), Int(0), Flt(-kInf)},
        {"/", OpDiv, Int(1), Flt(-0.0), Flt(-kInf)},
        {"/", OpDiv, Int(0), Int(0), NaNLit()},
        {"/", OpDiv, Flt(0.0), Flt(-0.0), NaNLit()},
        {"/", OpDiv, Flt(kInf), Flt(-kInf), NaNLit()},
        {"/", OpDiv, Flt(kInf), Int(0), Flt(kInf)},
        {"/", OpDiv, Flt(-kInf), Flt(-0.0), Flt(-kInf)},
        {"/", OpDiv, Int(5), Flt(kInf), Flt(0.0)},
        {"/", OpDiv, Int(-5), Flt(kInf), Flt(-0.0)},
        {"/", OpDiv, Str(u"9"), Str(u"2"), Flt(4.5)},
        {"/", OpDiv, Undef(), Int(1), NaNLit()},
        {"/", OpDiv, Int(1), NaNLit(), NaNLit()},
    };
    RunBinaryTable(ctx, cases, sizeof cases / sizeof cases[0]);
}

TEST_F(OperatorsTest, Remainder) {
    const BinaryCase cases[] = {
        {"%", OpMod, Int(7), Int(2), Int(1)},
        {"%", OpMod, Int(-7), Int(2), Int(-1)},
        {"%", OpMod, Int(7), Int(-2), Int(1)},
        {"%", OpMod, Int(kMin), Int(-1), Int(0)},
        {"%", OpMod, Int(kMin), Int(kMax), Int(-1)},
        {"%", OpMod, Int(5), Int(0), NaNLit()},
        {"%", OpMod, Flt(5.5), Int(2), Flt(1.5)},
        {"%", OpMod, Flt(-7.5), Int(2), Flt(-1.5)},
        {"%", OpMod, Int(7), Flt(2.5), Flt(2.0)},
        {"%", OpMod, Int(5), Flt(0.0), NaNLit()},
        {"%", OpMod, Flt(5.5), Flt(-0.0), NaNLit()},
        {"%", OpMod, Flt(kInf), Int(2), NaNLit()},
        {"%", OpMod, NaNLit(), Int(2), NaNLit()},
        // An infinite divisor, or a zero dividend, leaves the dividend.
        {"%", OpMod, Int(5), Flt(kInf), Int(5)},
        {"%", OpMod, Flt(5.5), Flt(-kInf), Flt(5.5)},
        {"%", OpMod, Int(0), Flt(2.5), Int(0)},
        {"%", OpMod, Flt(-0.0), Int(5), Flt(-0.0)},
        // Operands that convert to two Integers give the Integer remainder.
        {"%", OpMod, Str(u"7"), Str(u"2"), Int(1)},
        {"%", OpMod, Bool(true), Str(u"-1"), Int(0)},
        {"%", OpMod, Str(u"-9223372036854775808"), Str(u"-1"), Int(0)},
        {"%", OpMod, Str(u"7"), Str(u"0"), NaNLit()},
        {"%", OpMod, Str(u"7.5"), Int(2), Flt(1.5)},
        {"%", OpMod, Undef(), Int(2), NaNLit()},
        // Exact for every size of quotient.
        {"%", OpMod, Flt(1e17), Flt(3.0), Flt(1.0)},
        {"%", OpMod, Flt(1e300), Flt(7.0), Flt(std::fmod(1e300, 7.0))},
        {"%", OpMod, Flt(-1e300), Flt(3.5), Flt(std::fmod(-1e300, 3.5))},
    };
    RunBinaryTable(ctx, cases, sizeof cases / sizeof cases[0]);
    // The remainder of Floats keeps the dividend's sign and stays below the
    // divisor, even where a / b rounds up to a whole number.
    const double x = 0.30000000000000004;
    const double y = 0.1;
    Value r = OpMod(ctx, MakeFloat(x), MakeFloat(y));
    ASSERT_EQ(r.tag, ValueTag::Float);
    EXPECT_GE(r.number, 0.0);
    EXPECT_LT(r.number, y);
}

TEST_F(OperatorsTest, Negation) {
    struct Case {
        Lit a;
        Lit expected;
    };
    const Case cases[] = {
        {Int(5), Int(-5)},         {Int(kMin), Int(kMin)},   {Int(kMax), Int(kMin + 1)},
        {Flt(0.0), Flt(-0.0)},     {Flt(-kInf), Flt(kInf)},  {NaNLit(), NaNLit()},
        {Str(u"3"), Int(-3)},      {Str(u"-2.5"), Flt(2.5)}, {Str(u"abc"), NaNLit()},
        {Bool(true), Int(-1)},     {Nul(), Int(0)},          {Undef(), NaNLit()},
        {RawTag(10, 1), NaNLit()},
    };
    for (const Case& c : cases) {
        Value a = Make(ctx, c.a);
        EXPECT_TRUE(Matches(ctx, c.expected, OpNeg(ctx, a))) << "-" << test::Describe(a);
    }
}

TEST_F(OperatorsTest, ArithmeticOnObjectsUsesTheirValues) {
    Value five = ObjWithValue(MakeInteger(5));
    Value text = ObjWithValue(S(u"2"));
    Value array = NewArray(ctx, 1);
    ArraySet(ctx, array, MakeInteger(4), 0);
    EXPECT_TRUE(Matches(ctx, Int(10), OpMul(ctx, five, MakeInteger(2))));
    // Only a String operand concatenates; an object whose value is a text
    // is converted to a number.
    EXPECT_TRUE(Matches(ctx, Int(7), OpAdd(ctx, five, text)));
    EXPECT_TRUE(Matches(ctx, Str(u"[object Object]!"), OpAdd(ctx, five, S(u"!"))));
    EXPECT_TRUE(Matches(ctx, Int(5), OpAdd(ctx, array, MakeInteger(1))));
    EXPECT_TRUE(Matches(ctx, Str(u"4x"), OpAdd(ctx, array, S(u"x"))));
    EXPECT_TRUE(Matches(ctx, NaNLit(), OpSub(ctx, NewFunctionValue(ctx, nullptr), MakeInteger(1))));
}

// ---- Bitwise and shifts ------------------------------------------------------------

TEST_F(OperatorsTest, BitwiseAndShifts) {
    const BinaryCase cases[] = {
        {"&", OpBitAnd, Int(6), Int(3), Int(2)},
        {"|", OpBitOr, Int(6), Int(3), Int(7)},
        {"^", OpBitXor, Int(6), Int(3), Int(5)},
        {"&", OpBitAnd, Int(-1), Int(kMin), Int(kMin)},
        {"|", OpBitOr, Int(0x100000000), Int(1), Int(0x100000001)},
        {"&", OpBitAnd, Flt(5.9), Int(3), Int(1)},
        {"|", OpBitOr, Str(u"12"), Int(1), Int(13)},
        {"^", OpBitXor, Bool(true), Bool(true), Int(0)},
        {"&", OpBitAnd, NaNLit(), Int(1), Int(0)},
        {"|", OpBitOr, Flt(kInf), Int(0), Int(0)},
        {"|", OpBitOr, Undef(), Nul(), Int(0)},
        {"&", OpBitAnd, Flt(1e19), Int(-1), Int(-8446744073709551616)},
        {"<<", OpShiftLeft, Int(1), Int(4), Int(16)},
        {"<<", OpShiftLeft, Int(1), Int(63), Int(kMin)},
        {"<<", OpShiftLeft, Int(-1), Int(1), Int(-2)},
        {"<<", OpShiftLeft, Int(3), Int(62), Int(-4611686018427387904)},
        {"<<", OpShiftLeft, Bool(true), Int(2), Int(4)},
        {">>", OpShiftRight, Int(-8), Int(1), Int(-4)},
        {">>", OpShiftRight, Int(-1), Int(63), Int(-1)},
        {">>", OpShiftRight, Int(kMin), Int(63), Int(-1)},
        {">>", OpShiftRight, Int(kMax), Int(62), Int(1)},
        {">>", OpShiftRight, Int(2), Flt(1.9), Int(1)},
        {">>>", OpShiftRightUnsigned, Int(-1), Int(1), Int(kMax)},
        {">>>", OpShiftRightUnsigned, Int(-8), Int(0), Int(-8)},
        {">>>", OpShiftRightUnsigned, Int(kMin), Int(63), Int(1)},
        {">>>", OpShiftRightUnsigned, Str(u"-1"), Str(u"60"), Int(15)},
        {">>>", OpShiftRightUnsigned, Flt(-1.5), Int(62), Int(3)},
        // Counts are taken modulo 64, Integer or converted alike.
        {"<<", OpShiftLeft, Int(1), Int(64), Int(1)},
        {"<<", OpShiftLeft, Int(1), Int(65), Int(2)},
        {"<<", OpShiftLeft, Int(1), Int(-1), Int(kMin)},
        {"<<", OpShiftLeft, Int(1), Int(0x100000001), Int(2)},
        {"<<", OpShiftLeft, Int(1), Flt(4294967297.0), Int(2)},
        {">>", OpShiftRight, Int(-16), Int(66), Int(-4)},
        {">>", OpShiftRight, Int(16), Int(-62), Int(4)},
        {">>>", OpShiftRightUnsigned, Int(-1), Int(64), Int(-1)},
        {">>>", OpShiftRightUnsigned, Int(-1), Int(-1), Int(1)},
    };
    RunBinaryTable(ctx, cases, sizeof cases / sizeof cases[0]);
}

TEST_F(OperatorsTest, LogicalNot) {
    struct Case {
        Lit a;
        bool expected;
    };
    const Case cases[] = {
        {Int(0), true},   {Int(2), false},     {Flt(-0.0), true}, {Flt(0.1), false},
        {Str(u""), true}, {Str(u"0"), false},  {NaNLit(), true},  {Undef(), true},
        {Nul(), true},    {Bool(false), true}, {RawTag(8), true},
    };
    for (const Case& c : cases) {
        Value a = Make(ctx, c.a);
        EXPECT_TRUE(Matches(ctx, Bool(c.expected), OpNot(ctx, a))) << "!" << test::Describe(a);
    }
    EXPECT_TRUE(Matches(ctx, Bool(false), OpNot(ctx, NewArray(ctx, 0))));
    EXPECT_TRUE(Matches(ctx, Bool(false), OpNot(ctx, ObjWithValue(MakeInteger(0)))));
}

// ---- Relational ------------------------------------------------------------------------

TEST_F(OperatorsTest, RelationalOperators) {
    struct Case {
        Lit a;
        Lit b;
        bool less, lessEqual, greater, greaterEqual;
    };
    const Case cases[] = {
        {Str(u"10"), Int(9), false, false, true, true},
        {Str(u"10"), Str(u"9"), true, true, false, false},
        {Str(u"abc"), Int(1), false, false, false, false},
        {Int(1), Str(u"abc"), false, false, false, false},
        {NaNLit(), Int(1), false, false, false, false},
        {Int(1), NaNLit(), false, false, false, false},
        {NaNLit(), NaNLit(), false, false, false, false},
        {Undef(), Int(1), false, false, false, false},
        {Flt(std::numeric_limits<double>::quiet_NaN()), Int(1), false, false, false, false},
        {Int(1), Flt(1.0), false, true, false, true},
        {Int(-1), Int(1), true, true, false, false},
        {Int(kMin), Int(kMax), true, true, false, false},
        {Flt(-0.0), Int(0), false, true, false, true},
        {Flt(-kInf), Int(kMin), true, true, false, false},
        {Flt(kInf), Flt(kInf), false, true, false, true},
        // Integers compare exactly, also after conversion from text.
        {Int(9007199254740993), Int(9007199254740992), false, false, true, true},
        {Str(u"9007199254740993"), Int(9007199254740992), false, false, true, true},
        // An Integer against a Float compares as doubles.
        {Int(9007199254740993), Flt(9007199254740992.0), false, true, false, true},
        {Nul(), Int(1), true, true, false, false},
        {Bool(true), Bool(false), false, false, true, true},
        {Str(u""), Str(u"a"), true, true, false, false},
        {Str(u"a"), Str(u"a\0"s), true, true, false, false},
        {Str(u"a\0b"s), Str(u"a\0c"s), true, true, false, false},
        {Str(u"\u00e9"), Str(u"z"), false, false, true, true},
        {Str(u"\uffff"), Str(u"\u0100"), false, false, true, true},
        {Str(u"B"), Str(u"a"), true, true, false, false},
        {Str(u"same"), Str(u"same"), false, true, false, true},
        {Str(u"0x10"), Int(15), false, false, true, true},
    };
    for (const Case& c : cases) {
        Value a = Make(ctx, c.a);
        Value b = Make(ctx, c.b);
        std::string pair = test::Describe(a) + " vs " + test::Describe(b);
        EXPECT_TRUE(Matches(ctx, Bool(c.less), OpLess(ctx, a, b))) << "< " << pair;
        EXPECT_TRUE(Matches(ctx, Bool(c.lessEqual), OpLessEqual(ctx, a, b))) << "<= " << pair;
        EXPECT_TRUE(Matches(ctx, Bool(c.greater), OpGreater(ctx, a, b))) << "> " << pair;
        EXPECT_TRUE(Matches(ctx, Bool(c.greaterEqual), OpGreaterEqual(ctx, a, b))) << ">= " << pair;
    }
}

TEST_F(OperatorsTest, RelationalOnObjectsUsesTheirValues) {
    Value two = ObjWithValue(MakeInteger(2));
    Value text = ObjWithValue(S(u"b"));
    EXPECT_TRUE(Matches(ctx, Bool(true), OpLess(ctx, MakeFloat(1.5), two)));
    // An object is never a String operand: its text value converts to NaN.
    EXPECT_TRUE(Matches(ctx, Bool(false), OpLess(ctx, S(u"a"), text)));
    EXPECT_TRUE(Matches(ctx, Bool(false), OpGreaterEqual(ctx, S(u"a"), text)));
}

// ---- Equality ------------------------------------------------------------------------------

TEST_F(OperatorsTest, StrictAndLooseEquality) {
    struct Case {
        Lit a;
        Lit b;
        bool strict;
        bool loose;
    };
    const Case cases[] = {
        {NaNLit(), NaNLit(), false, false},
        {Nul(), Undef(), false, true},
        {Nul(), Nul(), true, true},
        {Undef(), Undef(), true, true},
        {Int(1), Flt(1.0), true, true},
        {Int(1), Str(u"1"), false, true},
        {Int(0), Str(u""), false, true},
        {Int(31), Str(u"0x1F"), false, true},
        {Flt(0.5), Str(u".5"), false, true},
        {Str(u"1"), Bool(true), false, true},
        {Str(u"2"), Bool(true), false, false},
        {Int(0), Bool(false), false, true},
        {Str(u"abc"), Int(0), false, false},
        {Str(u"abc"), NaNLit(), false, false},
        {Nul(), Int(0), false, false},
        {Undef(), NaNLit(), false, false},
        {Undef(), Str(u"undefined"), false, false},
        {Nul(), Bool(false), false, false},
        {Str(u"abc"), Str(u"abc"), true, true},
        {Str(u"a\0b"s), Str(u"a\0c"s), false, false},
        {Str(u"a"), Str(u"a\0"s), false, false},
        {Str(u"1"), Str(u"1.0"), false, false},
        {Flt(-0.0), Int(0), true, true},
        {Flt(-0.0), Flt(0.0), true, true},
        {Flt(kInf), Flt(kInf), true, true},
        {Flt(kInf), Str(u"inf"), false, false},
        {Flt(std::numeric_limits<double>::quiet_NaN()),
         Flt(std::numeric_limits<double>::quiet_NaN()), false, false},
        {Bool(true), Bool(true), true, true},
        {Bool(true), Bool(false), false, false},
        {Int(kMin), Int(kMin), true, true},
        {Int(9007199254740993), Flt(9007199254740992.0), true, true},
        {Str(u"9007199254740993"), Int(9007199254740992), false, false},
        {Str(u"9223372036854775807"), Int(kMax), false, true},
        {RawTag(10, 3), RawTag(10, 3), false, true},
        {RawTag(10, 3), RawTag(10, 4), false, false},
        {RawTag(8), RawTag(8), false, true},
        {RawTag(9), RawTag(9), false, true},
        {RawTag(8), RawTag(9), false, false},
        {RawTag(8), Undef(), false, false},
    };
    for (const Case& c : cases) {
        // Both orders: equality is symmetric.
        for (int swap = 0; swap < 2; ++swap) {
            Value a = Make(ctx, swap ? c.b : c.a);
            Value b = Make(ctx, swap ? c.a : c.b);
            std::string pair = test::Describe(a) + " vs " + test::Describe(b);
            EXPECT_EQ(StrictEquals(a, b), c.strict) << "=== " << pair;
            EXPECT_EQ(LooseEquals(ctx, a, b), c.loose) << "== " << pair;
        }
    }
}

TEST_F(OperatorsTest, EqualityOfReferences) {
    Value a = NewArray(ctx, 1);
    Value b = NewArray(ctx, 1);
    ArraySet(ctx, a, MakeInteger(1), 0);
    ArraySet(ctx, b, MakeInteger(1), 0);
    Value o = ObjWithValue(MakeInteger(5));
    Value p = ObjWithValue(MakeInteger(5));
    Value textValued = ObjWithValue(S(u"x"));
    Value plain = MakeObject(NewObject(ctx));
    Value f = NewFunctionValue(ctx, nullptr);
    Value g = NewFunctionValue(ctx, nullptr);
    NativeClass* k1 = NewNativeClass(ctx);
    NativeClass* k2 = NewNativeClass(ctx);
    int data1 = 0;
    int data2 = 0;
    Value n1 = BindNative(ctx, k1, &data1);
    Value n1again = BindNative(ctx, k1, &data1);  // another wrapper, same instance data
    Value n2 = BindNative(ctx, k1, &data2);
    Value otherClass = BindNative(ctx, k2, &data1);
    struct Case {
        Value a;
        Value b;
        bool strict;
        bool loose;
    };
    const Case cases[] = {
        {a, a, true, true},
        {a, b, false, false},
        {a, MakeInteger(1), false, false},  // arrays are not converted
        {a, S(u"1"), false, false},
        {o, o, true, true},
        {o, p, false, false},
        {o, MakeInteger(5), false, true},  // objects compare by their primitive
        {o, S(u"5"), false, true},
        {o, MakeFloat(5.0), false, true},
        {o, MakeBoolean(true), false, false},
        {textValued, S(u"x"), false, true},
        {plain, S(u"[object Object]"), false, true},
        {o, MakeNull(), false, false},
        {o, MakeUndefined(), false, false},
        {o, a, false, false},
        {f, f, true, true},
        {f, g, false, false},
        {f, S(u"[object Function]"), false, false},
        {n1, n1, true, true},
        {n1, n1again, true, true},
        {n1, n2, false, false},
        {n1, otherClass, false, false},
        {n1, S(u"object"), false, false},
    };
    for (const Case& c : cases) {
        for (int swap = 0; swap < 2; ++swap) {
            const Value& x = swap ? c.b : c.a;
            const Value& y = swap ? c.a : c.b;
            std::string pair = test::Describe(x) + " vs " + test::Describe(y);
            EXPECT_EQ(StrictEquals(x, y), c.strict) << "=== " << pair;
            EXPECT_EQ(LooseEquals(ctx, x, y), c.loose) << "== " << pair;
        }
    }
}

TEST_F(OperatorsTest, ConversionErrorsReachTheCaller) {
    NativeClass* bare = NewNativeClass(ctx);
    Value host = BindNative(ctx, bare, nullptr);
    const BinaryOp ops[] = {OpAdd, OpSub, OpMul, OpDiv, OpMod, OpLess, OpGreaterEqual};
    for (BinaryOp op : ops) {
        EXPECT_FALSE(Run([&] { op(ctx, host, MakeInteger(1)); }));
        EXPECT_STREQ(ctx->errorText, "Runtime error: Can't convert to primitive type");
    }
    // Loose equality converts only plain objects, so a host value is just unequal.
    EXPECT_FALSE(LooseEquals(ctx, host, MakeInteger(1)));
}

}  // namespace
}  // namespace kelpo
