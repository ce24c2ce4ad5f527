// Statement rules and automatic semicolon insertion.
//
// A statement node's line is the line of its first token.
#include "compiler/parser.h"
#include "compiler/parser_internal.h"

namespace kelpo {
namespace {

SyntaxNode* RequireStatement(ScriptContext* context, CompileState* state) {
    SyntaxNode* s = ParseStatement(context, state);
    if (s == nullptr) SyntaxError(context, state, state->lastLine, "invalid statement");
    return s;
}

SyntaxNode* RequireComma(ScriptContext* context, CompileState* state, const char* message) {
    SyntaxNode* e = ParseCommaExpression(context, state);
    if (e == nullptr) SyntaxError(context, state, state->lastLine, message);
    return e;
}

// After a statement that needs one: a ";" is consumed; otherwise a next
// token on the same line (other than "}" and end of input) is an error, and
// anything else gets a semicolon inserted.
void ParseSemicolon(ScriptContext* context, CompileState* state) {
    Token* t = PeekToken(context, state);
    if (t->kind == ';') {
        NextToken(context, state);
        return;
    }
    if (t->kind != '}' && t->kind != TokenEnd && t->line == state->lastLine) {
        CompileError(context, state, state->lastLine, "missing ;");
    }
    ++state->insertedSemicolons;
    if (state->options & WarnSemicolonOption) {
        CompileWarning(context, state, state->lastLine, "missing ;");
    }
}

SyntaxNode* MakeNode(ScriptContext* context, CompileState* state, int32_t kind, int line,
                     SyntaxNode* a = nullptr, SyntaxNode* b = nullptr, SyntaxNode* c = nullptr) {
    SyntaxNode* node = NewNode(context, kind, line);
    node->op[0].node = a;
    node->op[1].node = b;
    node->op[2].node = c;
    return FinishNode(context, state, node);
}

SyntaxNode* ParseBlock(ScriptContext* context, CompileState* state) {
    Token* open = NextToken(context, state);
    if (Accept(context, state, '}')) return MakeNode(context, state, NodeEmpty, open->line);
    SyntaxNode* list = ParseStatementList(context, state);
    Expect(context, state, '}', "missing } after block");
    return MakeNode(context, state, NodeBlock, open->line, list);
}

// A definition in statement position: inside another function a named one
// is stored on the enclosing function; otherwise nothing runs here.
SyntaxNode* ParseFunctionStatement(ScriptContext* context, CompileState* state) {
    SyntaxNode* function = ParseFunctionDefinition(context, state);
    const char* declared = FunctionDeclaredName(function);
    if (state->nestingDepth == 0 || declared == nullptr) {
        return MakeNode(context, state, NodeEmpty, function->line);
    }
    SyntaxNode* node = NewNode(context, NodeNestedFunction, function->line);
    NestedEnclosingName(node) = state->nesting[state->nestingDepth - 1];
    NestedCodeName(node) = FunctionCodeName(function);
    NestedDeclaredName(node) = declared;
    return FinishNode(context, state, node);
}

// Declarators: identifier [= assignment] {, identifier [= assignment]}.
// None at all leaves *count at 0 for the caller's message.
SyntaxNode* ParseDeclarators(ScriptContext* context, CompileState* state, int64_t* count) {
    NodeList list = {nullptr, nullptr};
    *count = 0;
    if (PeekKind(context, state) != TokenIdentifier) return nullptr;
    for (;;) {
        Token* name = NextToken(context, state);
        SyntaxNode* declarator = NewNode(context, NodeDeclarator, name->line);
        DeclaratorName(declarator) = name->value.text;
        if (Accept(context, state, '=')) {
            DeclaratorInitializer(declarator) = ParseAssignmentExpression(context, state);
            if (DeclaratorInitializer(declarator) == nullptr) {
                SyntaxError(context, state, state->lastLine, "invalid variable initialization");
            }
        }
        AppendNode(&list, FinishNode(context, state, declarator));
        ++*count;
        if (!Accept(context, state, ',')) return list.first;
        if (PeekKind(context, state) != TokenIdentifier) {
            SyntaxError(context, state, state->lastLine, "illegal identifier");
        }
    }
}

SyntaxNode* ParseVar(ScriptContext* context, CompileState* state) {
    Token* t = NextToken(context, state);
    SyntaxNode* node = NewNode(context, NodeVar, t->line);
    VarDeclarators(node) = ParseDeclarators(context, state, &VarCount(node));
    if (VarCount(node) == 0) SyntaxError(context, state, state->lastLine, "missing variable name");
    ParseSemicolon(context, state);
    return FinishNode(context, state, node);
}

// "(" condition ")" of "if", "while" and "do".
SyntaxNode* ParseCondition(ScriptContext* context, CompileState* state) {
    Expect(context, state, '(', "missing ( before condition");
    SyntaxNode* condition = RequireComma(context, state, "invalid condition expression");
    Expect(context, state, ')', "missing ) after condition");
    return condition;
}

SyntaxNode* ParseIf(ScriptContext* context, CompileState* state) {
    Token* t = NextToken(context, state);
    SyntaxNode* condition = ParseCondition(context, state);
    SyntaxNode* then = RequireStatement(context, state);
    SyntaxNode* otherwise = nullptr;
    if (Accept(context, state, TokenElse)) otherwise = RequireStatement(context, state);
    return MakeNode(context, state, NodeIf, t->line, condition, then, otherwise);
}

SyntaxNode* ParseWhile(ScriptContext* context, CompileState* state) {
    Token* t = NextToken(context, state);
    SyntaxNode* condition = ParseCondition(context, state);
    SyntaxNode* body = RequireStatement(context, state);
    return MakeNode(context, state, NodeWhile, t->line, condition, body);
}

SyntaxNode* ParseDo(ScriptContext* context, CompileState* state) {
    Token* t = NextToken(context, state);
    SyntaxNode* body = RequireStatement(context, state);
    Expect(context, state, TokenWhile, "missing while after do-loop body");
    SyntaxNode* condition = ParseCondition(context, state);
    ParseSemicolon(context, state);
    return MakeNode(context, state, NodeDo, t->line, condition, body);
}

SyntaxNode* ParseFor(ScriptContext* context, CompileState* state) {
    Token* t = NextToken(context, state);
    Expect(context, state, '(', "missing ( after for");
    SyntaxNode* declarators = nullptr;
    int64_t count = 0;
    SyntaxNode* init = nullptr;
    if (Accept(context, state, TokenVar)) {
        declarators = ParseDeclarators(context, state, &count);
        if (count == 0) SyntaxError(context, state, state->lastLine, "missing variable name");
    } else if (PeekKind(context, state) != ';') {
        init = RequireComma(context, state, "invalid for-loop initializer or for-in expression");
    }

    SyntaxNode* node;
    if (Accept(context, state, ';')) {
        node = NewNode(context, NodeFor, t->line);
        ForDeclarators(node) = declarators;
        ForInit(node) = init;
        if (PeekKind(context, state) != ';') {
            ForTest(node) = RequireComma(context, state, "invalid for-loop condition expression");
        }
        Expect(context, state, ';', "missing ; after for-loop condition");
        if (PeekKind(context, state) != ')') {
            ForStep(node) = RequireComma(context, state, "invalid for-loop control expression");
        }
        ForDeclaratorCount(node) = count;
    } else if (Accept(context, state, TokenIn)) {
        if (init != nullptr && init->kind != NodeIdentifier) {
            SyntaxError(context, state, state->lastLine, "illegal identifier");
        }
        if (count > 1) {
            SyntaxError(context, state, state->lastLine, "more than one variable declaration");
        }
        node = NewNode(context, NodeForIn, t->line);
        ForInDeclarators(node) = declarators;
        ForInTarget(node) = init;
        ForInObject(node) = RequireComma(context, state, "invalid expression");
    } else {
        SyntaxError(context, state, state->lastLine, "missing ; after for-loop initializer");
    }
    Expect(context, state, ')', "missing ) after for-loop control");
    (node->kind == NodeFor ? ForBody(node) : ForInBody(node)) = RequireStatement(context, state);
    return FinishNode(context, state, node);
}

SyntaxNode* ParseJump(ScriptContext* context, CompileState* state, int32_t kind) {
    Token* t = NextToken(context, state);
    SyntaxNode* node = NewNode(context, kind, t->line);
    Token* label = PeekToken(context, state);
    if (label->kind == TokenIdentifier && label->line == t->line) {
        NextToken(context, state);
        JumpLabel(node) = label->value.text;
    }
    ParseSemicolon(context, state);
    return FinishNode(context, state, node);
}

SyntaxNode* ParseReturn(ScriptContext* context, CompileState* state) {
    Token* t = NextToken(context, state);
    SyntaxNode* value = nullptr;
    Token* next = PeekToken(context, state);
    if (next->kind == ';') {
        NextToken(context, state);
    } else if (next->line == t->line) {
        value = RequireComma(context, state, "invalid return");
        ParseSemicolon(context, state);
    } else {
        ++state->insertedSemicolons;
        if (state->options & WarnSemicolonOption) {
            CompileWarning(context, state, t->line, "missing ;");
        }
    }
    return MakeNode(context, state, NodeReturn, t->line, value);
}

SyntaxNode* ParseSwitch(ScriptContext* context, CompileState* state) {
    Token* t = NextToken(context, state);
    Expect(context, state, '(', "missing ( before switch expression");
    SyntaxNode* discriminant = RequireComma(context, state, "invalid switch expression");
    Expect(context, state, ')', "missing ) after switch expression");
    Expect(context, state, '{', "missing { before switch body");
    NodeList clauses = {nullptr, nullptr};
    int defaults = 0;
    for (;;) {
        Token* start = PeekToken(context, state);
        if (start->kind == '}') break;
        SyntaxNode* clause = NewNode(context, NodeEmpty, start->line);
        if (start->kind == TokenCase) {
            NextToken(context, state);
            CaseTest(clause) = RequireComma(context, state, "invalid case expression");
        } else if (start->kind == TokenDefault) {
            NextToken(context, state);
            ++defaults;
        } else {
            SyntaxError(context, state, start->line, "missing } after switch block");
        }
        Token* colon = PeekToken(context, state);
        if (colon->kind != ':')
            SyntaxError(context, state, colon->line, "missing : after case label");
        NextToken(context, state);
        NodeList statements = {nullptr, nullptr};
        for (;;) {
            int32_t kind = PeekKind(context, state);
            if (kind == TokenCase || kind == TokenDefault || kind == '}') break;
            AppendNode(&statements, RequireStatement(context, state));
        }
        CaseStatements(clause) = statements.first;
        CaseEndLine(clause) = state->lastLine;
        AppendNode(&clauses, FinishNode(context, state, clause, &kCaseLayout));
    }
    NextToken(context, state);
    if (defaults > 1) CompileError(context, state, state->lastLine, "more than one switch default");
    SyntaxNode* node = NewNode(context, NodeSwitch, t->line);
    SwitchEndLine(node) = state->lastLine;
    SwitchDiscriminant(node) = discriminant;
    SwitchCases(node) = clauses.first;
    return FinishNode(context, state, node);
}

SyntaxNode* ParseWith(ScriptContext* context, CompileState* state) {
    Token* t = NextToken(context, state);
    Expect(context, state, '(', "missing ( before with-statement object");
    SyntaxNode* object = RequireComma(context, state, "invalid with-statement object");
    Expect(context, state, ')', "missing ) after with-statement object");
    SyntaxNode* body = ParseStatement(context, state);
    if (body == nullptr) SyntaxError(context, state, state->lastLine, "invalid with block");
    return MakeNode(context, state, NodeWith, t->line, object, body);
}

SyntaxNode* ParseCatch(ScriptContext* context, CompileState* state) {
    Token* t = NextToken(context, state);
    Expect(context, state, '(', "missing ( before catch");
    Token* name = PeekToken(context, state);
    if (name->kind != TokenIdentifier)
        SyntaxError(context, state, name->line, "missing identifier in catch");
    NextToken(context, state);
    SyntaxNode* clause = NewNode(context, NodeEmpty, t->line);
    CatchName(clause) = name->value.text;
    if (Accept(context, state, TokenIf)) {
        CatchGuard(clause) = RequireComma(context, state, "invalid statement");
    }
    Expect(context, state, ')', "missing ) after catch");
    CatchBody(clause) = RequireStatement(context, state);
    return FinishNode(context, state, clause, &kCatchLayout);
}

SyntaxNode* ParseTry(ScriptContext* context, CompileState* state) {
    Token* t = NextToken(context, state);
    SyntaxNode* node = NewNode(context, NodeTry, t->line);
    TryProtected(node) = RequireStatement(context, state);
    TryLineAfterProtected(node) = state->lastLine;
    Token* next = PeekToken(context, state);
    if (next->kind != TokenCatch && next->kind != TokenFinally) {
        SyntaxError(context, state, next->line, "missing catch or finally after try");
    }
    NodeList catches = {nullptr, nullptr};
    while (PeekKind(context, state) == TokenCatch) AppendNode(&catches, ParseCatch(context, state));
    TryLineAfterClauses(node) = state->lastLine;
    if (catches.last != nullptr) CatchListEndLine(catches.last) = state->lastLine;
    TryCatches(node) = catches.first;
    if (Accept(context, state, TokenFinally)) TryFinally(node) = RequireStatement(context, state);
    return FinishNode(context, state, node);
}

SyntaxNode* ParseThrow(ScriptContext* context, CompileState* state) {
    Token* t = NextToken(context, state);
    SyntaxNode* value = RequireComma(context, state, "invalid throw");
    ParseSemicolon(context, state);
    return MakeNode(context, state, NodeThrow, t->line, value);
}

// An expression statement, or a label when the expression is a lone
// identifier followed by ":" on the same line.
SyntaxNode* ParseExpressionStatement(ScriptContext* context, CompileState* state) {
    int32_t tokensBefore = state->tokenCount;
    SyntaxNode* e = ParseCommaExpression(context, state);
    if (e == nullptr) return nullptr;
    Token* next = PeekToken(context, state);
    if (e->kind == NodeIdentifier && state->tokenCount - tokensBefore == 1 && next->kind == ':' &&
        next->line == e->line) {
        NextToken(context, state);
        SyntaxNode* statement = ParseStatement(context, state);
        if (statement == nullptr) SyntaxError(context, state, state->lastLine, "invalid label");
        SyntaxNode* node = NewNode(context, NodeLabeled, e->line);
        LabeledName(node) = IdentifierName(e);
        LabeledStatement(node) = statement;
        return FinishNode(context, state, node);
    }
    ParseSemicolon(context, state);
    return MakeNode(context, state, NodeExpression, e->line, e);
}

}  // namespace

SyntaxNode* ParseStatementList(ScriptContext* context, CompileState* state) {
    NodeList list = {nullptr, nullptr};
    while (SyntaxNode* s = ParseStatement(context, state)) AppendNode(&list, s);
    return list.first;
}

SyntaxNode* ParseStatement(ScriptContext* context, CompileState* state) {
    ParseDepthGuard guard(context, state);
    switch (PeekKind(context, state)) {
        case '{': return ParseBlock(context, state);
        case TokenFunction: return ParseFunctionStatement(context, state);
        case TokenVar: return ParseVar(context, state);
        case TokenIf: return ParseIf(context, state);
        case TokenDo: return ParseDo(context, state);
        case TokenWhile: return ParseWhile(context, state);
        case TokenFor: return ParseFor(context, state);
        case ';': {
            Token* t = NextToken(context, state);
            return MakeNode(context, state, NodeEmpty, t->line);
        }
        case TokenContinue: return ParseJump(context, state, NodeContinue);
        case TokenBreak: return ParseJump(context, state, NodeBreak);
        case TokenReturn: return ParseReturn(context, state);
        case TokenSwitch: return ParseSwitch(context, state);
        case TokenWith: return ParseWith(context, state);
        case TokenTry: return ParseTry(context, state);
        case TokenThrow: return ParseThrow(context, state);
        default: return ParseExpressionStatement(context, state);
    }
}

}  // namespace kelpo
