// Every syntax error text of the parser with the line it is reported at,
// and the rule that the first error ends the compilation.
#include <string>

#include "tests/unit/compiler/compiler_test_support.h"

namespace kelpo::test {
namespace {

struct ErrorCase {
    const char* source;
    int line;
    const char* message;  // after "error: line N: "
};

class ParserErrorTest : public ContextTest {};

TEST_F(ParserErrorTest, EveryMessageWithItsLine) {
    const ErrorCase cases[] = {
        // Statements.
        {"debugger;", 0, "syntax error: invalid statement"},
        {"class X {}", 0, "syntax error: invalid statement"},
        {"enum; export; import", 0, "syntax error: invalid statement"},
        {"x;\n)", 0, "syntax error: invalid statement"},
        {"L\n: x", 0, "syntax error: invalid statement"},
        {"x = 1\n}", 0, "syntax error: invalid statement"},
        {"if (a)\n)", 0, "syntax error: invalid statement"},
        {"if (a) x; else", 0, "syntax error: invalid statement"},
        {"while (a)", 0, "syntax error: invalid statement"},
        {"do\n)", 0, "syntax error: invalid statement"},
        {"for (;;)\n)", 0, "syntax error: invalid statement"},
        {"try ) catch (e) {}", 0, "syntax error: invalid statement"},
        {"try {} catch (e) )", 0, "syntax error: invalid statement"},
        {"try {} finally )", 0, "syntax error: invalid statement"},
        {"try {} catch (e if ) {}", 0, "syntax error: invalid statement"},
        {"switch (x) { case 1: ) }", 0, "syntax error: invalid statement"},
        {"switch (x) { case 1: x;", 0, "syntax error: invalid statement"},
        {"a.if", 0, "syntax error: illegal identifier"},
        {"a.\nif", 1, "syntax error: illegal identifier"},
        {"a.1", 0, "missing ;"},  // ".1" scans as a number
        {"var a,\n1;", 0, "syntax error: illegal identifier"},
        {"function f(1) {}", 0, "syntax error: illegal identifier"},
        {"function f(a,) {}", 0, "syntax error: illegal identifier"},
        {"for (a.b in o) ;", 0, "syntax error: illegal identifier"},
        {"for (1 in o) ;", 0, "syntax error: illegal identifier"},
        {"function f {}", 0, "syntax error: missing ( before formal parameters"},
        {"function f(a b) {}", 0, "syntax error: missing ) after formal parameters"},
        {"function f() return;", 0, "syntax error: invalid function body"},
        {"function f()", 0, "syntax error: invalid function body"},
        {"{ a; )", 0, "syntax error: missing } after block"},
        {"function f() {\n a;", 1, "syntax error: missing } after block"},
        {"switch (x) {\n x }", 1, "syntax error: missing } after switch block"},
        {"switch (x) {", 0, "syntax error: missing } after switch block"},
        {"{ L: }", 0, "syntax error: invalid label"},
        {"return )", 0, "syntax error: invalid return"},
        {"return }", 0, "syntax error: invalid return"},
        {"throw;", 0, "syntax error: invalid throw"},
        {"throw\n;", 0, "syntax error: invalid throw"},
        {"with o x;", 0, "syntax error: missing ( before with-statement object"},
        {"with (o x;", 0, "syntax error: missing ) after with-statement object"},
        {"with () x;", 0, "syntax error: invalid with-statement object"},
        {"with (o) )", 0, "syntax error: invalid with block"},
        {"switch x {}", 0, "syntax error: missing ( before switch expression"},
        {"switch (x {}", 0, "syntax error: missing ) after switch expression"},
        {"switch () {}", 0, "syntax error: invalid switch expression"},
        {"switch (x) case", 0, "syntax error: missing { before switch body"},
        {"switch (x) { case : }", 0, "syntax error: invalid case expression"},
        {"switch (x) { case 1\n a }", 1, "syntax error: missing : after case label"},
        {"switch (x) { default\n}", 1, "syntax error: missing : after case label"},
        {"try {}\nx", 1, "syntax error: missing catch or finally after try"},
        {"try {} catch e {}", 0, "syntax error: missing ( before catch"},
        {"try {} catch (\n1) {}", 1, "syntax error: missing identifier in catch"},
        {"try {} catch (e {}", 0, "syntax error: missing ) after catch"},
        {"try {} catch (e if a b) {}", 0, "syntax error: missing ) after catch"},
        {"var f = function () {};", 0, "syntax error: invalid variable initialization"},
        {"var a = ;", 0, "syntax error: invalid variable initialization"},
        {"var;", 0, "syntax error: missing variable name"},
        {"var 1;", 0, "syntax error: missing variable name"},
        {"for (var ;;) ;", 0, "syntax error: missing variable name"},
        {"if a) b;", 0, "syntax error: missing ( before condition"},
        {"while a", 0, "syntax error: missing ( before condition"},
        {"do x; while a", 0, "syntax error: missing ( before condition"},
        {"if (a b;", 0, "syntax error: missing ) after condition"},
        {"if () x;", 0, "syntax error: invalid condition expression"},
        {"while (\n) x;", 0, "syntax error: invalid condition expression"},
        {"do x; until (a);", 0, "syntax error: missing while after do-loop body"},
        {"for x", 0, "syntax error: missing ( after for"},
        {"for (a b)", 0, "syntax error: missing ; after for-loop initializer"},
        {"for (var a b)", 0, "syntax error: missing ; after for-loop initializer"},
        {"for (in o) ;", 0, "syntax error: invalid for-loop initializer or for-in expression"},
        {"for (;a b) ;", 0, "syntax error: missing ; after for-loop condition"},
        {"for (;) ;", 0, "syntax error: invalid for-loop condition expression"},
        {"for (;;a b) ;", 0, "syntax error: missing ) after for-loop control"},
        {"for (k in o ;", 0, "syntax error: missing ) after for-loop control"},
        {"for (;; ]) ;", 0, "syntax error: invalid for-loop control expression"},
        {"for (var i = 0, j = 0 in o) ;", 0, "syntax error: more than one variable declaration"},
        {"for (k in ) ;", 0, "syntax error: invalid expression"},
        // Expressions.
        {"x = ;", 0, "syntax error: invalid expression"},
        {"foo(function () {})", 0, "syntax error: invalid expression"},
        {"x += function () {}", 0, "syntax error: invalid expression"},
        {"a +\n;", 0, "syntax error: invalid expression"},
        {"f(,)", 0, "syntax error: invalid expression"},
        {"f(a,)", 0, "syntax error: invalid expression"},
        {"a, ;", 0, "syntax error: invalid expression"},
        {"!;", 0, "syntax error: invalid expression"},
        {"new ;", 0, "syntax error: invalid expression"},
        {"a[];", 0, "syntax error: invalid expression"},
        {"();", 0, "syntax error: invalid expression"},
        {"[1, ;]", 0, "syntax error: invalid expression"},
        {"x = {a: }", 0, "syntax error: invalid expression"},
        {"a ? : b", 0, "syntax error: invalid expression"},
        {"a ? b ;", 0, "syntax error: missing : in conditional expression"},
        {"[1 2]", 0, "syntax error: missing ] after element list"},
        {"[1\n2]", 1, "syntax error: missing ] after element list"},
        {"a[1;", 0, "syntax error: missing ] in index expression"},
        {"x = {a 1}", 0, "syntax error: missing : after property id"},
        {"x = {1.5: 2}", 0, "syntax error: invalid property id"},
        {"x = {if: 1}", 0, "syntax error: invalid property id"},
        {"x = {a: 1,\n,}", 1, "syntax error: invalid property id"},
        {"x = {a: 1\n b: 2}", 1, "syntax error: missing } after property list"},
        {"f(1 2)", 0, "syntax error: missing ) after argument list"},
        {"f(1\n 2)", 1, "syntax error: missing ) after argument list"},
        {"(a b", 0, "syntax error: missing ) in parenthetical"},
        // Without the prefix.
        {"a = 1 b = 2", 0, "missing ;"},
        {"x = 1\ny = 2 z", 1, "missing ;"},
        {"(L): ;", 0, "missing ;"},
        {"var a b", 0, "missing ;"},
        {"do x; while (a) y;", 0, "missing ;"},
        {"break L x", 0, "missing ;"},
        {"switch (x) { default: ; default: ; }", 0, "more than one switch default"},
        {"switch (x) {\ndefault:\ncase 1:\ndefault:\n}", 4, "more than one switch default"},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(Quote(c.source));
        ParseResult r = Parse(ctx, c.source);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.messages, "error: line " + std::to_string(c.line) + ": " + c.message + "\r\n");
    }
}

// Warnings written before the error stay; nothing follows the error line.
TEST_F(ParserErrorTest, FirstErrorEndsTheCompilation) {
    ParseResult r = Parse(ctx, "a = '\\q'\nb = 1 c = ;\nd = ) e = (", WarnSemicolonOption);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.state, nullptr);
    EXPECT_EQ(r.messages,
              "warning: line 0: unknown escape sequence '\\q'\r\n"
              "warning: line 0: missing ;\r\n"
              "error: line 1: missing ;\r\n");
}

// A later compilation in the same context starts afresh.
TEST_F(ParserErrorTest, ContextStaysUsableAfterAnError) {
    EXPECT_FALSE(Parse(ctx, "x = (").ok);
    ParseResult r = Parse(ctx, "x = function () {}");
    ASSERT_TRUE(r.ok) << r.messages;
    EXPECT_EQ(r.functions, "(function 0 0 @F_0 - [] [])");
    EXPECT_EQ(ctx->errorFrames, nullptr);
}

}  // namespace
}  // namespace kelpo::test
