#include "tests/unit/compiler/compiler_test_support.h"

#include <cstdio>

#include "compiler/diagnostics.h"
#include "compiler/parse_source.h"
#include "compiler/syntax_print.h"

namespace kelpo::test {

std::string Quote(const char* text) {
    std::string out = "\"";
    for (const char* p = text; *p != '\0'; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 32 || c >= 127) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\x%02X", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string DescribeToken(const Token* token) {
    char text[64];
    switch (token->kind) {
        case TokenEnd: return "end";
        case TokenInteger:
            snprintf(text, sizeof text, "int:%lld", static_cast<long long>(token->value.integer));
            return text;
        case TokenFloat:
            snprintf(text, sizeof text, "float:%.17g", token->value.number);
            return text;
        case TokenString: return "str:" + Quote(token->value.text);
        case TokenIdentifier: return std::string("id:") + token->value.text;
        default: break;
    }
    if (token->kind < 0) return "byte:" + std::to_string(token->kind);
    return TokenSpelling(token->kind);
}

std::string MemoryText(const ScriptStream* stream) {
    const unsigned char* bytes = MemoryStreamBytes(stream);
    if (bytes == nullptr) return "";
    return std::string(reinterpret_cast<const char*>(bytes), MemoryStreamSize(stream));
}

LexResult LexStream(ScriptContext* ctx, ScriptStream* source, uint32_t options) {
    LexResult result;
    CatchRaise(ctx, [&] {
        result.state = NewCompileState(ctx);
        PrepareCompileState(ctx, result.state, source, options);
        try {
            for (;;) {
                Token* t = NextToken(ctx, result.state);
                result.tokens.push_back(DescribeToken(t));
                result.lines.push_back(t->line);
                if (t->kind == TokenEnd) break;
            }
        } catch (const CompileAbort&) {
            result.failed = true;
        }
    });
    if (result.state != nullptr) result.messages = MemoryText(result.state->messages);
    return result;
}

LexResult LexAll(ScriptContext* ctx, const char* text, uint32_t options) {
    LexResult result;
    ScriptStream* source = nullptr;
    CatchRaise(ctx, [&] { source = OpenScriptStream(ctx, text, TextSourceStream); });
    return LexStream(ctx, source, options);
}

RegExpResult ScanRegExpOf(ScriptContext* ctx, const char* text) {
    RegExpResult result;
    CompileState* state = nullptr;
    CatchRaise(ctx, [&] {
        state = NewCompileState(ctx);
        PrepareCompileState(ctx, state, OpenScriptStream(ctx, text, TextSourceStream), 0);
        try {
            Token* slash = NextToken(ctx, state);
            EXPECT_EQ(slash->kind, '/');
            RegExpLiteral literal = ScanRegExp(ctx, state);
            result.source = literal.source;
            result.flags = literal.flags;
            result.after = DescribeToken(NextToken(ctx, state));
        } catch (const CompileAbort&) {
            result.failed = true;
        }
    });
    if (state != nullptr) result.messages = MemoryText(state->messages);
    return result;
}

std::string PrintList(ScriptContext* ctx, const SyntaxNode* list, int flags) {
    std::string text;
    CatchRaise(ctx, [&] {
        ScriptStream* out = OpenScriptStream(ctx, nullptr, MemoryStream);
        PrintSyntaxList(ctx, out, list, flags);
        text = MemoryText(out);
    });
    return text;
}

ParseResult Parse(ScriptContext* ctx, const char* text, uint32_t options, int flags) {
    ParseResult result;
    result.state = ParseSource(ctx, text, options, &result.messages);
    result.ok = result.state != nullptr;
    if (result.ok) {
        result.main = PrintList(ctx, result.state->main.first, flags);
        result.functions = PrintList(ctx, result.state->functions.first, flags);
    }
    return result;
}

}  // namespace kelpo::test
