// Hostile input: deep nesting is refused with a compile error instead of
// exhausting the native stack, and random bytes never crash the front end.
#include <cstdint>
#include <string>

#include "tests/unit/compiler/compiler_test_support.h"

namespace kelpo::test {
namespace {

const char kNestingError[] = "syntax error: too deeply nested";

std::string Repeat(const std::string& piece, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += piece;
    return out;
}

struct NestingCase {
    const char* name;
    std::string (*make)(int depth);
};

const NestingCase kNestingCases[] = {
    {"parentheses", [](int n) { return Repeat("(", n) + "x" + Repeat(")", n); }},
    {"blocks", [](int n) { return Repeat("{", n) + Repeat("}", n); }},
    {"unary operators", [](int n) { return Repeat("!", n) + "x"; }},
    {"new", [](int n) { return Repeat("new ", n) + "C"; }},
    {"array literals", [](int n) { return "x = " + Repeat("[", n) + Repeat("]", n); }},
    {"object literals", [](int n) { return "x = " + Repeat("{a:", n) + "1" + Repeat("}", n); }},
    {"conditionals", [](int n) { return "x = " + Repeat("a ? b : ", n) + "c"; }},
    {"assignments", [](int n) { return Repeat("a = ", n) + "b"; }},
    {"if statements", [](int n) { return Repeat("if (a) ", n) + "x;"; }},
    {"else-if chains", [](int n) { return "if (a) x;" + Repeat(" else if (a) x;", n); }},
    {"loops", [](int n) { return Repeat("while (a) ", n) + ";"; }},
    {"labels", [](int n) { return Repeat("L: ", n) + ";"; }},
    {"functions", [](int n) { return Repeat("function f() {", n) + Repeat("}", n); }},
    {"calls in arguments", [](int n) { return Repeat("f(", n) + "x" + Repeat(")", n); }},
    // Left-associative chains loop in the parser but build deep trees.
    {"binary chains", [](int n) { return "x = a" + Repeat(" + a", n * 10); }},
    {"comma chains", [](int n) { return "a" + Repeat(", a", n * 10); }},
    {"call chains", [](int n) { return "f" + Repeat("()", n * 10); }},
    {"member chains", [](int n) { return "a" + Repeat(".b[0]", n * 5); }},
    {"postfix and binary mixed", [](int n) { return Repeat("(a + ", n) + "a" + Repeat(")", n); }},
};

class RobustnessTest : public ContextTest {};

TEST_F(RobustnessTest, DeepNestingIsACompileError) {
    for (const NestingCase& c : kNestingCases) {
        SCOPED_TRACE(c.name);
        std::string source = c.make(100000);
        ParseResult r = Parse(ctx, source.c_str());
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.messages.find(kNestingError), std::string::npos) << r.messages;
        EXPECT_EQ(r.messages.find("error: line"), r.messages.rfind("error: line"));
    }
}

// Nesting that real programs use stays well inside the limits.
TEST_F(RobustnessTest, ModerateNestingParses) {
    for (const NestingCase& c : kNestingCases) {
        SCOPED_TRACE(c.name);
        std::string source = c.make(60);
        ParseResult r = Parse(ctx, source.c_str());
        EXPECT_TRUE(r.ok) << r.messages.substr(0, 200);
    }
}

TEST_F(RobustnessTest, TreesStayWithinTheHeightBound) {
    std::string source = "x = a" + Repeat(" + a", 900) + ";";
    ParseResult r = Parse(ctx, source.c_str());
    ASSERT_TRUE(r.ok) << r.messages;
    EXPECT_LE(r.state->main.first->height, kMaxTreeHeight);
    EXPECT_GE(r.state->main.first->height, 900);
}

// A deterministic generator of hostile sources: fragments of the language
// mixed with arbitrary bytes.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    std::string Source(size_t length) {
        static const char* const kFragments[] = {
            "function", "(",       ")",        "{",       "}",     "[",    "]",     ";",
            ",",        "=",       "var",      "if",      "else",  "for",  "in",    "while",
            "do",       "switch",  "case",     "default", ":",     "try",  "catch", "finally",
            "return",   "break",   "continue", "new",     "x",     "y",    "1",     "1.5e3",
            "'s'",      "\"\\u12", "/re/g",    "/",       "*",     "+",    "++",    "?",
            ".",        "#'a'",    "\n",       " ",       "//c\n", "/*",   "*/",    "\\",
            "0x",       "1e",      "'\\x4",    "#",       "#!",    "this", "null",  "undefined",
            "delete",   "typeof",
        };
        std::string out;
        while (out.size() < length) {
            uint32_t r = Next();
            if (r % 4 == 0) {
                out += static_cast<char>(1 + Next() % 255);
            } else {
                out += kFragments[Next() % (sizeof kFragments / sizeof kFragments[0])];
            }
        }
        return out;
    }

private:
    uint32_t state_;
};

// Every outcome is either a tree without error lines, or a failure whose
// messages end with exactly one error line.
TEST_F(RobustnessTest, RandomInputNeverCrashes) {
    Noise noise(12345);
    int failures = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string source = noise.Source(noise.Next() % 120);
        ParseResult r = Parse(ctx, source.c_str());
        size_t first = r.messages.find("error: line ");
        if (r.ok) {
            EXPECT_EQ(first, std::string::npos) << Quote(source.c_str());
            continue;
        }
        ++failures;
        ASSERT_NE(first, std::string::npos) << Quote(source.c_str());
        EXPECT_EQ(first, r.messages.rfind("error: line ")) << Quote(source.c_str());
        EXPECT_EQ(r.messages.compare(r.messages.size() - 2, 2, "\r\n"), 0);
        EXPECT_EQ(r.messages.find("\r\n", first), r.messages.size() - 2);
    }
    EXPECT_GT(failures, 0);
}

TEST_F(RobustnessTest, EveryByteValueAlone) {
    for (int b = 1; b < 256; ++b) {
        char source[3] = {static_cast<char>(b), ';', '\0'};
        ParseResult r = Parse(ctx, source);
        if (!r.ok) {
            EXPECT_EQ(r.messages.rfind("error: line 0: ", 0), 0u) << b;
        }
    }
}

TEST_F(RobustnessTest, LongLiteralsAndNames) {
    std::string text(200000, 'q');
    std::string source = "x = '" + text + "'; " + text + " = 1";
    ParseResult r = Parse(ctx, source.c_str());
    ASSERT_TRUE(r.ok) << r.messages.substr(0, 200);
    EXPECT_EQ(r.main, "(expr (assign = x \"" + text + "\")) (expr (assign = " + text + " 1))");
}

}  // namespace
}  // namespace kelpo::test
