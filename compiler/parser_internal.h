// Helpers shared by the parse functions: token tests, syntax errors, node
// construction with the tree-height bound, and the recursion guard.
#pragma once

#include "compiler/compile_state.h"
#include "compiler/diagnostics.h"
#include "compiler/lexer.h"
#include "compiler/syntax_tree.h"

namespace kelpo {

inline int32_t PeekKind(ScriptContext* context, CompileState* state) {
    return PeekToken(context, state)->kind;
}

// Consumes the next token when it is of `kind`.
inline bool Accept(ScriptContext* context, CompileState* state, int32_t kind) {
    if (PeekKind(context, state) != kind) return false;
    NextToken(context, state);
    return true;
}

// "syntax error: TEXT" at `line`; never returns.
[[noreturn]] void SyntaxError(ScriptContext* context, CompileState* state, int line,
                              const char* text);

// "syntax error: TEXT" at the last consumed line unless the next token is
// of `kind`, which is then consumed.
void Expect(ScriptContext* context, CompileState* state, int32_t kind, const char* text);

// A zero-filled node of `kind` (height 1).
SyntaxNode* NewNode(ScriptContext* context, int32_t kind, int line);

// Completes a node whose operands are set: computes its height from the
// layout of its kind (or the given record layout) and refuses a tree that
// would be too high to walk recursively.
SyntaxNode* FinishNode(ScriptContext* context, CompileState* state, SyntaxNode* node,
                       const NodeLayout* layout = nullptr);

void AppendNode(NodeList* list, SyntaxNode* node);

// Counts the recursion of the parse functions; nesting deeper than
// kMaxParseDepth is a compile error rather than a native stack overflow.
class ParseDepthGuard {
public:
    ParseDepthGuard(ScriptContext* context, CompileState* state);
    ~ParseDepthGuard() { --state_->parseDepth; }
    ParseDepthGuard(const ParseDepthGuard&) = delete;
    ParseDepthGuard& operator=(const ParseDepthGuard&) = delete;

private:
    CompileState* state_;
};

// Statements until one cannot start; the first of them (null for none).
SyntaxNode* ParseStatementList(ScriptContext* context, CompileState* state);

// The message of both nesting limits.
extern const char kTooDeeplyNested[];

}  // namespace kelpo
