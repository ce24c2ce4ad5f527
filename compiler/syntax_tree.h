// The syntax tree the parser builds and the code generator walks.
//
// Every node is a zero-filled collected block {kind, static type, line,
// height, six operands, next}. `next` chains nodes into lists (statements,
// arguments, elements, properties, clauses, declarators, parameters).
// Argument, element and property lists are stored last item first; all
// other lists keep source order.
//
// Operands by kind (op[i]; "token" is a token kind, "list" the first node of
// a list, texts are NUL-terminated narrow texts):
//
//   0  comma               node left, node right
//   1  assignment          token op ("=" or compound), node target, node value
//   2  conditional         node condition, node then, node else
//   3..9 binary            token op, node left, node right
//        (3 && ||, 4 & ^ |, 5 == != === !==, 6 < > <= >=, 7 << >> >>>,
//         8 * / %, 9 + -)
//   10 this, 11 null, 12 true, 13 false, 50 undefined: no operands
//   14 identifier          text name
//   15 Float literal       double (op[0].number)
//   16 Integer literal     int64 (op[0].integer)
//   17 String literal      text
//   18 call                node callee, list arguments (last first), count
//   19 member a.b          node object, text name
//   20 index a[b]          node object, node key
//   21 new                 node constructor, list arguments (last first), count
//   26 postfix ++ --       token op, node operand
//   27 prefix unary        token op (! + - ~ delete typeof void ++ --), node operand
//   28 regular expression  text source, flags
//   29 array literal       count, list elements (last first; holes are kind 34)
//   30 object literal      count, list properties (last first)
//   31 block               list statements
//   32 nested function declaration: text enclosing code name, text code name,
//                          text declared name
//   33 var                 global flag, count, list declarators (kind 254)
//   34 empty statement     no operands (also the generic record, below)
//   35 expression statement node expression
//   36 if                  node condition, node then, node else or null
//   37 while               node condition, node body
//   38 for                 list declarators, node init, node condition,
//                          node update, node body, declarator count
//   39 for-in              list declarators (at most one), node target,
//                          node object, node body
//   40 continue, 41 break  text label or null
//   42 return              node value or null
//   43 with                node object, node body
//   44 try                 line after the protected statement, line after
//                          the last clause, node protected, list catch
//                          clauses, node finally or null
//   45 throw               node value
//   46 do loop             node condition, node body
//   47 switch              line of the closing brace, node discriminant,
//                          list case clauses
//   48 labeled statement   text label, node statement
//   49 function definition line of the closing brace of the body,
//                          uses-arguments flag, text code name, text declared
//                          name (null for an anonymous function), list
//                          parameters (identifier nodes), list body statements
//   254 declarator         text name, node initializer or null
//
// Kind 34 records inside other constructs:
//   array hole             no operands
//   object property        token key kind (Integer, String or identifier),
//                          key (int64 or text), node value
//   case clause            node case expression (null for default), list
//                          statements, line where the clause ends
//   catch clause           text name, node guard or null, node body, line at
//                          the end of the catch list (last clause only)
#pragma once

#include <cstdint>

#include "runtime/context.h"

namespace kelpo {

enum NodeKind : int32_t {
    NodeComma = 0,
    NodeAssign = 1,
    NodeConditional = 2,
    NodeLogical = 3,
    NodeBitwise = 4,
    NodeEquality = 5,
    NodeRelational = 6,
    NodeShift = 7,
    NodeMultiplicative = 8,
    NodeAdditive = 9,
    NodeThis = 10,
    NodeNull = 11,
    NodeTrue = 12,
    NodeFalse = 13,
    NodeIdentifier = 14,
    NodeFloat = 15,
    NodeInteger = 16,
    NodeString = 17,
    NodeCall = 18,
    NodeMember = 19,
    NodeIndex = 20,
    NodeNew = 21,
    NodePostfix = 26,
    NodePrefix = 27,
    NodeRegExp = 28,
    NodeArray = 29,
    NodeObject = 30,
    NodeBlock = 31,
    NodeNestedFunction = 32,
    NodeVar = 33,
    NodeEmpty = 34,
    NodeExpression = 35,
    NodeIf = 36,
    NodeWhile = 37,
    NodeFor = 38,
    NodeForIn = 39,
    NodeContinue = 40,
    NodeBreak = 41,
    NodeReturn = 42,
    NodeWith = 43,
    NodeTry = 44,
    NodeThrow = 45,
    NodeDo = 46,
    NodeSwitch = 47,
    NodeLabeled = 48,
    NodeFunction = 49,
    NodeUndefined = 50,
    NodeDeclarator = 254,
};

// Compile-time type hints, in ValueTag numbers; 0 means unknown.
enum StaticType : int32_t {
    StaticUnknown = 0,
    StaticNull = 1,
    StaticBoolean = 2,
    StaticInteger = 3,
    StaticString = 4,
    StaticFloat = 5,
    StaticArray = 6,
    StaticObject = 7,
    StaticRegExp = 11,
};

struct SyntaxNode;

union NodeOperand {
    SyntaxNode* node;  // a node, or the first node of a list
    const char* text;
    int64_t integer;  // Integer literals, token kinds, counts, lines, flags
    double number;    // Float literals
};

constexpr int kNodeOperands = 6;

struct SyntaxNode {
    int32_t kind;        // NodeKind
    int32_t staticType;  // StaticType
    int32_t line;
    // 1 for a leaf, else 1 + the largest height of the node's children.
    // Bounded by kMaxTreeHeight, so walking a tree recursively needs a
    // bounded native stack.
    int32_t height;
    NodeOperand op[kNodeOperands];
    SyntaxNode* next;
};

// Named operands, per node kind (the layout above). On a mutable node an
// accessor gives the operand slot itself, so the parser writes through the
// same names the generator reads. Walkers that go by the layout table
// (printer, heights) keep indexing op[].
#define KELPO_NODE_OPERAND(Name, index, member, Type)                      \
    inline Type& Name(SyntaxNode* node) { return node->op[index].member; } \
    inline Type Name(const SyntaxNode* node) { return node->op[index].member; }

// comma
KELPO_NODE_OPERAND(CommaLeft, 0, node, SyntaxNode*)
KELPO_NODE_OPERAND(CommaRight, 1, node, SyntaxNode*)
// assignment
KELPO_NODE_OPERAND(AssignOperator, 0, integer, int64_t)
KELPO_NODE_OPERAND(AssignTarget, 1, node, SyntaxNode*)
KELPO_NODE_OPERAND(AssignValue, 2, node, SyntaxNode*)
// conditional
KELPO_NODE_OPERAND(ConditionalTest, 0, node, SyntaxNode*)
KELPO_NODE_OPERAND(ConditionalThen, 1, node, SyntaxNode*)
KELPO_NODE_OPERAND(ConditionalElse, 2, node, SyntaxNode*)
// binary (NodeLogical .. NodeAdditive)
KELPO_NODE_OPERAND(BinaryOperator, 0, integer, int64_t)
KELPO_NODE_OPERAND(BinaryLeft, 1, node, SyntaxNode*)
KELPO_NODE_OPERAND(BinaryRight, 2, node, SyntaxNode*)
// literals and identifiers
KELPO_NODE_OPERAND(IdentifierName, 0, text, const char*)
KELPO_NODE_OPERAND(FloatValue, 0, number, double)
KELPO_NODE_OPERAND(IntegerValue, 0, integer, int64_t)
KELPO_NODE_OPERAND(StringLiteralText, 0, text, const char*)
KELPO_NODE_OPERAND(RegExpSource, 0, text, const char*)
KELPO_NODE_OPERAND(RegExpFlags, 1, integer, int64_t)
// call and new (arguments last first)
KELPO_NODE_OPERAND(CallCallee, 0, node, SyntaxNode*)
KELPO_NODE_OPERAND(CallArguments, 1, node, SyntaxNode*)
KELPO_NODE_OPERAND(CallArgumentCount, 2, integer, int64_t)
KELPO_NODE_OPERAND(NewConstructor, 0, node, SyntaxNode*)
KELPO_NODE_OPERAND(NewArguments, 1, node, SyntaxNode*)
KELPO_NODE_OPERAND(NewArgumentCount, 2, integer, int64_t)
// member a.b and index a[b]
KELPO_NODE_OPERAND(MemberObject, 0, node, SyntaxNode*)
KELPO_NODE_OPERAND(MemberName, 1, text, const char*)
KELPO_NODE_OPERAND(IndexObject, 0, node, SyntaxNode*)
KELPO_NODE_OPERAND(IndexKey, 1, node, SyntaxNode*)
// prefix and postfix
KELPO_NODE_OPERAND(UnaryOperator, 0, integer, int64_t)
KELPO_NODE_OPERAND(UnaryOperand, 1, node, SyntaxNode*)
// array and object literals (items last first)
KELPO_NODE_OPERAND(ArrayCount, 0, integer, int64_t)
KELPO_NODE_OPERAND(ArrayElements, 1, node, SyntaxNode*)
KELPO_NODE_OPERAND(ObjectCount, 0, integer, int64_t)
KELPO_NODE_OPERAND(ObjectProperties, 1, node, SyntaxNode*)
// object property record
KELPO_NODE_OPERAND(PropertyKeyKind, 0, integer, int64_t)
KELPO_NODE_OPERAND(PropertyIntegerKey, 1, integer, int64_t)
KELPO_NODE_OPERAND(PropertyTextKey, 1, text, const char*)
KELPO_NODE_OPERAND(PropertyValue, 2, node, SyntaxNode*)
// block, expression statement, return, throw
KELPO_NODE_OPERAND(BlockStatements, 0, node, SyntaxNode*)
KELPO_NODE_OPERAND(StatementExpression, 0, node, SyntaxNode*)
KELPO_NODE_OPERAND(ReturnValue, 0, node, SyntaxNode*)
KELPO_NODE_OPERAND(ThrownValue, 0, node, SyntaxNode*)
// nested function declaration
KELPO_NODE_OPERAND(NestedEnclosingName, 0, text, const char*)
KELPO_NODE_OPERAND(NestedCodeName, 1, text, const char*)
KELPO_NODE_OPERAND(NestedDeclaredName, 2, text, const char*)
// var and its declarators
KELPO_NODE_OPERAND(VarIsGlobal, 0, integer, int64_t)
KELPO_NODE_OPERAND(VarCount, 1, integer, int64_t)
KELPO_NODE_OPERAND(VarDeclarators, 2, node, SyntaxNode*)
KELPO_NODE_OPERAND(DeclaratorName, 0, text, const char*)
KELPO_NODE_OPERAND(DeclaratorInitializer, 1, node, SyntaxNode*)
// if, while, do
KELPO_NODE_OPERAND(IfCondition, 0, node, SyntaxNode*)
KELPO_NODE_OPERAND(IfThen, 1, node, SyntaxNode*)
KELPO_NODE_OPERAND(IfElse, 2, node, SyntaxNode*)
KELPO_NODE_OPERAND(WhileCondition, 0, node, SyntaxNode*)
KELPO_NODE_OPERAND(WhileBody, 1, node, SyntaxNode*)
KELPO_NODE_OPERAND(DoCondition, 0, node, SyntaxNode*)
KELPO_NODE_OPERAND(DoBody, 1, node, SyntaxNode*)
// for
KELPO_NODE_OPERAND(ForDeclarators, 0, node, SyntaxNode*)
KELPO_NODE_OPERAND(ForInit, 1, node, SyntaxNode*)
KELPO_NODE_OPERAND(ForTest, 2, node, SyntaxNode*)
KELPO_NODE_OPERAND(ForStep, 3, node, SyntaxNode*)
KELPO_NODE_OPERAND(ForBody, 4, node, SyntaxNode*)
KELPO_NODE_OPERAND(ForDeclaratorCount, 5, integer, int64_t)
// for-in
KELPO_NODE_OPERAND(ForInDeclarators, 0, node, SyntaxNode*)
KELPO_NODE_OPERAND(ForInTarget, 1, node, SyntaxNode*)
KELPO_NODE_OPERAND(ForInObject, 2, node, SyntaxNode*)
KELPO_NODE_OPERAND(ForInBody, 3, node, SyntaxNode*)
// continue, break and labeled statements
KELPO_NODE_OPERAND(JumpLabel, 0, text, const char*)
KELPO_NODE_OPERAND(LabeledName, 0, text, const char*)
KELPO_NODE_OPERAND(LabeledStatement, 1, node, SyntaxNode*)
// with
KELPO_NODE_OPERAND(WithObject, 0, node, SyntaxNode*)
KELPO_NODE_OPERAND(WithBody, 1, node, SyntaxNode*)
// try and its catch clause records
KELPO_NODE_OPERAND(TryLineAfterProtected, 0, integer, int64_t)
KELPO_NODE_OPERAND(TryLineAfterClauses, 1, integer, int64_t)
KELPO_NODE_OPERAND(TryProtected, 2, node, SyntaxNode*)
KELPO_NODE_OPERAND(TryCatches, 3, node, SyntaxNode*)
KELPO_NODE_OPERAND(TryFinally, 4, node, SyntaxNode*)
KELPO_NODE_OPERAND(CatchName, 0, text, const char*)
KELPO_NODE_OPERAND(CatchGuard, 1, node, SyntaxNode*)
KELPO_NODE_OPERAND(CatchBody, 2, node, SyntaxNode*)
KELPO_NODE_OPERAND(CatchListEndLine, 3, integer, int64_t)
// switch and its case clause records
KELPO_NODE_OPERAND(SwitchEndLine, 0, integer, int64_t)
KELPO_NODE_OPERAND(SwitchDiscriminant, 1, node, SyntaxNode*)
KELPO_NODE_OPERAND(SwitchCases, 2, node, SyntaxNode*)
KELPO_NODE_OPERAND(CaseTest, 0, node, SyntaxNode*)
KELPO_NODE_OPERAND(CaseStatements, 1, node, SyntaxNode*)
KELPO_NODE_OPERAND(CaseEndLine, 2, integer, int64_t)
// function definition
KELPO_NODE_OPERAND(FunctionEndLine, 0, integer, int64_t)
KELPO_NODE_OPERAND(FunctionUsesArguments, 1, integer, int64_t)
KELPO_NODE_OPERAND(FunctionCodeName, 2, text, const char*)
KELPO_NODE_OPERAND(FunctionDeclaredName, 3, text, const char*)
KELPO_NODE_OPERAND(FunctionParameters, 4, node, SyntaxNode*)
KELPO_NODE_OPERAND(FunctionBody, 5, node, SyntaxNode*)

#undef KELPO_NODE_OPERAND

// Limits on nesting, enforced with a compile error: recursion depth of the
// parse functions and height of the finished tree.
constexpr int32_t kMaxParseDepth = 200;
constexpr int32_t kMaxTreeHeight = 1000;

// What an operand holds, for walkers that work from the layout table.
enum class OperandRole : uint8_t {
    None,
    Node,        // a node or null
    List,        // a list of nodes (statements, arguments, parameters, ...)
    Elements,    // array elements: nodes, kind 34 for holes
    Properties,  // object-literal property records
    Cases,       // case clause records
    Catches,     // catch clause records
    Name,        // text: a name, label or code name (null allowed)
    String,      // text: literal text
    Token,       // a token kind
    Key,         // object property key: int64 or text by the key kind before it
    Count,
    Line,
    Flag,
    Integer,
    Float,
};

struct NodeLayout {
    const char* name;  // short name used by the tree printer
    OperandRole roles[kNodeOperands];
};

// The layout of a node kind; null for numbers that are no node kind.
const NodeLayout* LayoutOfKind(int32_t kind);

// 1 + the largest height among the node and list operands of `layout`.
int32_t ComputeHeight(const SyntaxNode* node, const NodeLayout* layout);

// Layouts of the kind 34 records inside other constructs.
extern const NodeLayout kHoleLayout;
extern const NodeLayout kPropertyLayout;
extern const NodeLayout kCaseLayout;
extern const NodeLayout kCatchLayout;

}  // namespace kelpo
