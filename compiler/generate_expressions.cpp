// Code generation for expressions.
#include "compiler/diagnostics.h"
#include "compiler/generator.h"
#include "compiler/opcodes.h"
#include "compiler/tokens.h"

namespace kelpo {
namespace {

enum class Resolution { Argument, Local, With, Global };

Resolution Resolve(CompileState* state, const char* name, int32_t* slot) {
    if (ScopeEntry* e = LookupName(state, name)) {
        *slot = e->slot;
        return e->kind == ArgumentSlot ? Resolution::Argument : Resolution::Local;
    }
    UnitInfo* unit = state->scope != nullptr ? state->scope->unit : nullptr;
    if (unit != nullptr && unit->withNesting > 0) return Resolution::With;
    return Resolution::Global;
}

int BinaryOpcode(int64_t token) {
    switch (token) {
        case '*':
        case TokenMulAssign: return OP_MUL;
        case '/':
        case TokenDivAssign: return OP_DIV;
        case '%':
        case TokenModAssign: return OP_MOD;
        case '+':
        case TokenAddAssign: return OP_ADD;
        case '-':
        case TokenSubAssign: return OP_SUB;
        case '&':
        case TokenAndAssign: return OP_BITAND;
        case '^':
        case TokenXorAssign: return OP_BITXOR;
        case '|':
        case TokenOrAssign: return OP_BITOR;
        case TokenShl:
        case TokenShlAssign: return OP_SHL;
        case TokenShr:
        case TokenShrAssign: return OP_SHR;
        case TokenUshr:
        case TokenUshrAssign: return OP_USHR;
        case TokenEqual: return OP_EQ;
        case TokenNotEqual: return OP_NE;
        case TokenStrictEqual: return OP_STRICTEQ;
        case TokenStrictNotEqual: return OP_STRICTNE;
        case '<': return OP_LT;
        case '>': return OP_GT;
        case TokenLessEqual: return OP_LE;
        case TokenGreaterEqual: return OP_GE;
        default: return OP_NOP;
    }
}

bool IsTarget(const SyntaxNode* node) {
    return node->kind == NodeIdentifier || node->kind == NodeMember || node->kind == NodeIndex;
}

// Loads the current value of an assignment target. Other expressions are
// evaluated for their value, so that a compound assignment to them still
// leaves the stack balanced.
void EmitLoadTarget(ScriptContext* context, CompileState* state, SyntaxNode* target) {
    switch (target->kind) {
        case NodeIdentifier:
            EmitLoadName(context, state, IdentifierName(target), target->line);
            break;
        case NodeMember:
            GenerateExpression(context, state, MemberObject(target));
            EmitName(context, state, OP_GETMEMBER, target->line, MemberName(target));
            break;
        case NodeIndex:
            GenerateExpression(context, state, IndexObject(target));
            GenerateExpression(context, state, IndexKey(target));
            EmitInstruction(context, state, OP_GETELEM, target->line);
            break;
        default: GenerateExpression(context, state, target); break;
    }
}

// Stores the value on top into a target, consuming it; any other
// expression cannot be assigned and the value is dropped.
void EmitStoreTarget(ScriptContext* context, CompileState* state, SyntaxNode* target) {
    switch (target->kind) {
        case NodeIdentifier:
            EmitStoreName(context, state, IdentifierName(target), target->line);
            break;
        case NodeMember:
            GenerateExpression(context, state, MemberObject(target));
            EmitName(context, state, OP_SETMEMBER, target->line, MemberName(target));
            break;
        case NodeIndex:
            GenerateExpression(context, state, IndexObject(target));
            GenerateExpression(context, state, IndexKey(target));
            EmitInstruction(context, state, OP_SETELEM, target->line);
            break;
        default: EmitInstruction(context, state, OP_POP, target->line); break;
    }
}

void GenerateAssignment(ScriptContext* context, CompileState* state, SyntaxNode* node) {
    int64_t op = AssignOperator(node);
    SyntaxNode* target = AssignTarget(node);
    SyntaxNode* value = AssignValue(node);
    if (op == '=') {
        GenerateExpression(context, state, value);
        if (!IsTarget(target)) return;  // nothing is stored: the value is the result
        EmitInstruction(context, state, OP_DUP, node->line);
        EmitStoreTarget(context, state, target);
        return;
    }
    EmitLoadTarget(context, state, target);
    GenerateExpression(context, state, value);
    EmitInstruction(context, state, BinaryOpcode(op), node->line);
    EmitInstruction(context, state, OP_DUP, node->line);
    EmitStoreTarget(context, state, target);
}

void GenerateArguments(ScriptContext* context, CompileState* state, SyntaxNode* list, int64_t count,
                       int line) {
    if (count > kMaxCallArguments) CompileError(context, state, line, "too many arguments");
    for (SyntaxNode* a = list; a != nullptr; a = a->next) GenerateExpression(context, state, a);
    EmitSmallInteger(context, state, line, count);
}

void GenerateCall(ScriptContext* context, CompileState* state, SyntaxNode* node) {
    SyntaxNode* callee = CallCallee(node);
    int64_t count = CallArgumentCount(node);
    GenerateArguments(context, state, CallArguments(node), count, node->line);
    switch (callee->kind) {
        case NodeIdentifier: {
            const char* name = IdentifierName(callee);
            int32_t slot;
            if (Resolve(state, name, &slot) == Resolution::With) {
                EmitName(context, state, OP_WITHGET, callee->line, name);
                EmitName(context, state, OP_WITHCALL, node->line, name);
            } else {
                EmitLoadName(context, state, name, callee->line);
                EmitInstruction(context, state, OP_CALL, node->line);
            }
            break;
        }
        case NodeMember:
            GenerateExpression(context, state, MemberObject(callee));
            EmitName(context, state, OP_CALLMETHOD, node->line, MemberName(callee));
            break;
        case NodeIndex:
            GenerateExpression(context, state, IndexObject(callee));
            GenerateExpression(context, state, IndexKey(callee));
            EmitInstruction(context, state, OP_GETELEM, callee->line);
            EmitInstruction(context, state, OP_CALL, node->line);
            break;
        default:
            GenerateExpression(context, state, callee);
            EmitInstruction(context, state, OP_CALL, node->line);
            break;
    }
    EmitInstruction(context, state, OP_SLIDE, node->line, count + 2);
}

// Constructs with the global class `name` and `count` arguments already
// pushed (with the count): the value is the receiver slot.
void EmitConstruct(ScriptContext* context, CompileState* state, const char* name, int64_t count,
                   int line) {
    EmitName(context, state, OP_GETGLOBAL, line, name);
    EmitInstruction(context, state, OP_NEW, line);
    EmitInstruction(context, state, OP_SWAP, line);
    EmitInstruction(context, state, OP_SLIDE, line, count + 2);
}

void GenerateArrayLiteral(ScriptContext* context, CompileState* state, SyntaxNode* node) {
    int64_t count = ArrayCount(node);
    if (count > kMaxCallArguments) CompileError(context, state, node->line, "too many elements");
    for (SyntaxNode* e = ArrayElements(node); e != nullptr; e = e->next) {
        if (e->kind == NodeEmpty) {
            EmitInstruction(context, state, OP_PUSHUNDEF, e->line);
        } else {
            GenerateExpression(context, state, e);
        }
    }
    // A negative count tells the Array constructor these are literal elements.
    EmitInstruction(context, state, OP_PUSHINT, node->line, -count);
    EmitConstruct(context, state, "Array", count, node->line);
}

void GenerateObjectLiteral(ScriptContext* context, CompileState* state, SyntaxNode* node) {
    EmitInstruction(context, state, OP_PUSH0, node->line);
    EmitConstruct(context, state, "Object", 0, node->line);
    // Stored from the last property to the first: a repeated key keeps the
    // value of its first occurrence.
    for (SyntaxNode* p = ObjectProperties(node); p != nullptr; p = p->next) {
        EmitInstruction(context, state, OP_DUP, p->line);
        GenerateExpression(context, state, PropertyValue(p));
        EmitInstruction(context, state, OP_SWAP, p->line);
        switch (PropertyKeyKind(p)) {
            case TokenInteger:
                EmitSmallInteger(context, state, p->line, PropertyIntegerKey(p));
                EmitInstruction(context, state, OP_SETELEM, p->line);
                break;
            case TokenString:
                EmitConstString(context, state, p->line, PropertyTextKey(p));
                EmitInstruction(context, state, OP_SETELEM, p->line);
                break;
            default: EmitName(context, state, OP_SETMEMBER, p->line, PropertyTextKey(p)); break;
        }
    }
}

void GenerateDelete(ScriptContext* context, CompileState* state, SyntaxNode* node,
                    SyntaxNode* operand) {
    switch (operand->kind) {
        case NodeMember:
            GenerateExpression(context, state, MemberObject(operand));
            EmitName(context, state, OP_DELMEMBER, node->line, MemberName(operand));
            return;
        case NodeIndex:
            GenerateExpression(context, state, IndexObject(operand));
            GenerateExpression(context, state, IndexKey(operand));
            EmitInstruction(context, state, OP_DELELEM, node->line);
            return;
        case NodeIdentifier: {
            EmitInstruction(context, state, OP_PUSHNULL, node->line);
            const char* name = IdentifierName(operand);
            int32_t slot;
            switch (Resolve(state, name, &slot)) {
                case Resolution::Argument:
                    EmitInstruction(context, state, OP_DELARG, node->line, slot);
                    break;
                case Resolution::Local:
                    EmitInstruction(context, state, OP_DELLOCAL, node->line, slot);
                    break;
                case Resolution::With:
                    EmitName(context, state, OP_WITHDELETE, node->line, name);
                    break;
                case Resolution::Global:
                    EmitName(context, state, OP_DELGLOBAL, node->line, name);
                    break;
            }
            return;
        }
        default: EmitInstruction(context, state, OP_PUSHUNDEF, node->line); return;
    }
}

void GeneratePrefix(ScriptContext* context, CompileState* state, SyntaxNode* node) {
    int64_t op = UnaryOperator(node);
    SyntaxNode* operand = UnaryOperand(node);
    int line = node->line;
    switch (op) {
        case TokenDelete: GenerateDelete(context, state, node, operand); return;
        case TokenPlusPlus:
        case TokenMinusMinus:
            EmitLoadTarget(context, state, operand);
            EmitInstruction(context, state, OP_PUSH1, line);
            EmitInstruction(context, state, op == TokenPlusPlus ? OP_ADD : OP_SUB, line);
            EmitInstruction(context, state, OP_DUP, line);
            EmitStoreTarget(context, state, operand);
            return;
        default: break;
    }
    GenerateExpression(context, state, operand);
    switch (op) {
        case '!': EmitInstruction(context, state, OP_NOT, line); break;
        case '-': EmitInstruction(context, state, OP_NEG, line); break;
        case TokenTypeof: EmitInstruction(context, state, OP_TYPEOF, line); break;
        case '~':
            EmitConstInteger(context, state, line, -1);
            EmitInstruction(context, state, OP_BITXOR, line);
            break;
        case TokenVoid:
            EmitInstruction(context, state, OP_POP, line);
            EmitInstruction(context, state, OP_PUSHUNDEF, line);
            break;
        default: break;  // unary "+": the operand as it is
    }
}

void GeneratePostfix(ScriptContext* context, CompileState* state, SyntaxNode* node) {
    SyntaxNode* operand = UnaryOperand(node);
    int line = node->line;
    EmitLoadTarget(context, state, operand);
    EmitInstruction(context, state, OP_DUP, line);
    EmitInstruction(context, state, OP_PUSH1, line);
    EmitInstruction(context, state, UnaryOperator(node) == TokenPlusPlus ? OP_ADD : OP_SUB, line);
    EmitStoreTarget(context, state, operand);  // the old value remains
}

}  // namespace

void EmitSmallInteger(ScriptContext* context, CompileState* state, int line, int64_t value) {
    static const int kPush[] = {OP_PUSH0, OP_PUSH1, OP_PUSH2, OP_PUSH3};
    if (value >= 0 && value <= 3) {
        EmitInstruction(context, state, kPush[value], line);
    } else {
        EmitInstruction(context, state, OP_PUSHINT, line, value);
    }
}

void EmitCondJump(ScriptContext* context, CompileState* state, SyntaxNode* condition, bool onTrue,
                  Instruction* label) {
    bool boolean =
        state->typedJumps && condition != nullptr && condition->staticType == StaticBoolean;
    int op = onTrue ? (boolean ? OP_JTRUEB : OP_JTRUE) : (boolean ? OP_JFALSEB : OP_JFALSE);
    EmitJump(context, state, op, condition != nullptr ? condition->line : 0, label);
}

void EmitLoadName(ScriptContext* context, CompileState* state, const char* name, int line) {
    int32_t slot;
    switch (Resolve(state, name, &slot)) {
        case Resolution::Argument: EmitInstruction(context, state, OP_GETARG, line, slot); break;
        case Resolution::Local: EmitInstruction(context, state, OP_GETLOCAL, line, slot); break;
        case Resolution::With: EmitName(context, state, OP_WITHGET, line, name); break;
        case Resolution::Global: EmitName(context, state, OP_GETGLOBAL, line, name); break;
    }
}

void EmitStoreName(ScriptContext* context, CompileState* state, const char* name, int line) {
    int32_t slot;
    switch (Resolve(state, name, &slot)) {
        case Resolution::Argument: EmitInstruction(context, state, OP_SETARG, line, slot); break;
        case Resolution::Local: EmitInstruction(context, state, OP_SETLOCAL, line, slot); break;
        case Resolution::With: EmitName(context, state, OP_WITHSET, line, name); break;
        case Resolution::Global: EmitName(context, state, OP_SETGLOBAL, line, name); break;
    }
}

void GenerateExpression(ScriptContext* context, CompileState* state, SyntaxNode* node) {
    int line = node->line;
    switch (node->kind) {
        case NodeComma:
            GenerateExpression(context, state, CommaLeft(node));
            EmitInstruction(context, state, OP_POP, line);
            GenerateExpression(context, state, CommaRight(node));
            return;
        case NodeAssign: GenerateAssignment(context, state, node); return;
        case NodeConditional: {
            Instruction* otherwise = NewLabel(context, state);
            Instruction* done = NewLabel(context, state);
            SyntaxNode* condition = ConditionalTest(node);
            GenerateExpression(context, state, condition);
            EmitCondJump(context, state, condition, false, otherwise);
            GenerateExpression(context, state, ConditionalThen(node));
            EmitJump(context, state, OP_JMP, line, done);
            PlaceLabel(state, otherwise);
            GenerateExpression(context, state, ConditionalElse(node));
            PlaceLabel(state, done);
            return;
        }
        case NodeLogical: {
            Instruction* done = NewLabel(context, state);
            SyntaxNode* left = BinaryLeft(node);
            GenerateExpression(context, state, left);
            EmitInstruction(context, state, OP_DUP, line);
            EmitCondJump(context, state, left, BinaryOperator(node) == TokenOrOr, done);
            EmitInstruction(context, state, OP_POP, line);
            GenerateExpression(context, state, BinaryRight(node));
            PlaceLabel(state, done);
            return;
        }
        case NodeBitwise:
        case NodeEquality:
        case NodeRelational:
        case NodeShift:
        case NodeMultiplicative:
        case NodeAdditive:
            GenerateExpression(context, state, BinaryLeft(node));
            GenerateExpression(context, state, BinaryRight(node));
            EmitInstruction(context, state, BinaryOpcode(BinaryOperator(node)), line);
            return;
        case NodeThis: EmitInstruction(context, state, OP_GETARG, line, 0); return;
        case NodeNull: EmitInstruction(context, state, OP_PUSHNULL, line); return;
        case NodeTrue: EmitInstruction(context, state, OP_PUSHTRUE, line); return;
        case NodeFalse: EmitInstruction(context, state, OP_PUSHFALSE, line); return;
        case NodeUndefined: EmitInstruction(context, state, OP_PUSHUNDEF, line); return;
        case NodeIdentifier: EmitLoadName(context, state, IdentifierName(node), line); return;
        case NodeInteger: {
            int64_t v = IntegerValue(node);
            if (v >= 0 && v <= 3) {
                EmitSmallInteger(context, state, line, v);
            } else {
                EmitConstInteger(context, state, line, v);
            }
            return;
        }
        case NodeFloat: EmitConstFloat(context, state, line, FloatValue(node)); return;
        case NodeString: EmitConstString(context, state, line, StringLiteralText(node)); return;
        case NodeRegExp:
            EmitConstRegExp(context, state, line, RegExpSource(node),
                            static_cast<uint8_t>(RegExpFlags(node)));
            return;
        case NodeCall: GenerateCall(context, state, node); return;
        case NodeMember:
            GenerateExpression(context, state, MemberObject(node));
            EmitName(context, state, OP_GETMEMBER, line, MemberName(node));
            return;
        case NodeIndex:
            GenerateExpression(context, state, IndexObject(node));
            GenerateExpression(context, state, IndexKey(node));
            EmitInstruction(context, state, OP_GETELEM, line);
            return;
        case NodeNew: {
            int64_t count = NewArgumentCount(node);
            GenerateArguments(context, state, NewArguments(node), count, line);
            GenerateExpression(context, state, NewConstructor(node));
            EmitInstruction(context, state, OP_NEW, line);
            EmitInstruction(context, state, OP_SWAP, line);
            EmitInstruction(context, state, OP_SLIDE, line, count + 2);
            return;
        }
        case NodePostfix: GeneratePostfix(context, state, node); return;
        case NodePrefix: GeneratePrefix(context, state, node); return;
        case NodeArray: GenerateArrayLiteral(context, state, node); return;
        case NodeObject: GenerateObjectLiteral(context, state, node); return;
        default:
            // Not an expression: nothing to evaluate, but one value is owed.
            EmitInstruction(context, state, OP_PUSHUNDEF, line);
            return;
    }
}

}  // namespace kelpo
