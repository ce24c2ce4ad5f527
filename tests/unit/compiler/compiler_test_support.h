// Helpers for the compiler front-end tests: token descriptions, whole-source
// scans and parses with their messages, and trees in printed form.
#pragma once

#include <string>
#include <vector>

#include "compiler/compile_state.h"
#include "compiler/lexer.h"
#include "compiler/script_stream.h"
#include "compiler/syntax_tree.h"
#include "tests/unit/test_support.h"

namespace kelpo::test {

// "id:x", "int:5", "float:1.5", "str:\"a\\x0A\"", "end", "byte:-128", or
// the spelling of a keyword, operator or punctuation character.
std::string DescribeToken(const Token* token);

// Text with bytes outside printable ASCII as \xHH (and \" \\ escaped).
std::string Quote(const char* text);

struct LexResult {
    bool failed = false;              // a compile error ended the scan
    std::vector<std::string> tokens;  // up to and including "end"
    std::vector<int> lines;
    std::string messages;
    CompileState* state = nullptr;
};

// Scans a whole source with NextToken.
LexResult LexAll(ScriptContext* ctx, const char* text, uint32_t options = 0);
LexResult LexStream(ScriptContext* ctx, ScriptStream* source, uint32_t options = 0);

struct RegExpResult {
    bool failed = false;
    std::string source;
    int flags = 0;
    std::string after;  // the token that follows the literal
    std::string messages;
};

// Consumes the leading "/" token of `text`, then scans a regular expression.
RegExpResult ScanRegExpOf(ScriptContext* ctx, const char* text);

struct ParseResult {
    bool ok = false;
    std::string main;       // printed main list
    std::string functions;  // printed function list
    std::string messages;
    CompileState* state = nullptr;
};

ParseResult Parse(ScriptContext* ctx, const char* text, uint32_t options = 0, int flags = 0);

// Printed form of a node list.
std::string PrintList(ScriptContext* ctx, const SyntaxNode* list, int flags = 0);

// The bytes written to a memory stream.
std::string MemoryText(const ScriptStream* stream);

}  // namespace kelpo::test
