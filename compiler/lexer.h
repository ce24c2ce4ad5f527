// The lexer: source bytes to tokens, with one token of look-ahead.
//
// Bytes come from the compilation's source stream, whose line counter the
// lexer keeps (lines counted from 0). The source ends at the first 0 byte,
// even when a file continues behind it. Regular-expression literals are only
// scanned on request of the parser, right after it consumed a "/" where an
// operand is expected.
#pragma once

#include <cstdint>

#include "compiler/compile_state.h"
#include "compiler/tokens.h"

namespace kelpo {

// Regular-expression flag bits.
constexpr int32_t RegExpGlobal = 1;
constexpr int32_t RegExpIgnoreCase = 2;
constexpr int32_t RegExpMultiline = 4;

struct RegExpLiteral {
    const char* source;  // NUL-terminated pattern text
    int32_t flags;
};

// Consumes a token: the pending look-ahead, else a newly scanned one.
// Counts tokens and "arguments" identifiers and records the token's line as
// the last consumed line.
Token* NextToken(ScriptContext* context, CompileState* state);

// The next token without consuming it (scanned and kept when none is
// pending; at most one token is ever pending).
Token* PeekToken(ScriptContext* context, CompileState* state);

// The scanner proper: the next token from the source.
Token* ScanToken(ScriptContext* context, CompileState* state);

// The rest of a regular-expression literal after its opening "/".
RegExpLiteral ScanRegExp(ScriptContext* context, CompileState* state);

// Decodes the escape after a backslash into one byte. `literalName` names
// the literal kind in messages ("string", "character", "regular expression").
int ScanEscape(ScriptContext* context, CompileState* state, const char* literalName);

}  // namespace kelpo
