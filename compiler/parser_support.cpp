// Shared parse helpers and the program rule.
#include "compiler/parser.h"
#include "compiler/parser_internal.h"
#include "runtime/gc.h"

#include <cstring>

namespace kelpo {

const char kTooDeeplyNested[] = "too deeply nested";

void SyntaxError(ScriptContext* context, CompileState* state, int line, const char* text) {
    CompileError(context, state, line, "syntax error: %s", text);
}

void Expect(ScriptContext* context, CompileState* state, int32_t kind, const char* text) {
    if (!Accept(context, state, kind)) SyntaxError(context, state, state->lastLine, text);
}

SyntaxNode* NewNode(ScriptContext* context, int32_t kind, int line) {
    auto* node = static_cast<SyntaxNode*>(GcAllocPacked(context, sizeof(SyntaxNode)));
    memset(node, 0, sizeof *node);
    node->kind = kind;
    node->line = line;
    node->height = 1;
    return node;
}

SyntaxNode* FinishNode(ScriptContext* context, CompileState* state, SyntaxNode* node,
                       const NodeLayout* layout) {
    if (layout == nullptr) layout = LayoutOfKind(node->kind);
    node->height = ComputeHeight(node, layout);
    if (node->height > kMaxTreeHeight) {
        SyntaxError(context, state, state->lastLine, kTooDeeplyNested);
    }
    return node;
}

void AppendNode(NodeList* list, SyntaxNode* node) {
    node->next = nullptr;
    if (list->last == nullptr) {
        list->first = node;
    } else {
        list->last->next = node;
    }
    list->last = node;
}

ParseDepthGuard::ParseDepthGuard(ScriptContext* context, CompileState* state) : state_(state) {
    if (++state->parseDepth > kMaxParseDepth) {
        SyntaxError(context, state, state->lastLine, kTooDeeplyNested);
    }
}

void ParseProgram(ScriptContext* context, CompileState* state) {
    while (PeekKind(context, state) != TokenEnd) {
        if (PeekKind(context, state) == TokenFunction) {
            // A top-level definition only joins the function list.
            ParseFunctionDefinition(context, state);
            continue;
        }
        SyntaxNode* statement = ParseStatement(context, state);
        if (statement == nullptr) SyntaxError(context, state, state->lastLine, "invalid statement");
        if (statement->kind == NodeVar) VarIsGlobal(statement) = 1;
        AppendNode(&state->main, statement);
    }
}

}  // namespace kelpo
