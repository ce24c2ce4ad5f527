// The parser: a recursive-descent parser with one token of look-ahead that
// turns the token stream into the function list and the main list of the
// compile state. Every syntax error is fatal (CompileError).
//
// Each rule's function returns its node, or null when the construct cannot
// start at the next token (nothing is consumed then); the caller reports
// its own message.
#pragma once

#include "compiler/compile_state.h"
#include "compiler/syntax_tree.h"

namespace kelpo {

// Parses the whole source: function definitions go to the function list,
// statements to the main list (top-level "var" statements are global).
void ParseProgram(ScriptContext* context, CompileState* state);

// A statement, or null when none can start here.
SyntaxNode* ParseStatement(ScriptContext* context, CompileState* state);

// A function definition starting at "function"; appended to the function
// list when its body ends.
SyntaxNode* ParseFunctionDefinition(ScriptContext* context, CompileState* state);

// The comma and assignment levels of expressions.
SyntaxNode* ParseCommaExpression(ScriptContext* context, CompileState* state);
SyntaxNode* ParseAssignmentExpression(ScriptContext* context, CompileState* state);

}  // namespace kelpo
