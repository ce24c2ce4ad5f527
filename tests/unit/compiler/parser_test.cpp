// The parser: the tree of every statement and expression form, semicolon
// insertion, function naming, static types and node lines.
#include <string>

#include "compiler/parse_source.h"
#include "compiler/syntax_print.h"
#include "tests/unit/compiler/compiler_test_support.h"

namespace kelpo::test {
namespace {

struct TreeCase {
    const char* source;
    const char* main;
    const char* functions;
};

class ParserTest : public ContextTest {
protected:
    void ExpectTrees(const TreeCase& c, uint32_t options = 0, int flags = 0) {
        SCOPED_TRACE(Quote(c.source));
        ParseResult r = Parse(ctx, c.source, options, flags);
        ASSERT_TRUE(r.ok) << r.messages;
        EXPECT_EQ(r.main, c.main);
        EXPECT_EQ(r.functions, c.functions);
        EXPECT_EQ(r.messages, "");
    }

    // The expression of a one-statement source.
    SyntaxNode* ExpressionOf(const char* source) {
        ParseResult r = Parse(ctx, source);
        EXPECT_TRUE(r.ok) << source << ": " << r.messages;
        if (!r.ok) return nullptr;
        SyntaxNode* statement = r.state->main.first;
        EXPECT_EQ(statement->kind, NodeExpression);
        return StatementExpression(statement);
    }
};

TEST_F(ParserTest, Statements) {
    const TreeCase cases[] = {
        {"x = 1;", "(expr (assign = x 1))", ""},
        {"var a = 1, b;", "(var 1 2 [(decl a 1) (decl b -)])", ""},
        {"{ var a; }", "(block [(var 0 1 [(decl a -)])])", ""},
        {"{ a; b }", "(block [(expr a) (expr b)])", ""},
        {"{}", "(empty)", ""},
        {";", "(empty)", ""},
        {"if (a) b; else c;", "(if a (expr b) (expr c))", ""},
        {"if (a) if (b) c; else d;", "(if a (if b (expr c) (expr d)) -)", ""},
        {"while (a) b++;", "(while a (expr (postfix ++ b)))", ""},
        {"do x(); while (a)", "(do a (expr (call x [] 0)))", ""},
        {"do ; while (a, b);", "(do (comma a b) (empty))", ""},
        {"for (;;) ;", "(for [] - - - (empty) 0)", ""},
        {"for (var i = 0, j; i < n; i++) f(i);",
         "(for [(decl i 0) (decl j -)] - (rel < i n) (postfix ++ i) (expr (call f [i] 1)) 2)", ""},
        {"for (i = 0, j = 1; ; ) ;", "(for [] (comma (assign = i 0) (assign = j 1)) - - (empty) 0)",
         ""},
        {"for (k in o) ;", "(forin [] k o (empty))", ""},
        {"for (var k = 1 in o, p) x;", "(forin [(decl k 1)] - (comma o p) (expr x))", ""},
        {"L: while (1) { break L; continue L; continue; break }",
         "(label L (while 1 (block [(break L) (continue L) (continue -) (break -)])))", ""},
        {"break\nL", "(break -) (expr L)", ""},
        {"return;", "(return -)", ""},
        {"return a, b", "(return (comma a b))", ""},
        {"with (o) x;", "(with o (expr x))", ""},
        {"throw e;", "(throw e)", ""},
        {"switch (x) { case 1: a(); case 2: default: b; }",
         "(switch 0 x [(case 1 [(expr (call a [] 0))] 0) (case 2 [] 0) (case - [(expr b)] 0)])",
         ""},
        {"switch (x) { }", "(switch 0 x [])", ""},
        {"try { } catch (e if e > 1) { } catch (e) { } finally { }",
         "(try 0 0 (empty) [(catch e (rel > e 1) (empty) 0) (catch e - (empty) 0)] (empty))", ""},
        {"try x(); finally y();", "(try 0 0 (expr (call x [] 0)) [] (expr (call y [] 0)))", ""},
        {"a = 1\nb = 2", "(expr (assign = a 1)) (expr (assign = b 2))", ""},
        {"{ a = 1 }", "(block [(expr (assign = a 1))])", ""},
        {"i\n++j", "(expr i) (expr (prefix ++ j))", ""},
        {"i++\nj", "(expr (postfix ++ i)) (expr j)", ""},
        {"return\nx", "(return -) (expr x)", ""},
        {"L: M: ;", "(label L (label M (empty)))", ""},
    };
    for (const TreeCase& c : cases) ExpectTrees(c);
}

TEST_F(ParserTest, Functions) {
    const TreeCase cases[] = {
        {"function f(a, b) { return a + b; }", "",
         "(function 0 0 f f [a b] [(return (add + a b))])"},
        {"function f() {}", "", "(function 0 0 f f [] [])"},
        {"function () {}", "", "(function 0 0 @F_0 - [] [])"},
        {"x = function (a) { return a; };", "(expr (assign = x @F_0))",
         "(function 0 0 @F_0 - [a] [(return a)])"},
        {"x = function g() {};", "(expr (assign = x g))", "(function 0 0 g g [] [])"},
        {"x = y = function () {}", "(expr (assign = x (assign = y @F_0)))",
         "(function 0 0 @F_0 - [] [])"},
        {"function outer() { function inner() {} }", "",
         "(function 0 0 @F_0 inner [] []) "
         "(function 0 0 outer outer [] [(nested outer @F_0 inner)])"},
        {"function a() { x = function () {}; function b() { function c() {} } }", "",
         "(function 0 0 @F_0 - [] []) (function 0 0 @F_2 c [] []) "
         "(function 0 0 @F_1 b [] [(nested @F_1 @F_2 c)]) "
         "(function 0 0 a a [] [(expr (assign = x @F_0)) (nested a @F_1 b)])"},
        {"function a() { function () {} }", "",
         "(function 0 0 @F_0 - [] []) (function 0 0 a a [] [(empty)])"},
        {"function a() { y = function b() {}; }", "",
         "(function 0 0 @F_0 b [] []) (function 0 0 a a [] [(expr (assign = y @F_0))])"},
        {"f = function () {}; function g() {} h = function () {}",
         "(expr (assign = f @F_0)) (expr (assign = h @F_1))",
         "(function 0 0 @F_0 - [] []) (function 0 0 g g [] []) (function 0 0 @F_1 - [] [])"},
        {"{ function f() {} }", "(block [(empty)])", "(function 0 0 f f [] [])"},
        {"if (a) function f() {}", "(if a (empty) -)", "(function 0 0 f f [] [])"},
        {"function f() { return arguments.length; } function g(arguments) { } function h() { x; }",
         "",
         "(function 0 1 f f [] [(return (member arguments length))]) "
         "(function 0 1 g g [arguments] []) (function 0 0 h h [] [(expr x)])"},
        {"function f() { function g() { arguments; } }", "",
         "(function 0 1 @F_0 g [] [(expr arguments)]) "
         "(function 0 1 f f [] [(nested f @F_0 g)])"},
    };
    for (const TreeCase& c : cases) ExpectTrees(c);
}

TEST_F(ParserTest, Expressions) {
    const struct {
        const char* source;
        const char* tree;
    } cases[] = {
        {"a, b, c", "(comma (comma a b) c)"},
        {"a = b = c", "(assign = a (assign = b c))"},
        {"a ? b : c ? d : e", "(cond a b (cond c d e))"},
        {"a ? b = 1 : c", "(cond a (assign = b 1) c)"},
        {"x = a ? b : c", "(assign = x (cond a b c))"},
        {"a || b && c", "(logic || a (logic && b c))"},
        {"a && b || c", "(logic || (logic && a b) c)"},
        {"a | b ^ c & d", "(bit | a (bit ^ b (bit & c d)))"},
        {"a & b | c", "(bit | (bit & a b) c)"},
        {"a & b == c", "(bit & a (eq == b c))"},
        {"a == b != c === d !== e", "(eq !== (eq === (eq != (eq == a b) c) d) e)"},
        {"a == b < c", "(eq == a (rel < b c))"},
        {"a < b > c <= d >= e", "(rel >= (rel <= (rel > (rel < a b) c) d) e)"},
        {"a < b << c", "(rel < a (shift << b c))"},
        {"a << b >> c >>> d", "(shift >>> (shift >> (shift << a b) c) d)"},
        {"1 + 2 << 3", "(shift << (add + 1 2) 3)"},
        {"a + b * c - d / e % f", "(add - (add + a (mul * b c)) (mul % (mul / d e) f))"},
        {"a / b / c", "(mul / (mul / a b) c)"},
        {"!a + -b", "(add + (prefix ! a) (prefix - b))"},
        {"typeof void delete a.b", "(prefix typeof (prefix void (prefix delete (member a b))))"},
        {"~+x", "(prefix ~ (prefix + x))"},
        {"- -a", "(prefix - (prefix - a))"},
        {"++a[0]", "(prefix ++ (index a 0))"},
        {"--a", "(prefix -- a)"},
        {"a--", "(postfix -- a)"},
        {"-a++", "(prefix - (postfix ++ a))"},
        {"f(1, 'a')", "(call f [\"a\" 1] 2)"},
        {"f(a = 1, b ? c : d)", "(call f [(cond b c d) (assign = a 1)] 2)"},
        {"f()()", "(call (call f [] 0) [] 0)"},
        {"a.b.c", "(member (member a b) c)"},
        {"a[b][c, d]", "(index (index a b) (comma c d))"},
        {"a.b(c).d[e]", "(index (member (call (member a b) [c] 1) d) e)"},
        {"new C", "(new C [] 0)"},
        {"new C()", "(new C [] 0)"},
        {"new C(1, 2)", "(new C [2 1] 2)"},
        {"new a.b.C(x).y", "(member (new (member (member a b) C) [x] 1) y)"},
        {"new new C()()", "(new (new C [] 0) [] 0)"},
        {"new C()()", "(call (new C [] 0) [] 0)"},
        {"new f().g()", "(call (member (new f [] 0) g) [] 0)"},
        {"(a, b)", "(comma a b)"},
        {"(a + b) * c", "(mul * (add + a b) c)"},
        {"this", "this"},
        {"null", "null"},
        {"true", "true"},
        {"false", "false"},
        {"undefined", "undefined"},
        {"1.5", "1.5f"},
        {"'s\\n'", "\"s\\x0A\""},
        {"#'a'", "97"},
        {"0x10", "16"},
        {"/ab+/g", "(regexp \"ab+\" 1)"},
        {"x = /=a/i", "(assign = x (regexp \"=a\" 2))"},
        {"f(/a/, /b/)", "(call f [(regexp \"b\" 0) (regexp \"a\" 0)] 2)"},
        {"[]", "(array 0 [])"},
        {"[1, 2]", "(array 2 [2 1])"},
        {"[1,]", "(array 2 [hole 1])"},
        {"[,]", "(array 2 [hole hole])"},
        {"[,1,,2]", "(array 4 [2 hole 1 hole])"},
        {"[[1], ({})]", "(array 2 [(object 0 []) (array 1 [1])])"},
        {"x = {}", "(assign = x (object 0 []))"},
        {"x = {a: 1, 'b': 2, 3: c,}",
         "(assign = x (object 3 [(prop 3 c) (prop \"b\" 2) (prop a 1)]))"},
        {"x = {a: {b: [1]}}",
         "(assign = x (object 1 [(prop a (object 1 [(prop b (array 1 [1]))]))]))"},
        {"1 = 2", "(assign = 1 2)"},
        {"f() = 1", "(assign = (call f [] 0) 1)"},
        {"(a) = 1", "(assign = a 1)"},
        {"this = null = undefined", "(assign = this (assign = null undefined))"},
        {"a.b += c[d] -= 1", "(assign += (member a b) (assign -= (index c d) 1))"},
    };
    for (const auto& c : cases) {
        std::string source = c.source;
        ExpectTrees({source.c_str(), ("(expr " + std::string(c.tree) + ")").c_str(), ""});
    }
}

TEST_F(ParserTest, EveryAssignmentOperator) {
    for (const char* op :
         {"=", "*=", "/=", "%=", "+=", "-=", "&=", "^=", "|=", "<<=", ">>=", ">>>="}) {
        std::string source = std::string("a ") + op + " b";
        std::string tree = std::string("(expr (assign ") + op + " a b))";
        ExpectTrees({source.c_str(), tree.c_str(), ""});
    }
}

// Left sides that are no assignment target leave the operator unused, so
// the statement then lacks its semicolon.
TEST_F(ParserTest, AssignmentNeedsATargetKind) {
    for (const char* source : {"a + b = c", "!a = b", "a++ = 1", "(a, b) = c"}) {
        SCOPED_TRACE(source);
        ParseResult r = Parse(ctx, source);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.messages, "error: line 0: missing ;\r\n");
    }
}

TEST_F(ParserTest, StaticTypes) {
    const struct {
        const char* source;
        int32_t type;
    } cases[] = {
        {"null", StaticNull},
        {"true", StaticBoolean},
        {"false", StaticBoolean},
        {"1", StaticInteger},
        {"#'a'", StaticInteger},
        {"'s'", StaticString},
        {"1.5", StaticFloat},
        {"[1]", StaticArray},
        {"({})", StaticObject},
        {"/a/", StaticRegExp},
        {"a == b", StaticBoolean},
        {"a !== b", StaticBoolean},
        {"a < b", StaticBoolean},
        {"a >= b", StaticBoolean},
        {"true && false", StaticBoolean},
        {"(a < b) || (c == d)", StaticBoolean},
        {"true || 1", StaticUnknown},
        {"a && b", StaticUnknown},
        {"!a", StaticUnknown},
        {"a", StaticUnknown},
        {"this", StaticUnknown},
        {"undefined", StaticUnknown},
        {"a + b", StaticUnknown},
        {"a = true", StaticUnknown},
        {"a ? true : false", StaticUnknown},
        {"a & b", StaticUnknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        SyntaxNode* e = ExpressionOf(c.source);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->staticType, c.type);
    }
}

TEST_F(ParserTest, NodeLinesAreWhereConstructsBegin) {
    ExpectTrees({"a =\n 1 +\n 2;\nif (x)\n  y();\nvar\nz",
                 "(expr@0 (assign@0 = a@0 (add@1 + 1@1 2@2))) "
                 "(if@3 x@3 (expr@4 (call@4 y@4 [] 0)) -) (var@5 1 1 [(decl@6 z -)])",
                 ""},
                0, PrintLines);
    ExpectTrees({"f(\n1,\n2)\n[\n3]", "(expr@0 (index@0 (call@0 f@0 [2@2 1@1] 2) 3@4))", ""}, 0,
                PrintLines);
    ExpectTrees(
        {"x = [\n1,\n,\n]", "(expr@0 (assign@0 = x@0 (array@0 3 [hole@2 hole@2 1@1])))", ""}, 0,
        PrintLines);
}

TEST_F(ParserTest, LineOperandsOfTrySwitchAndFunctions) {
    ExpectTrees(
        {"try {\n a();\n} catch (e) {\n b();\n}\nfinally { }",
         "(try 2 4 (block [(expr (call a [] 0))]) [(catch e - (block [(expr (call b [] 0))]) 4)] "
         "(empty))",
         ""});
    ExpectTrees({"try {\n} catch (e) {\n} catch (f) {\n}",
                 "(try 1 3 (empty) [(catch e - (empty) 0) (catch f - (empty) 3)] -)", ""});
    ExpectTrees({"try {\n}\nfinally {\n}", "(try 1 1 (empty) [] (empty))", ""});
    ExpectTrees({"switch (x) {\ncase 1:\n a;\ndefault:\n}",
                 "(switch 4 x [(case 1 [(expr a)] 2) (case - [] 3)])", ""});
    ExpectTrees({"function f() {\n\n}\n", "", "(function 2 0 f f [] [])"});
}

TEST_F(ParserTest, SemicolonInsertionCountsAndWarns) {
    const struct {
        const char* source;
        int inserted;
        const char* warnings;
    } cases[] = {
        {"a = 1;", 0, ""},
        {"a = 1\nb = 2", 2, "warning: line 0: missing ;\r\nwarning: line 1: missing ;\r\n"},
        {"{ a }", 1, "warning: line 0: missing ;\r\n"},
        {"return\nx;", 1, "warning: line 0: missing ;\r\n"},
        {"x\n\nreturn\n", 2, "warning: line 0: missing ;\r\nwarning: line 2: missing ;\r\n"},
        {"i\n++j;", 1, "warning: line 1: missing ;\r\nwarning: line 0: missing ;\r\n"},
        {"do x; while (a)", 1, "warning: line 0: missing ;\r\n"},
        {"var a\nbreak\ncontinue\nthrow x", 4,
         "warning: line 0: missing ;\r\nwarning: line 1: missing ;\r\n"
         "warning: line 2: missing ;\r\nwarning: line 3: missing ;\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Quote(c.source));
        ParseResult quiet = Parse(ctx, c.source);
        ASSERT_TRUE(quiet.ok) << quiet.messages;
        EXPECT_EQ(quiet.messages, "");
        EXPECT_EQ(quiet.state->insertedSemicolons, c.inserted);
        ParseResult warned = Parse(ctx, c.source, WarnSemicolonOption);
        ASSERT_TRUE(warned.ok) << warned.messages;
        EXPECT_EQ(warned.messages, c.warnings);
        EXPECT_EQ(warned.main, quiet.main);
    }
}

TEST_F(ParserTest, EmptySourcesParseToNothing) {
    for (const char* source :
         {"", "  \n\t", "// only a comment", "/* open comment", "#!/bin/run"}) {
        ExpectTrees({source, "", ""});
    }
}

TEST_F(ParserTest, StateIsPreparedForTheGenerator) {
    ParseResult r = Parse(ctx, "x", LineTableOption);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.state->typedJumps, 1);
    EXPECT_EQ(r.state->labelCounter, 1);
    EXPECT_EQ(r.state->options, LineTableOption);
    EXPECT_STREQ(r.state->sourceName, "string");
    EXPECT_EQ(r.state->nestingDepth, 0);
    EXPECT_EQ(r.state->parseDepth, 0);
}

}  // namespace
}  // namespace kelpo::test
