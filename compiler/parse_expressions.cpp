// Expression rules, from the comma level down to primary expressions.
//
// Binary levels are left-associative loops driven by one table, loosest
// first. A node's line is the line where its construct begins.
#include <cstring>

#include "compiler/parser.h"
#include "compiler/parser_internal.h"
#include "runtime/gc.h"

namespace kelpo {
namespace {

struct BinaryLevel {
    int32_t node;
    int32_t ops[4];  // 0 ends the list
};

const BinaryLevel kBinaryLevels[] = {
    {NodeLogical, {TokenOrOr}},
    {NodeLogical, {TokenAndAnd}},
    {NodeBitwise, {'|'}},
    {NodeBitwise, {'^'}},
    {NodeBitwise, {'&'}},
    {NodeEquality, {TokenEqual, TokenNotEqual, TokenStrictEqual, TokenStrictNotEqual}},
    {NodeRelational, {'<', '>', TokenLessEqual, TokenGreaterEqual}},
    {NodeShift, {TokenShl, TokenShr, TokenUshr}},
    {NodeAdditive, {'+', '-'}},
    {NodeMultiplicative, {'*', '/', '%'}},
};
constexpr int kBinaryLevelCount = sizeof kBinaryLevels / sizeof kBinaryLevels[0];

bool IsAssignmentOperator(int32_t kind) {
    return kind == '=' || (kind >= TokenMulAssign && kind <= TokenShlAssign) ||
           kind == TokenShrAssign || kind == TokenUshrAssign;
}

// Left sides after which an assignment operator is taken.
bool IsAssignable(int32_t kind) {
    return (kind >= NodeThis && kind <= NodeNew) || kind == NodeRegExp || kind == NodeArray ||
           kind == NodeUndefined;
}

bool IsUnaryOperator(int32_t kind) {
    switch (kind) {
        case '!':
        case '+':
        case '-':
        case '~':
        case TokenDelete:
        case TokenTypeof:
        case TokenVoid:
        case TokenPlusPlus:
        case TokenMinusMinus: return true;
        default: return false;
    }
}

[[noreturn]] void InvalidExpression(ScriptContext* context, CompileState* state) {
    SyntaxError(context, state, state->lastLine, "invalid expression");
}

SyntaxNode* RequireAssignment(ScriptContext* context, CompileState* state) {
    SyntaxNode* e = ParseAssignmentExpression(context, state);
    if (e == nullptr) InvalidExpression(context, state);
    return e;
}

SyntaxNode* MakeOperation(ScriptContext* context, CompileState* state, int32_t kind, int32_t op,
                          SyntaxNode* left, SyntaxNode* right) {
    SyntaxNode* node = NewNode(context, kind, left->line);
    BinaryOperator(node) = op;
    BinaryLeft(node) = left;
    BinaryRight(node) = right;
    if (kind == NodeEquality || kind == NodeRelational) {
        node->staticType = StaticBoolean;
    } else if (kind == NodeLogical && left->staticType == StaticBoolean &&
               right->staticType == StaticBoolean) {
        node->staticType = StaticBoolean;
    }
    return FinishNode(context, state, node);
}

SyntaxNode* MakeIdentifier(ScriptContext* context, CompileState* state, const char* name,
                           int line) {
    SyntaxNode* node = NewNode(context, NodeIdentifier, line);
    IdentifierName(node) = name;
    return FinishNode(context, state, node);
}

// After "(": arguments up to ")", built last argument first.
SyntaxNode* ParseArguments(ScriptContext* context, CompileState* state, int64_t* count) {
    SyntaxNode* list = nullptr;
    *count = 0;
    if (Accept(context, state, ')')) return nullptr;
    for (;;) {
        SyntaxNode* argument = RequireAssignment(context, state);
        argument->next = list;
        list = argument;
        ++*count;
        Token* t = PeekToken(context, state);
        if (t->kind == ',') {
            NextToken(context, state);
        } else if (t->kind == ')') {
            NextToken(context, state);
            return list;
        } else {
            SyntaxError(context, state, t->line, "missing ) after argument list");
        }
    }
}

// "[" expression "]" or "." identifier after an operand; null when neither
// follows.
SyntaxNode* ParseSelector(ScriptContext* context, CompileState* state, SyntaxNode* object) {
    int32_t kind = PeekKind(context, state);
    if (kind == '[') {
        NextToken(context, state);
        SyntaxNode* key = ParseCommaExpression(context, state);
        if (key == nullptr) InvalidExpression(context, state);
        Expect(context, state, ']', "missing ] in index expression");
        SyntaxNode* node = NewNode(context, NodeIndex, object->line);
        IndexObject(node) = object;
        IndexKey(node) = key;
        return FinishNode(context, state, node);
    }
    if (kind == '.') {
        NextToken(context, state);
        Token* name = PeekToken(context, state);
        if (name->kind != TokenIdentifier) {
            SyntaxError(context, state, name->line, "illegal identifier");
        }
        NextToken(context, state);
        SyntaxNode* node = NewNode(context, NodeMember, object->line);
        MemberObject(node) = object;
        MemberName(node) = name->value.text;
        return FinishNode(context, state, node);
    }
    return nullptr;
}

// After "[": elements and holes up to "]", built last element first.
SyntaxNode* ParseArrayLiteral(ScriptContext* context, CompileState* state, int line) {
    SyntaxNode* list = nullptr;
    int64_t count = 0;
    auto add = [&](SyntaxNode* element) {
        element->next = list;
        list = element;
        ++count;
    };
    bool elementMayFollow = true;  // just after "[" or ","
    for (;;) {
        Token* t = PeekToken(context, state);
        if (t->kind == ',') {
            NextToken(context, state);
            if (elementMayFollow) add(NewNode(context, NodeEmpty, t->line));
            elementMayFollow = true;
            if (PeekKind(context, state) == ']') {
                add(NewNode(context, NodeEmpty, t->line));
                NextToken(context, state);
                break;
            }
            continue;
        }
        if (t->kind == ']') {
            NextToken(context, state);
            break;
        }
        if (!elementMayFollow) SyntaxError(context, state, t->line, "missing ] after element list");
        add(RequireAssignment(context, state));
        elementMayFollow = false;
    }
    SyntaxNode* node = NewNode(context, NodeArray, line);
    node->staticType = StaticArray;
    ArrayCount(node) = count;
    ArrayElements(node) = list;
    return FinishNode(context, state, node);
}

// After "{": properties up to "}", built last property first.
SyntaxNode* ParseObjectLiteral(ScriptContext* context, CompileState* state, int line) {
    SyntaxNode* list = nullptr;
    int64_t count = 0;
    if (!Accept(context, state, '}')) {
        for (;;) {
            Token* key = PeekToken(context, state);
            if (key->kind != TokenInteger && key->kind != TokenString &&
                key->kind != TokenIdentifier) {
                SyntaxError(context, state, key->line, "invalid property id");
            }
            NextToken(context, state);
            Expect(context, state, ':', "missing : after property id");
            SyntaxNode* property = NewNode(context, NodeEmpty, key->line);
            PropertyKeyKind(property) = key->kind;
            if (key->kind == TokenInteger) {
                PropertyIntegerKey(property) = key->value.integer;
            } else {
                PropertyTextKey(property) = key->value.text;
            }
            PropertyValue(property) = RequireAssignment(context, state);
            FinishNode(context, state, property, &kPropertyLayout);
            property->next = list;
            list = property;
            ++count;
            Token* t = PeekToken(context, state);
            if (t->kind == ',') {
                NextToken(context, state);
                if (Accept(context, state, '}')) break;
            } else if (t->kind == '}') {
                NextToken(context, state);
                break;
            } else {
                SyntaxError(context, state, t->line, "missing } after property list");
            }
        }
    }
    SyntaxNode* node = NewNode(context, NodeObject, line);
    node->staticType = StaticObject;
    ObjectCount(node) = count;
    ObjectProperties(node) = list;
    return FinishNode(context, state, node);
}

SyntaxNode* ParseRegExpLiteral(ScriptContext* context, CompileState* state, Token* slash) {
    RegExpLiteral literal = ScanRegExp(context, state);
    const char* source = literal.source;
    if (slash->kind == TokenDivAssign) {
        // The scanner took "/=" as one token: the "=" opens the pattern.
        size_t length = strlen(source);
        auto* text = static_cast<char*>(GcAlloc(context, length + 2));
        text[0] = '=';
        memcpy(text + 1, source, length + 1);
        source = text;
    }
    SyntaxNode* node = NewNode(context, NodeRegExp, slash->line);
    node->staticType = StaticRegExp;
    RegExpSource(node) = source;
    RegExpFlags(node) = literal.flags;
    return FinishNode(context, state, node);
}

SyntaxNode* ParsePrimary(ScriptContext* context, CompileState* state) {
    Token* t = PeekToken(context, state);
    int32_t kind;
    int32_t type = StaticUnknown;
    switch (t->kind) {
        case '(': {
            NextToken(context, state);
            SyntaxNode* e = ParseCommaExpression(context, state);
            if (e == nullptr) InvalidExpression(context, state);
            Expect(context, state, ')', "missing ) in parenthetical");
            return e;
        }
        case '/':
        case TokenDivAssign:
            NextToken(context, state);
            return ParseRegExpLiteral(context, state, t);
        case '[': NextToken(context, state); return ParseArrayLiteral(context, state, t->line);
        case '{': NextToken(context, state); return ParseObjectLiteral(context, state, t->line);
        case TokenInteger:
            kind = NodeInteger;
            type = StaticInteger;
            break;
        case TokenFloat:
            kind = NodeFloat;
            type = StaticFloat;
            break;
        case TokenString:
            kind = NodeString;
            type = StaticString;
            break;
        case TokenIdentifier: kind = NodeIdentifier; break;
        case TokenThis: kind = NodeThis; break;
        case TokenNull:
            kind = NodeNull;
            type = StaticNull;
            break;
        case TokenTrue:
            kind = NodeTrue;
            type = StaticBoolean;
            break;
        case TokenFalse:
            kind = NodeFalse;
            type = StaticBoolean;
            break;
        case TokenUndefined: kind = NodeUndefined; break;
        default: return nullptr;
    }
    NextToken(context, state);
    SyntaxNode* node = NewNode(context, kind, t->line);
    node->staticType = type;
    // The token's value is the literal's value or the identifier's name.
    if (kind == NodeFloat) {
        FloatValue(node) = t->value.number;
    } else if (kind == NodeInteger) {
        IntegerValue(node) = t->value.integer;
    } else if (kind == NodeString) {
        StringLiteralText(node) = t->value.text;
    } else if (kind == NodeIdentifier) {
        IdentifierName(node) = t->value.text;
    }
    return FinishNode(context, state, node);
}

// Primary, or "new" member [arguments]; then any selectors.
SyntaxNode* ParseMember(ScriptContext* context, CompileState* state) {
    SyntaxNode* e;
    Token* t = PeekToken(context, state);
    if (t->kind == TokenNew) {
        NextToken(context, state);
        ParseDepthGuard guard(context, state);
        SyntaxNode* constructor = ParseMember(context, state);
        if (constructor == nullptr) InvalidExpression(context, state);
        e = NewNode(context, NodeNew, t->line);
        NewConstructor(e) = constructor;
        if (Accept(context, state, '('))
            NewArguments(e) = ParseArguments(context, state, &NewArgumentCount(e));
        FinishNode(context, state, e);
    } else {
        e = ParsePrimary(context, state);
        if (e == nullptr) return nullptr;
    }
    while (SyntaxNode* selected = ParseSelector(context, state, e)) e = selected;
    return e;
}

// Member, then any sequence of calls and selectors.
SyntaxNode* ParseCall(ScriptContext* context, CompileState* state) {
    SyntaxNode* e = ParseMember(context, state);
    if (e == nullptr) return nullptr;
    for (;;) {
        if (Accept(context, state, '(')) {
            SyntaxNode* call = NewNode(context, NodeCall, e->line);
            CallCallee(call) = e;
            CallArguments(call) = ParseArguments(context, state, &CallArgumentCount(call));
            e = FinishNode(context, state, call);
            continue;
        }
        SyntaxNode* selected = ParseSelector(context, state, e);
        if (selected == nullptr) return e;
        e = selected;
    }
}

// A "++" or "--" after an operand belongs to it only on the same line.
SyntaxNode* ParsePostfix(ScriptContext* context, CompileState* state) {
    SyntaxNode* e = ParseCall(context, state);
    if (e == nullptr) return nullptr;
    Token* t = PeekToken(context, state);
    if (t->kind != TokenPlusPlus && t->kind != TokenMinusMinus) return e;
    if (t->line != state->lastLine) {
        if (state->options & WarnSemicolonOption) {
            CompileWarning(context, state, t->line, "missing ;");
        }
        return e;
    }
    NextToken(context, state);
    SyntaxNode* node = NewNode(context, NodePostfix, e->line);
    UnaryOperator(node) = t->kind;
    UnaryOperand(node) = e;
    return FinishNode(context, state, node);
}

SyntaxNode* ParseUnary(ScriptContext* context, CompileState* state) {
    Token* t = PeekToken(context, state);
    if (!IsUnaryOperator(t->kind)) return ParsePostfix(context, state);
    NextToken(context, state);
    ParseDepthGuard guard(context, state);
    SyntaxNode* operand = ParseUnary(context, state);
    if (operand == nullptr) InvalidExpression(context, state);
    SyntaxNode* node = NewNode(context, NodePrefix, t->line);
    UnaryOperator(node) = t->kind;
    UnaryOperand(node) = operand;
    return FinishNode(context, state, node);
}

SyntaxNode* ParseBinary(ScriptContext* context, CompileState* state, int level) {
    if (level == kBinaryLevelCount) return ParseUnary(context, state);
    const BinaryLevel& rule = kBinaryLevels[level];
    SyntaxNode* left = ParseBinary(context, state, level + 1);
    if (left == nullptr) return nullptr;
    for (;;) {
        int32_t op = PeekKind(context, state);
        bool matches = false;
        for (int32_t candidate : rule.ops) matches = matches || (candidate != 0 && candidate == op);
        if (!matches) return left;
        NextToken(context, state);
        SyntaxNode* right = ParseBinary(context, state, level + 1);
        if (right == nullptr) InvalidExpression(context, state);
        left = MakeOperation(context, state, rule.node, op, left, right);
    }
}

SyntaxNode* ParseConditional(ScriptContext* context, CompileState* state) {
    SyntaxNode* condition = ParseBinary(context, state, 0);
    if (condition == nullptr || !Accept(context, state, '?')) return condition;
    SyntaxNode* then = RequireAssignment(context, state);
    Expect(context, state, ':', "missing : in conditional expression");
    SyntaxNode* otherwise = RequireAssignment(context, state);
    SyntaxNode* node = NewNode(context, NodeConditional, condition->line);
    ConditionalTest(node) = condition;
    ConditionalThen(node) = then;
    ConditionalElse(node) = otherwise;
    return FinishNode(context, state, node);
}

}  // namespace

SyntaxNode* ParseAssignmentExpression(ScriptContext* context, CompileState* state) {
    ParseDepthGuard guard(context, state);
    SyntaxNode* target = ParseConditional(context, state);
    if (target == nullptr) return nullptr;
    int32_t op = PeekKind(context, state);
    if (!IsAssignmentOperator(op) || !IsAssignable(target->kind)) return target;
    NextToken(context, state);
    SyntaxNode* value = ParseAssignmentExpression(context, state);
    if (value == nullptr && op == '=' && PeekKind(context, state) == TokenFunction) {
        // A function expression: defined as a unit of its own, the value is
        // its code name.
        SyntaxNode* function = ParseFunctionDefinition(context, state);
        value = MakeIdentifier(context, state, FunctionCodeName(function), function->line);
    }
    if (value == nullptr) InvalidExpression(context, state);
    SyntaxNode* node = NewNode(context, NodeAssign, target->line);
    AssignOperator(node) = op;
    AssignTarget(node) = target;
    AssignValue(node) = value;
    return FinishNode(context, state, node);
}

SyntaxNode* ParseCommaExpression(ScriptContext* context, CompileState* state) {
    SyntaxNode* left = ParseAssignmentExpression(context, state);
    if (left == nullptr) return nullptr;
    while (Accept(context, state, ',')) {
        SyntaxNode* right = ParseAssignmentExpression(context, state);
        if (right == nullptr) InvalidExpression(context, state);
        SyntaxNode* node = NewNode(context, NodeComma, left->line);
        CommaLeft(node) = left;
        CommaRight(node) = right;
        left = FinishNode(context, state, node);
    }
    return left;
}

}  // namespace kelpo
