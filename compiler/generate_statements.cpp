// Code generation for statements.
#include <cstring>

#include "compiler/diagnostics.h"
#include "compiler/generator.h"
#include "compiler/opcodes.h"
#include "compiler/tokens.h"

namespace kelpo {
namespace {

// Declares the declarators of a "var" statement or a loop head and stores
// their initial values.
void GenerateDeclarators(ScriptContext* context, CompileState* state, SyntaxNode* list,
                         bool global) {
    for (SyntaxNode* d = list; d != nullptr; d = d->next) {
        const char* name = DeclaratorName(d);
        int32_t slot = global ? 0 : DeclareName(context, state, name, LocalSlot, d->line);
        SyntaxNode* init = DeclaratorInitializer(d);
        if (init == nullptr) continue;
        GenerateExpression(context, state, init);
        if (global) {
            EmitName(context, state, OP_SETGLOBAL, d->line, name);
        } else {
            EmitInstruction(context, state, OP_SETLOCAL, d->line, slot);
        }
    }
}

void GenerateIf(ScriptContext* context, CompileState* state, SyntaxNode* node) {
    Instruction* otherwise = NewLabel(context, state);
    Instruction* done = NewLabel(context, state);
    SyntaxNode* condition = IfCondition(node);
    GenerateExpression(context, state, condition);
    EmitCondJump(context, state, condition, false, otherwise);
    GenerateNode(context, state, IfThen(node));
    EmitJump(context, state, OP_JMP, node->line, done);
    PlaceLabel(state, otherwise);
    if (IfElse(node) != nullptr) GenerateNode(context, state, IfElse(node));
    PlaceLabel(state, done);
}

void GenerateWhile(ScriptContext* context, CompileState* state, SyntaxNode* node,
                   const char* label = nullptr) {
    Instruction* top = NewLabel(context, state);
    Instruction* exit = NewLabel(context, state);
    PlaceLabel(state, top);
    SyntaxNode* condition = WhileCondition(node);
    GenerateExpression(context, state, condition);
    EmitCondJump(context, state, condition, false, exit);
    PushLoop(context, state, exit, top, label, 0);
    GenerateNode(context, state, WhileBody(node));
    PopLoop(state);
    EmitJump(context, state, OP_JMP, node->line, top);
    PlaceLabel(state, exit);
}

void GenerateDo(ScriptContext* context, CompileState* state, SyntaxNode* node,
                const char* label = nullptr) {
    Instruction* top = NewLabel(context, state);
    Instruction* next = NewLabel(context, state);
    Instruction* exit = NewLabel(context, state);
    PlaceLabel(state, top);
    PushLoop(context, state, exit, next, label, 0);
    GenerateNode(context, state, DoBody(node));
    PopLoop(state);
    PlaceLabel(state, next);
    SyntaxNode* condition = DoCondition(node);
    GenerateExpression(context, state, condition);
    EmitCondJump(context, state, condition, true, top);
    PlaceLabel(state, exit);
}

void GenerateFor(ScriptContext* context, CompileState* state, SyntaxNode* node,
                 const char* label = nullptr) {
    SyntaxNode* declarators = ForDeclarators(node);
    bool scoped = declarators != nullptr;
    if (scoped) {
        PushScope(context, state);
        GenerateDeclarators(context, state, declarators, false);
    } else if (ForInit(node) != nullptr) {
        GenerateExpression(context, state, ForInit(node));
        EmitInstruction(context, state, OP_POP, node->line);
    }
    Instruction* top = NewLabel(context, state);
    Instruction* next = NewLabel(context, state);
    Instruction* exit = NewLabel(context, state);
    PlaceLabel(state, top);
    SyntaxNode* condition = ForTest(node);
    if (condition != nullptr) {
        GenerateExpression(context, state, condition);
        EmitCondJump(context, state, condition, false, exit);
    } else {
        EmitInstruction(context, state, OP_PUSHTRUE, node->line);
        EmitJump(context, state, OP_JFALSEB, node->line, exit);
    }
    PushLoop(context, state, exit, next, label, 0);
    GenerateNode(context, state, ForBody(node));
    PopLoop(state);
    PlaceLabel(state, next);
    if (ForStep(node) != nullptr) {
        GenerateExpression(context, state, ForStep(node));
        EmitInstruction(context, state, OP_POP, node->line);
    }
    EmitJump(context, state, OP_JMP, node->line, top);
    PlaceLabel(state, exit);
    if (scoped) PopScope(state);
}

void GenerateForIn(ScriptContext* context, CompileState* state, SyntaxNode* node,
                   const char* label = nullptr) {
    SyntaxNode* declarator = ForInDeclarators(node);
    int32_t slot = 0;
    if (declarator != nullptr) {
        PushScope(context, state);
        GenerateDeclarators(context, state, declarator, false);
        slot = DeclareName(context, state, DeclaratorName(declarator), LocalSlot, declarator->line);
    }
    int line = node->line;
    Instruction* step = NewLabel(context, state);
    Instruction* next = NewLabel(context, state);
    Instruction* done = NewLabel(context, state);
    Instruction* exit = NewLabel(context, state);

    // Stack: object, index; each turn the step turns a copy of them into
    // item and "more".
    GenerateExpression(context, state, ForInObject(node));
    EmitInstruction(context, state, OP_DUP, line);
    EmitInstruction(context, state, OP_PUSH0, line);
    EmitInstruction(context, state, OP_SWAP, line);
    EmitInstruction(context, state, OP_PUSH0, line);
    PlaceLabel(state, step);
    EmitInstruction(context, state, OP_FORINSTEP, line);
    EmitJump(context, state, OP_JFALSEB, line, done);
    if (declarator != nullptr) {
        EmitInstruction(context, state, OP_SETLOCAL, line, slot);
    } else {
        // The parser only accepts a bare identifier as the target.
        SyntaxNode* target = ForInTarget(node);
        if (target->kind == NodeIdentifier) {
            EmitStoreName(context, state, IdentifierName(target), target->line);
        } else {
            EmitInstruction(context, state, OP_POP, line);
        }
    }
    PushLoop(context, state, exit, next, label, 2);
    GenerateNode(context, state, ForInBody(node));
    PopLoop(state);
    PlaceLabel(state, next);
    EmitInstruction(context, state, OP_PUSH1, line);
    EmitInstruction(context, state, OP_ADD, line);
    EmitInstruction(context, state, OP_DUP, line);
    EmitInstruction(context, state, OP_ROT, line, -3);
    EmitInstruction(context, state, OP_DUP, line);
    EmitInstruction(context, state, OP_ROT, line, 4);
    EmitInstruction(context, state, OP_SWAP, line);
    EmitJump(context, state, OP_JMP, line, step);
    PlaceLabel(state, done);
    EmitInstruction(context, state, OP_POP, line);
    PlaceLabel(state, exit);
    EmitInstruction(context, state, OP_POPN, line, 2);
    if (declarator != nullptr) PopScope(state);
}

// break and continue: leave the with scopes and try handlers of every
// construct up to the target, drop what the constructs inside it hold, jump.
void GenerateJumpOut(ScriptContext* context, CompileState* state, SyntaxNode* node, bool isBreak) {
    const char* label = JumpLabel(node);
    LoopRecord* target = nullptr;
    for (LoopRecord* r = state->loops; r != nullptr; r = r->next) {
        bool fits = label != nullptr
                        ? (r->labelName != nullptr && strcmp(r->labelName, label) == 0)
                        : (isBreak ? r->breakLabel != nullptr : r->continueLabel != nullptr);
        if (fits) {
            target = r;
            break;
        }
    }
    if (target == nullptr || (isBreak ? target->breakLabel : target->continueLabel) == nullptr) {
        CompileError(context, state, node->line, isBreak ? "invalid break" : "invalid continue");
    }
    int32_t withs = 0, tries = 0, held = 0;
    for (LoopRecord* r = state->loops;; r = r->next) {
        withs += r->withDepth;
        tries += r->tryDepth;
        if (r == target) break;
        held += r->held;
    }
    if (withs > 0) EmitInstruction(context, state, OP_LEAVEWITH, node->line, withs);
    if (tries > 0) EmitInstruction(context, state, OP_LEAVETRY, node->line, tries);
    if (held == 1) EmitInstruction(context, state, OP_POP, node->line);
    if (held > 1) EmitInstruction(context, state, OP_POPN, node->line, held);
    EmitJump(context, state, OP_JMP, node->line,
             isBreak ? target->breakLabel : target->continueLabel);
}

void GenerateReturn(ScriptContext* context, CompileState* state, SyntaxNode* node) {
    int32_t tries = 0;
    for (LoopRecord* r = state->loops; r != nullptr; r = r->next) tries += r->tryDepth;
    if (tries > 0) EmitInstruction(context, state, OP_LEAVETRY, node->line, tries);
    if (ReturnValue(node) != nullptr) {
        GenerateExpression(context, state, ReturnValue(node));
    } else {
        EmitInstruction(context, state, OP_PUSHUNDEF, node->line);
    }
    EmitInstruction(context, state, OP_RETURN, node->line);
}

void GenerateWith(ScriptContext* context, CompileState* state, SyntaxNode* node) {
    GenerateExpression(context, state, WithObject(node));
    EmitInstruction(context, state, OP_WITH, node->line);
    state->loops->withDepth++;
    state->scope->unit->withNesting++;
    GenerateNode(context, state, WithBody(node));
    state->scope->unit->withNesting--;
    state->loops->withDepth--;
    EmitInstruction(context, state, OP_LEAVEWITH, node->line, 1);
}

void GenerateLabeled(ScriptContext* context, CompileState* state, SyntaxNode* node) {
    // A labeled loop takes the label itself, so "continue label" goes on
    // with the next turn (a for loop's update, a for-in's next item) instead
    // of starting the loop over, initializer and all.
    const char* label = LabeledName(node);
    SyntaxNode* body = LabeledStatement(node);
    switch (body != nullptr ? body->kind : -1) {
        case NodeWhile: GenerateWhile(context, state, body, label); return;
        case NodeDo: GenerateDo(context, state, body, label); return;
        case NodeFor: GenerateFor(context, state, body, label); return;
        case NodeForIn: GenerateForIn(context, state, body, label); return;
        default: break;
    }
    Instruction* start = NewLabel(context, state);
    Instruction* exit = NewLabel(context, state);
    PlaceLabel(state, start);
    PushLoop(context, state, exit, start, LabeledName(node), 0);
    GenerateNode(context, state, LabeledStatement(node));
    PopLoop(state);
    PlaceLabel(state, exit);
}

void GenerateSwitch(ScriptContext* context, CompileState* state, SyntaxNode* node) {
    SyntaxNode* clauses = SwitchCases(node);
    int count = 0;
    for (SyntaxNode* c = clauses; c != nullptr; c = c->next) ++count;
    GenerateExpression(context, state, SwitchDiscriminant(node));
    Instruction* end = NewLabel(context, state);
    PushLoop(context, state, end, nullptr, nullptr, 1);

    // TEST and BODY labels per clause; a default clause's TEST is its entry.
    struct Clause {
        SyntaxNode* node;
        Instruction* test;
        Instruction* body;
    };
    Clause* list =
        static_cast<Clause*>(GcAlloc(context, sizeof(Clause) * (count == 0 ? 1 : count)));
    int defaultIndex = -1;
    int i = 0;
    for (SyntaxNode* c = clauses; c != nullptr; c = c->next, ++i) {
        list[i] = Clause{c, NewLabel(context, state), NewLabel(context, state)};
        if (CaseTest(c) == nullptr) defaultIndex = i;
    }
    Instruction* defaultEntry = defaultIndex >= 0 ? list[defaultIndex].test : nullptr;

    for (i = 0; i < count; ++i) {
        SyntaxNode* c = list[i].node;
        bool isDefault = CaseTest(c) == nullptr;
        if (isDefault) {
            if (i == 0 && count > 1) EmitJump(context, state, OP_JMP, c->line, list[1].test);
            PlaceLabel(state, list[i].test);
        } else {
            PlaceLabel(state, list[i].test);
            EmitInstruction(context, state, OP_DUP, c->line);
            GenerateExpression(context, state, CaseTest(c));
            EmitInstruction(context, state, OP_STRICTEQ, c->line);
            Instruction* miss;
            if (i + 1 < count) {
                int j = i + 1;
                if (CaseTest(list[j].node) == nullptr && j + 1 < count) ++j;
                miss = list[j].test;
            } else {
                miss = defaultEntry != nullptr ? defaultEntry : end;
            }
            EmitJump(context, state, OP_JFALSEB, c->line, miss);
        }
        PlaceLabel(state, list[i].body);
        GenerateStatements(context, state, CaseStatements(c));
        EmitJump(context, state, OP_JMP, c->line, i + 1 < count ? list[i + 1].body : end);
    }
    PopLoop(state);
    PlaceLabel(state, end);
    EmitInstruction(context, state, OP_POP, static_cast<int>(SwitchEndLine(node)));
}

void GenerateTry(ScriptContext* context, CompileState* state, SyntaxNode* node) {
    int line = node->line;
    Instruction* handler = NewLabel(context, state);
    Instruction* finally = NewLabel(context, state);
    Instruction* rethrown = NewLabel(context, state);

    // The protected statement.
    EmitJump(context, state, OP_TRY, line, handler);
    state->loops->tryDepth++;
    GenerateNode(context, state, TryProtected(node));
    state->loops->tryDepth--;
    int afterLine = static_cast<int>(TryLineAfterProtected(node));
    EmitInstruction(context, state, OP_LEAVETRY, afterLine, 1);
    EmitInstruction(context, state, OP_PUSHFALSE, afterLine);
    EmitJump(context, state, OP_JMP, afterLine, finally);

    // Thrown: the exception is on the stack.
    PlaceLabel(state, handler);
    SyntaxNode* clauses = TryCatches(node);
    if (clauses != nullptr) {
        int endLine = static_cast<int>(TryLineAfterClauses(node));
        Instruction* after = NewLabel(context, state);
        Instruction* caught = NewLabel(context, state);
        EmitInstruction(context, state, OP_PUSHFALSE, line);  // caught flag
        EmitInstruction(context, state, OP_SWAP, line);
        EmitJump(context, state, OP_TRY, line, rethrown);
        // The clauses keep the flag and the exception on the stack; a
        // break or continue out of a clause drops them (held values 2).
        PushLoop(context, state, nullptr, nullptr, nullptr, 2);
        state->loops->tryDepth++;
        Instruction* test = NewLabel(context, state);
        for (SyntaxNode* c = clauses; c != nullptr; c = c->next) {
            Instruction* nextTest = c->next != nullptr ? NewLabel(context, state) : after;
            Instruction* body = NewLabel(context, state);
            PlaceLabel(state, test);
            PushScope(context, state);
            int32_t slot = DeclareName(context, state, CatchName(c), LocalSlot, c->line);
            EmitInstruction(context, state, OP_DUP, c->line);
            EmitInstruction(context, state, OP_SETLOCAL, c->line, slot);
            SyntaxNode* guard = CatchGuard(c);
            if (guard != nullptr) {
                Instruction* failed = NewLabel(context, state);
                EmitJump(context, state, OP_TRY, c->line, failed);
                GenerateExpression(context, state, guard);
                EmitInstruction(context, state, OP_LEAVETRY, c->line, 1);
                EmitCondJump(context, state, guard, false, nextTest);
                EmitJump(context, state, OP_JMP, c->line, body);
                // An exception in the guard counts as the guard being false.
                PlaceLabel(state, failed);
                EmitInstruction(context, state, OP_POP, c->line);
                EmitJump(context, state, OP_JMP, c->line, nextTest);
            }
            PlaceLabel(state, body);
            EmitInstruction(context, state, OP_SWAP, c->line);
            EmitInstruction(context, state, OP_POP, c->line);
            EmitInstruction(context, state, OP_PUSHTRUE, c->line);
            EmitInstruction(context, state, OP_SWAP, c->line);
            GenerateNode(context, state, CatchBody(c));
            EmitJump(context, state, OP_JMP, c->line, after);
            PopScope(state);
            test = nextTest;
        }
        PlaceLabel(state, after);
        state->loops->tryDepth--;
        PopLoop(state);
        EmitInstruction(context, state, OP_LEAVETRY, endLine, 1);
        EmitInstruction(context, state, OP_SWAP, endLine);
        EmitJump(context, state, OP_JTRUEB, endLine, caught);
        EmitInstruction(context, state, OP_PUSHTRUE, endLine);
        EmitJump(context, state, OP_JMP, endLine, finally);
        PlaceLabel(state, caught);
        EmitInstruction(context, state, OP_POP, endLine);
        EmitInstruction(context, state, OP_PUSHFALSE, endLine);
        EmitJump(context, state, OP_JMP, endLine, finally);
        // A new exception inside a clause replaces flag and exception.
        PlaceLabel(state, rethrown);
        EmitInstruction(context, state, OP_SLIDE, endLine, 2);
    }
    EmitInstruction(context, state, OP_PUSHTRUE, line);

    // The finally statement runs with the rethrow flag on top (and the
    // exception under it when the flag is true).
    PlaceLabel(state, finally);
    Instruction* done = NewLabel(context, state);
    if (TryFinally(node) != nullptr) {
        PushLoop(context, state, nullptr, nullptr, nullptr, 1);
        GenerateNode(context, state, TryFinally(node));
        PopLoop(state);
    }
    EmitJump(context, state, OP_JFALSEB, line, done);
    EmitInstruction(context, state, OP_THROW, line);
    PlaceLabel(state, done);
}

}  // namespace

void GenerateStatements(ScriptContext* context, CompileState* state, SyntaxNode* list) {
    for (SyntaxNode* s = list; s != nullptr; s = s->next) GenerateNode(context, state, s);
}

void GenerateNode(ScriptContext* context, CompileState* state, SyntaxNode* node) {
    if (node == nullptr) return;
    int line = node->line;
    switch (node->kind) {
        case NodeExpression:
            GenerateExpression(context, state, StatementExpression(node));
            EmitInstruction(context, state, OP_POP, line);
            return;
        case NodeEmpty: return;
        case NodeNestedFunction:
            // The new function becomes a member of the enclosing function.
            EmitName(context, state, OP_GETGLOBAL, line, NestedCodeName(node));
            EmitName(context, state, OP_GETGLOBAL, line, NestedEnclosingName(node));
            EmitName(context, state, OP_SETMEMBER, line, NestedDeclaredName(node));
            return;
        case NodeVar:
            GenerateDeclarators(context, state, VarDeclarators(node), VarIsGlobal(node) != 0);
            return;
        case NodeBlock:
            PushScope(context, state);
            GenerateStatements(context, state, BlockStatements(node));
            PopScope(state);
            return;
        case NodeIf: GenerateIf(context, state, node); return;
        case NodeWhile: GenerateWhile(context, state, node); return;
        case NodeDo: GenerateDo(context, state, node); return;
        case NodeFor: GenerateFor(context, state, node); return;
        case NodeForIn: GenerateForIn(context, state, node); return;
        case NodeContinue: GenerateJumpOut(context, state, node, false); return;
        case NodeBreak: GenerateJumpOut(context, state, node, true); return;
        case NodeReturn: GenerateReturn(context, state, node); return;
        case NodeWith: GenerateWith(context, state, node); return;
        case NodeThrow:
            GenerateExpression(context, state, ThrownValue(node));
            EmitInstruction(context, state, OP_THROW, line);
            return;
        case NodeLabeled: GenerateLabeled(context, state, node); return;
        case NodeSwitch: GenerateSwitch(context, state, node); return;
        case NodeTry: GenerateTry(context, state, node); return;
        default:
            // Expressions in statement position never reach here (they are
            // wrapped in expression statements); kinds above 50 generate
            // nothing.
            return;
    }
}

}  // namespace kelpo
