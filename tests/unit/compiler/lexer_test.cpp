// The lexer: every token kind, numbers, literals and escapes, comments,
// line counting, regular expressions, the keyword table and diagnostics.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "compiler/tokens.h"
#include "runtime/atoms.h"
#include "tests/unit/compiler/compiler_test_support.h"

namespace kelpo::test {
namespace {

using Tokens = std::vector<std::string>;

struct ScanCase {
    const char* source;
    Tokens tokens;  // without the final "end"
};

class LexerTest : public ContextTest {
protected:
    void ExpectScans(const ScanCase& c) {
        SCOPED_TRACE(Quote(c.source));
        LexResult r = LexAll(ctx, c.source);
        ASSERT_FALSE(r.failed) << r.messages;
        Tokens expected = c.tokens;
        expected.push_back("end");
        EXPECT_EQ(r.tokens, expected);
        EXPECT_EQ(r.messages, "");
    }
};

TEST_F(LexerTest, OperatorsAndPunctuation) {
    const ScanCase cases[] = {
        {"a<<=b>>>=c", {"id:a", "<<=", "id:b", ">>>=", "id:c"}},
        {"= == === ! != !==", {"=", "==", "===", "!", "!=", "!=="}},
        {"< <= << <<= > >= >> >>= >>> >>>=",
         {"<", "<=", "<<", "<<=", ">", ">=", ">>", ">>=", ">>>", ">>>="}},
        {"& && &= | || |= + ++ += - -- -=",
         {"&", "&&", "&=", "|", "||", "|=", "+", "++", "+=", "-", "--", "-="}},
        {"* *= / /= % %= ^ ^=", {"*", "*=", "/", "/=", "%", "%=", "^", "^="}},
        {"====", {"===", "="}},
        {"!===", {"!==", "="}},
        {">>>>=", {">>>", ">="}},
        {"a+++b", {"id:a", "++", "+", "id:b"}},
        {"( ) [ ] { } ; , . ? : ~ @ ` \\",
         {"(", ")", "[", "]", "{", "}", ";", ",", ".", "?", ":", "~", "@", "`", "\\"}},
        {"a.b", {"id:a", ".", "id:b"}},
        {"\x80 \xff", {"byte:-128", "byte:-1"}},
        {"#", {"#"}},
        {"a # b", {"id:a", "#", "id:b"}},
    };
    for (const ScanCase& c : cases) ExpectScans(c);
}

TEST_F(LexerTest, TokenKindNumbers) {
    const struct {
        const char* text;
        int32_t kind;
    } cases[] = {
        {"==", 168},  {"!=", 169},   {"<=", 170},    {">=", 171},   {"&&", 172},  {"||", 173},
        {"++", 174},  {"--", 175},   {"*=", 176},    {"/=", 177},   {"%=", 178},  {"+=", 179},
        {"-=", 180},  {"&=", 181},   {"^=", 182},    {"|=", 183},   {"<<=", 184}, {"<<", 185},
        {">>", 186},  {">>>", 187},  {">>=", 188},   {">>>=", 189}, {"===", 190}, {"!==", 191},
        {"(", 40},    {";", 59},     {"\x80", -128}, {"", 128},     {"7", 129},   {"7.5", 130},
        {"'s'", 131}, {"name", 132},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        CompileState* state = nullptr;
        Token* t = nullptr;
        ASSERT_TRUE(Run([&] {
            state = NewCompileState(ctx);
            PrepareCompileState(ctx, state, OpenScriptStream(ctx, c.text, TextSourceStream), 0);
            t = NextToken(ctx, state);
        }));
        EXPECT_EQ(t->kind, c.kind);
    }
}

TEST_F(LexerTest, EveryKeywordScansToItsKind) {
    ASSERT_EQ(kKeywordCount, 36);
    const struct {
        const char* word;
        int32_t kind;
    } numbers[] = {
        {"break", 133},     {"continue", 134}, {"delete", 135}, {"else", 136},  {"for", 137},
        {"function", 138},  {"if", 139},       {"in", 140},     {"new", 141},   {"return", 142},
        {"this", 143},      {"typeof", 144},   {"var", 145},    {"void", 146},  {"while", 147},
        {"with", 148},      {"case", 149},     {"catch", 150},  {"class", 151}, {"const", 152},
        {"debugger", 153},  {"default", 154},  {"do", 155},     {"enum", 156},  {"export", 157},
        {"extends", 158},   {"finally", 159},  {"import", 160}, {"super", 161}, {"switch", 162},
        {"throw", 163},     {"try", 164},      {"null", 165},   {"true", 166},  {"false", 167},
        {"undefined", 192},
    };
    for (const auto& k : numbers) {
        SCOPED_TRACE(k.word);
        CompileState* state = nullptr;
        Token* t = nullptr;
        ASSERT_TRUE(Run([&] {
            state = NewCompileState(ctx);
            PrepareCompileState(ctx, state, OpenScriptStream(ctx, k.word, TextSourceStream), 0);
            t = NextToken(ctx, state);
        }));
        EXPECT_EQ(t->kind, k.kind);
    }
    // Near misses are identifiers.
    ExpectScans({"instanceof If whilex _if $do do1",
                 {"id:instanceof", "id:If", "id:whilex", "id:_if", "id:$do", "id:do1"}});
}

TEST_F(LexerTest, KeywordTableIsHashedAndInsertedOnce) {
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(Run([&] { InsertKeywords(ctx); }));
    }
    int entries = 0;
    for (int bucket = 0; bucket < kKeywordBuckets; ++bucket) {
        for (KeywordEntry* e = ctx->keywordTable[bucket]; e != nullptr; e = e->next) {
            ++entries;
            EXPECT_EQ(static_cast<int>(NameHash(e->name, strlen(e->name)) & 31), bucket) << e->name;
            EXPECT_EQ(LookupKeyword(ctx, e->name, strlen(e->name)), e->token);
        }
    }
    EXPECT_EQ(entries, kKeywordCount);
    EXPECT_EQ(LookupKeyword(ctx, "whilex", 5), TokenWhile);  // length-limited lookup
    EXPECT_EQ(LookupKeyword(ctx, "whil", 4), 0);
}

TEST_F(LexerTest, Identifiers) {
    std::string longName(5000, 'n');
    const ScanCase cases[] = {
        {"$ _ a1 A_b$9", {"id:$", "id:_", "id:a1", "id:A_b$9"}},
        {"x\xE9y", {"id:x", "byte:-23", "id:y"}},
        {"9a", {"int:9", "id:a"}},
    };
    for (const ScanCase& c : cases) ExpectScans(c);
    ExpectScans({longName.c_str(), {"id:" + longName}});
}

TEST_F(LexerTest, Numbers) {
    const ScanCase cases[] = {
        {"0", {"int:0"}},
        {"42", {"int:42"}},
        {"9223372036854775807", {"int:9223372036854775807"}},
        {"9223372036854775808", {"float:9.2233720368547758e+18"}},
        {"18446744073709551615", {"float:1.8446744073709552e+19"}},
        {"20000000000000000000", {"float:2e+19"}},
        {"0x", {"int:0"}},
        {"0x1F 0XaB", {"int:31", "int:171"}},
        {"0xFFFFFFFFFFFFFFFF", {"int:-1"}},
        {"0x10000000000000002", {"int:2"}},  // wraps on 64 bits
        {"0xg", {"int:0", "id:g"}},
        {"0777", {"int:511"}},
        {"09", {"int:0", "int:9"}},
        {"0778", {"int:63", "int:8"}},
        {"00", {"int:0"}},
        {"1.", {"float:1"}},
        {"1.5", {"float:1.5"}},
        {"0.25", {"float:0.25"}},
        {".5", {"float:0.5"}},
        {".5.3", {"float:0.5", ".", "int:3"}},
        {"1.5.3", {"float:1.5", "float:0.29999999999999999"}},
        {".5..3", {"float:0.5", ".", "float:0.29999999999999999"}},
        {"1e3 1E3 1e+3 1e-3", {"float:1000", "float:1000", "float:1000", "float:0.001"}},
        {"0e1 0.e1", {"float:0", "float:0"}},
        {".5e1", {"float:5"}},
        {"1e400", {"float:inf"}},
        {"5..x", {"float:5", ".", "id:x"}},
        {"3.x", {"float:3", "id:x"}},
    };
    for (const ScanCase& c : cases) ExpectScans(c);
}

TEST_F(LexerTest, CharacterLiterals) {
    const ScanCase cases[] = {
        {"#'a'", {"int:97"}},           {"#'\\n'", {"int:10"}},   {"#'\\''", {"int:39"}},
        {"#'\\x41'", {"int:65"}},       {"#'\\xff'", {"int:-1"}}, {"#'\xe9'", {"int:-23"}},
        {"#''' x", {"int:39", "id:x"}}, {"#'\"'", {"int:34"}},
    };
    for (const ScanCase& c : cases) ExpectScans(c);
}

struct StringCase {
    const char* source;
    std::string value;  // quoted form
};

TEST_F(LexerTest, StringLiteralsAndEscapes) {
    const StringCase cases[] = {
        {"''", "\"\""},
        {"\"it's\"", "\"it's\""},
        {"'say \"hi\"'", "\"say \\\"hi\\\"\""},
        {"'\\a\\b\\f\\n\\r\\t\\v'", "\"\\x07\\x08\\x0C\\x0A\\x0D\\x09\\x0B\""},
        {"'\\\"\\'\\?\\\\'", "\"\\\"'?\\\\\""},
        {"'\\x41\\x7a'", "\"Az\""},
        {"'\\u4e41'", "\"A\""},
        {"'\\u00e9'", "\"\\xE9\""},
        {"'\\101'", "\"A\""},
        {"'\\0101'", "\"A\""},
        {"'\\1011'", "\"A1\""},
        {"'\\61\\7'", "\"1\\x07\""},
        {"'\\501'", "\"A\""},    // truncated to a byte
        {"'\\08'", "\"\""},      // a 0 byte ends the narrow text
        {"'a\\\nb'", "\"ab\""},  // line continuation
        {"'a\nb'", "\"a\\x0Ab\""},
        {"'\xe9'", "\"\\xE9\""},
    };
    for (const StringCase& c : cases) {
        SCOPED_TRACE(Quote(c.source));
        LexResult r = LexAll(ctx, c.source);
        ASSERT_FALSE(r.failed) << r.messages;
        ASSERT_EQ(r.tokens.size(), 2u);
        EXPECT_EQ(r.tokens[0], "str:" + c.value);
        EXPECT_EQ(r.messages, "");
    }
}

TEST_F(LexerTest, CommentsAndSeparators) {
    const ScanCase cases[] = {
        {"x/**/y", {"id:x", "id:y"}},
        {"x/* a * / b **/y", {"id:x", "id:y"}},
        {"x/*/ y */z", {"id:x", "id:z"}},
        {"x /* unterminated", {"id:x"}},
        {"x // rest\ny", {"id:x", "id:y"}},
        {"x // at the end", {"id:x"}},
        {"#!/bin/run\nx", {"id:x"}},
        {"a#!b\nc", {"id:a", "id:c"}},
        {"\t\v\f\r a \r\n", {"id:a"}},
        {"a/b", {"id:a", "/", "id:b"}},
        {"", {}},
    };
    for (const ScanCase& c : cases) ExpectScans(c);
}

TEST_F(LexerTest, LinesAreCountedFromZeroThroughEveryKindOfBreak) {
    const struct {
        const char* source;
        std::vector<int> lines;  // of every token including end
    } cases[] = {
        {"a\nb\r\n\nc", {0, 1, 3, 3}},
        {"'x\ny' z", {0, 1, 1}},
        {"'x\\\ny' z", {0, 1, 1}},
        {"a /* 1\n2\n */ b", {0, 2, 2}},
        {"a // c\nb", {0, 1, 1}},
        {"#!x\na", {1, 1}},
        {"#'\n' a", {0, 1, 1}},
        {"\n\n", {2}},
        {"a\n", {0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Quote(c.source));
        LexResult r = LexAll(ctx, c.source);
        ASSERT_FALSE(r.failed) << r.messages;
        EXPECT_EQ(r.lines, c.lines);
    }
}

struct DiagnosticCase {
    const char* source;
    uint32_t options;
    bool fails;
    const char* messages;
};

TEST_F(LexerTest, ErrorsAndWarningsWithTheirLines) {
    const DiagnosticCase cases[] = {
        {"1e", 0, true, "error: line 0: invalid exponent part in a decimal literal\r\n"},
        {"\n1e+x", 0, true, "error: line 1: invalid exponent part in a decimal literal\r\n"},
        {"#'ab'", 0, true, "error: line 0: illegal character\r\n"},
        {"#'a", 0, true, "error: line 0: illegal character\r\n"},
        {"'abc", 0, true, "error: line 0: unterminated string constant\r\n"},
        {"\"a\nb", 0, true, "error: line 1: unterminated string constant\r\n"},
        {"'a\\", 0, true, "error: line 0: unterminated string constant\r\n"},
        {"'\\x4", 0, true, "error: line 0: unterminated string constant\r\n"},
        {"'\\u12", 0, true, "error: line 0: unterminated string constant\r\n"},
        {"'\\x4g'", 0, true, "error: line 0: illegal character '\\x4g'\r\n"},
        {"'\\u12g4'", 0, true, "error: line 0: illegal unicode character '\\u12g4'\r\n"},
        {"#'\\xZ1'", 0, true, "error: line 0: illegal character '\\xZ1'\r\n"},
        {"'\\q'", 0, false, "warning: line 0: unknown escape sequence '\\q'\r\n"},
        {"\n'\\q\\w'", 0, false,
         "warning: line 1: unknown escape sequence '\\q'\r\n"
         "warning: line 1: unknown escape sequence '\\w'\r\n"},
        {"'a\nb\nc'", 0, false, ""},
        {"'a\nb\nc' \"\n\"", WarnLineTerminatorOption, false,
         "warning: line 0: ECMAScript don't allow line terminators in string constants\r\n"
         "warning: line 2: ECMAScript don't allow line terminators in string constants\r\n"},
        {"'a\\\nb'", WarnLineTerminatorOption, false, ""},
        {"x\n'\\q' 1e", 0, true,
         "warning: line 1: unknown escape sequence '\\q'\r\n"
         "error: line 1: invalid exponent part in a decimal literal\r\n"},
    };
    for (const DiagnosticCase& c : cases) {
        SCOPED_TRACE(Quote(c.source));
        LexResult r = LexAll(ctx, c.source, c.options);
        EXPECT_EQ(r.failed, c.fails);
        EXPECT_EQ(r.messages, c.messages);
    }
}

TEST_F(LexerTest, StringValueWithWarning) {
    LexResult r = LexAll(ctx, "'\\q'");
    EXPECT_EQ(r.tokens[0], "str:\"q\"");
}

TEST_F(LexerTest, RegularExpressions) {
    const struct {
        const char* text;
        std::string source;  // quoted
        int flags;
        const char* after;
    } cases[] = {
        {"/[a-z]+\\//gi", "\"[a-z]+\\\\/\"", 3, "end"},
        {"/a/", "\"a\"", 0, "end"},
        {"/a/mgim x", "\"a\"", 7, "id:x"},
        {"/a/x", "\"a\"", 0, "id:x"},
        {"/a/ g", "\"a\"", 0, "id:g"},
        {"/\\d+\\.\\s/", "\"\\\\d+\\\\.\\\\s\"", 0, "end"},
        {"/\\f\\n\\r\\t\\v/", "\"\\x0C\\x0A\\x0D\\x09\\x0B\"", 0, "end"},
        {"/\\x41\\u0042/", "\"AB\"", 0, "end"},
        {"/a\\101/", "\"a\\\\101\"", 0, "end"},
        {"/\\cJ\\c//", "\"\\\\cJ\\\\c/\"", 0, "end"},
        {"/a\\\nb/", "\"ab\"", 0, "end"},
        {"/a\nb/", "\"a\\x0Ab\"", 0, "end"},
        {"/'\"/", "\"'\\\"\"", 0, "end"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Quote(c.text));
        RegExpResult r = ScanRegExpOf(ctx, c.text);
        ASSERT_FALSE(r.failed) << r.messages;
        EXPECT_EQ(Quote(r.source.c_str()), c.source);
        EXPECT_EQ(r.flags, c.flags);
        EXPECT_EQ(r.after, c.after);
    }
}

TEST_F(LexerTest, RegularExpressionErrors) {
    const struct {
        const char* text;
        const char* messages;
    } cases[] = {
        {"/abc", "error: line 0: unterminated regular expression constant\r\n"},
        {"/a\n\nb", "error: line 2: unterminated regular expression constant\r\n"},
        {"/a\\", "error: line 0: unterminated regular expression constant\r\n"},
        {"/a\\c", "error: line 0: unterminated regular expression constant\r\n"},
        {"/\\x4", "error: line 0: unterminated regular expression constant\r\n"},
        {"/\\u00zz/", "error: line 0: illegal unicode character '\\u00zz'\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Quote(c.text));
        RegExpResult r = ScanRegExpOf(ctx, c.text);
        EXPECT_TRUE(r.failed);
        EXPECT_EQ(r.messages, c.messages);
    }
}

TEST_F(LexerTest, RegExpLinesContinueTheCount) {
    CompileState* state = nullptr;
    Token* after = nullptr;
    ASSERT_TRUE(Run([&] {
        state = NewCompileState(ctx);
        PrepareCompileState(ctx, state, OpenScriptStream(ctx, "/a\nb\\\nc/ x", TextSourceStream),
                            0);
        NextToken(ctx, state);
        ScanRegExp(ctx, state);
        after = NextToken(ctx, state);
    }));
    EXPECT_EQ(after->line, 2);
}

TEST_F(LexerTest, LookAheadAndCounters) {
    CompileState* state = nullptr;
    ASSERT_TRUE(Run([&] {
        state = NewCompileState(ctx);
        PrepareCompileState(
            ctx, state, OpenScriptStream(ctx, "arguments\nx arguments.Arguments", TextSourceStream),
            0);
        Token* peeked = PeekToken(ctx, state);
        EXPECT_EQ(PeekToken(ctx, state), peeked);
        EXPECT_EQ(state->tokenCount, 0);
        EXPECT_EQ(NextToken(ctx, state), peeked);
        EXPECT_EQ(state->tokenCount, 1);
        EXPECT_EQ(state->argumentsCount, 1);
        EXPECT_EQ(state->lastLine, 0);
        PeekToken(ctx, state);
        EXPECT_EQ(state->lastLine, 0);  // peeking consumes nothing
        while (NextToken(ctx, state)->kind != TokenEnd) {}
        EXPECT_EQ(state->tokenCount, 6);
        EXPECT_EQ(state->argumentsCount, 2);  // "Arguments" does not count
        EXPECT_EQ(state->lastLine, 1);
    }));
}

TEST_F(LexerTest, FileSourceEndsAtFirstNulByte) {
    std::string path = ::testing::TempDir() + "kelpo_lexer_nul.kls";
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite("a /* c\0 */ b\0c d", 1, 16, f);
    fclose(f);
    ScriptStream* s = nullptr;
    ASSERT_TRUE(Run([&] { s = OpenScriptStream(ctx, path.c_str(), FileReaderStream); }));
    ASSERT_NE(s, nullptr);
    LexResult r = LexStream(ctx, s);
    EXPECT_EQ(r.tokens, (Tokens{"id:a", "end"}));
    // Asking again after the end still gives the end.
    ASSERT_TRUE(Run([&] { EXPECT_EQ(NextToken(ctx, r.state)->kind, TokenEnd); }));
    CloseScriptStream(ctx, s);
    remove(path.c_str());
}

}  // namespace
}  // namespace kelpo::test
