// Function definitions: code names, the nesting stack and the function list.
//
// Every function becomes a code unit of its own. Anonymous functions, and
// every function nested in another one, get the code name "@F_" plus the
// anonymous counter; a nested function keeps its own name as declared
// name. Definitions join the function list when their body ends, so inner
// functions precede the functions that contain them.
#include <cstdio>
#include <cstring>

#include "compiler/parser.h"
#include "compiler/parser_internal.h"
#include "runtime/gc.h"

namespace kelpo {
namespace {

const char* NewAnonymousName(ScriptContext* context, CompileState* state) {
    char text[24];
    int length = snprintf(text, sizeof text, "@F_%d", state->anonymousCounter++);
    auto* name = static_cast<char*>(GcAlloc(context, static_cast<size_t>(length) + 1));
    memcpy(name, text, static_cast<size_t>(length) + 1);
    return name;
}

void PushNesting(ScriptContext* context, CompileState* state, const char* codeName) {
    if (state->nestingDepth == state->nestingCapacity) {
        int32_t capacity = state->nestingCapacity + 16;
        state->nesting = static_cast<const char**>(GcRealloc(
            context, state->nesting, sizeof(const char*) * static_cast<size_t>(capacity)));
        state->nestingCapacity = capacity;
    }
    state->nesting[state->nestingDepth++] = codeName;
}

// "(" identifiers separated by "," ")"; the parameters in source order.
SyntaxNode* ParseParameters(ScriptContext* context, CompileState* state) {
    Expect(context, state, '(', "missing ( before formal parameters");
    NodeList parameters = {nullptr, nullptr};
    if (Accept(context, state, ')')) return nullptr;
    for (;;) {
        if (PeekKind(context, state) != TokenIdentifier) {
            SyntaxError(context, state, state->lastLine, "illegal identifier");
        }
        Token* name = NextToken(context, state);
        SyntaxNode* parameter = NewNode(context, NodeIdentifier, name->line);
        IdentifierName(parameter) = name->value.text;
        AppendNode(&parameters, parameter);
        if (Accept(context, state, ',')) continue;
        if (Accept(context, state, ')')) return parameters.first;
        SyntaxError(context, state, state->lastLine, "missing ) after formal parameters");
    }
}

}  // namespace

SyntaxNode* ParseFunctionDefinition(ScriptContext* context, CompileState* state) {
    Token* keyword = NextToken(context, state);
    int32_t argumentsBefore = state->argumentsCount;
    const char* name = nullptr;
    if (PeekKind(context, state) == TokenIdentifier) name = NextToken(context, state)->value.text;
    const char* codeName = name;
    if (name == nullptr || state->nestingDepth > 0) codeName = NewAnonymousName(context, state);
    PushNesting(context, state, codeName);

    SyntaxNode* node = NewNode(context, NodeFunction, keyword->line);
    FunctionCodeName(node) = codeName;
    FunctionDeclaredName(node) = name;
    FunctionParameters(node) = ParseParameters(context, state);
    if (PeekKind(context, state) != '{') {
        SyntaxError(context, state, state->lastLine, "invalid function body");
    }
    NextToken(context, state);
    FunctionBody(node) = ParseStatementList(context, state);
    Expect(context, state, '}', "missing } after block");
    FunctionEndLine(node) = state->lastLine;
    FunctionUsesArguments(node) = state->argumentsCount > argumentsBefore ? 1 : 0;
    FinishNode(context, state, node);

    --state->nestingDepth;
    AppendNode(&state->functions, node);
    return node;
}

}  // namespace kelpo
