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
        case '*': case TokenMulAssign: return OP_MUL;
        case '/': case TokenDivAssign: return OP_DIV;
        case '%': case TokenModAssign: return OP_MOD;
        case '+': case TokenAddAssign: return OP_ADD;
        case '-': case TokenSubAssign: return OP_SUB;
        case '&': case TokenAndAssign: return OP_BITAND;
        case '^': case TokenXorAssign: return OP_BITXOR;
        case '|': case TokenOrAssign: return OP_BITOR;
        case TokenShl: case TokenShlAssign: return OP_SHL;
        case TokenShr: case TokenShrAssign: return OP_SHR;
        case TokenUshr: case TokenUshrAssign: return OP_USHR;
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
            EmitLoadName(context, state, target->op[0].text, target->line);
            break;
        case NodeMember:
            GenerateExpression(context, state, target->op[0].node);
            EmitName(context, state, OP_GETMEMBER, target->line, target->op[1].text);
            break;
        case NodeIndex:
            GenerateExpression(context, state, target->op[0].node);
            GenerateExpression(context, state, target->op[1].node);
            EmitInstruction(context, state, OP_GETELEM, target->line);
            break;
        default:
            GenerateExpression(context, state, target);
            break;
    }
}

// Stores the value on top into a target, consuming it; any other
// expression cannot be assigned and the value is dropped.
void EmitStoreTarget(ScriptContext* context, CompileState* state, SyntaxNode* target) {
    switch (target->kind) {
        case NodeIdentifier:
            EmitStoreName(context, state, target->op[0].text, target->line);
            break;
        case NodeMember:
            GenerateExpression(context, state, target->op[0].node);
            EmitName(context, state, OP_SETMEMBER, target->line, target->op[1].text);
            break;
        case NodeIndex:
            GenerateExpression(context, state, target->op[0].node);
            GenerateExpression(context, state, target->op[1].node);
            EmitInstruction(context, state, OP_SETELEM, target->line);
            break;
        default:
            EmitInstruction(context, state, OP_POP, target->line);
            break;
    }
}

void GenerateAssignment(ScriptContext* context, CompileState* state, SyntaxNode* node) {
    int64_t op = node->op[0].integer;
    SyntaxNode* target = node->op[1].node;
    SyntaxNode* value = node->op[2].node;
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
    SyntaxNode* callee = node->op[0].node;
    int64_t count = node->op[2].integer;
    GenerateArguments(context, state, node->op[1].node, count, node->line);
    switch (callee->kind) {
        case NodeIdentifier: {
            const char* name = callee->op[0].text;
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
            GenerateExpression(context, state, callee->op[0].node);
            EmitName(context, state, OP_CALLMETHOD, node->line, callee->op[1].text);
            break;
        case NodeIndex:
            GenerateExpression(context, state, callee->op[0].node);
            GenerateExpression(context, state, callee->op[1].node);
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
    int64_t count = node->op[0].integer;
    if (count > kMaxCallArguments) CompileError(context, state, node->line, "too many elements");
    for (SyntaxNode* e = node->op[1].node; e != nullptr; e = e->next) {
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
    for (SyntaxNode* p = node->op[1].node; p != nullptr; p = p->next) {
        EmitInstruction(context, state, OP_DUP, p->line);
        GenerateExpression(context, state, p->op[2].node);
        EmitInstruction(context, state, OP_SWAP, p->line);
        switch (p->op[0].integer) {
            case TokenInteger:
                EmitSmallInteger(context, state, p->line, p->op[1].integer);
                EmitInstruction(context, state, OP_SETELEM, p->line);
                break;
            case TokenString:
                EmitConstString(context, state, p->line, p->op[1].text);
                EmitInstruction(context, state, OP_SETELEM, p->line);
                break;
            default:
                EmitName(context, state, OP_SETMEMBER, p->line, p->op[1].text);
                break;
        }
    }
}

void GenerateDelete(ScriptContext* context, CompileState* state, SyntaxNode* node,
                    SyntaxNode* operand) {
    switch (operand->kind) {
        case NodeMember:
            GenerateExpression(context, state, operand->op[0].node);
            EmitName(context, state, OP_DELMEMBER, node->line, operand->op[1].text);
            return;
        case NodeIndex:
            GenerateExpression(context, state, operand->op[0].node);
            GenerateExpression(context, state, operand->op[1].node);
            EmitInstruction(context, state, OP_DELELEM, node->line);
            return;
        case NodeIdentifier: {
            EmitInstruction(context, state, OP_PUSHNULL, node->line);
            const char* name = operand->op[0].text;
            int32_t slot;
            switch (Resolve(state, name, &slot)) {
                case Resolution::Argument: EmitInstruction(context, state, OP_DELARG, node->line, slot); break;
                case Resolution::Local: EmitInstruction(context, state, OP_DELLOCAL, node->line, slot); break;
                case Resolution::With: EmitName(context, state, OP_WITHDELETE, node->line, name); break;
                case Resolution::Global: EmitName(context, state, OP_DELGLOBAL, node->line, name); break;
            }
            return;
        }
        default:
            EmitInstruction(context, state, OP_PUSHUNDEF, node->line);
            return;
    }
}

void GeneratePrefix(ScriptContext* context, CompileState* state, SyntaxNode* node) {
    int64_t op = node->op[0].integer;
    SyntaxNode* operand = node->op[1].node;
    int line = node->line;
    switch (op) {
        case TokenDelete:
            GenerateDelete(context, state, node, operand);
            return;
        case TokenPlusPlus:
        case TokenMinusMinus:
            EmitLoadTarget(context, state, operand);
            EmitInstruction(context, state, OP_PUSH1, line);
            EmitInstruction(context, state, op == TokenPlusPlus ? OP_ADD : OP_SUB, line);
            EmitInstruction(context, state, OP_DUP, line);
            EmitStoreTarget(context, state, operand);
            return;
        default:
            break;
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
    SyntaxNode* operand = node->op[1].node;
    int line = node->line;
    EmitLoadTarget(context, state, operand);
    EmitInstruction(context, state, OP_DUP, line);
    EmitInstruction(context, state, OP_PUSH1, line);
    EmitInstruction(context, state, node->op[0].integer == TokenPlusPlus ? OP_ADD : OP_SUB, line);
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
    bool boolean = state->typedJumps && condition != nullptr && condition->staticType == StaticBoolean;
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
            GenerateExpression(context, state, node->op[0].node);
            EmitInstruction(context, state, OP_POP, line);
            GenerateExpression(context, state, node->op[1].node);
            return;
        case NodeAssign:
            GenerateAssignment(context, state, node);
            return;
        case NodeConditional: {
            Instruction* otherwise = NewLabel(context, state);
            Instruction* done = NewLabel(context, state);
            SyntaxNode* condition = node->op[0].node;
            GenerateExpression(context, state, condition);
            EmitCondJump(context, state, condition, false, otherwise);
            GenerateExpression(context, state, node->op[1].node);
            EmitJump(context, state, OP_JMP, line, done);
            PlaceLabel(state, otherwise);
            GenerateExpression(context, state, node->op[2].node);
            PlaceLabel(state, done);
            return;
        }
        case NodeLogical: {
            Instruction* done = NewLabel(context, state);
            SyntaxNode* left = node->op[1].node;
            GenerateExpression(context, state, left);
            EmitInstruction(context, state, OP_DUP, line);
            EmitCondJump(context, state, left, node->op[0].integer == TokenOrOr, done);
            EmitInstruction(context, state, OP_POP, line);
            GenerateExpression(context, state, node->op[2].node);
            PlaceLabel(state, done);
            return;
        }
        case NodeBitwise:
        case NodeEquality:
        case NodeRelational:
        case NodeShift:
        case NodeMultiplicative:
        case NodeAdditive:
            GenerateExpression(context, state, node->op[1].node);
            GenerateExpression(context, state, node->op[2].node);
            EmitInstruction(context, state, BinaryOpcode(node->op[0].integer), line);
            return;
        case NodeThis: EmitInstruction(context, state, OP_GETARG, line, 0); return;
        case NodeNull: EmitInstruction(context, state, OP_PUSHNULL, line); return;
        case NodeTrue: EmitInstruction(context, state, OP_PUSHTRUE, line); return;
        case NodeFalse: EmitInstruction(context, state, OP_PUSHFALSE, line); return;
        case NodeUndefined: EmitInstruction(context, state, OP_PUSHUNDEF, line); return;
        case NodeIdentifier: EmitLoadName(context, state, node->op[0].text, line); return;
        case NodeInteger: {
            int64_t v = node->op[0].integer;
            if (v >= 0 && v <= 3) {
                EmitSmallInteger(context, state, line, v);
            } else {
                EmitConstInteger(context, state, line, v);
            }
            return;
        }
        case NodeFloat: EmitConstFloat(context, state, line, node->op[0].number); return;
        case NodeString: EmitConstString(context, state, line, node->op[0].text); return;
        case NodeRegExp:
            EmitConstRegExp(context, state, line, node->op[0].text,
                            static_cast<uint8_t>(node->op[1].integer));
            return;
        case NodeCall: GenerateCall(context, state, node); return;
        case NodeMember:
            GenerateExpression(context, state, node->op[0].node);
            EmitName(context, state, OP_GETMEMBER, line, node->op[1].text);
            return;
        case NodeIndex:
            GenerateExpression(context, state, node->op[0].node);
            GenerateExpression(context, state, node->op[1].node);
            EmitInstruction(context, state, OP_GETELEM, line);
            return;
        case NodeNew: {
            int64_t count = node->op[2].integer;
            GenerateArguments(context, state, node->op[1].node, count, line);
            GenerateExpression(context, state, node->op[0].node);
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
