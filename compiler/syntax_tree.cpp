// The layout table of syntax nodes and the height of a node.
#include "compiler/syntax_tree.h"

namespace kelpo {
namespace {

using R = OperandRole;

struct KindLayout {
    int32_t kind;
    NodeLayout layout;
};

const KindLayout kLayouts[] = {
    {NodeComma, {"comma", {R::Node, R::Node}}},
    {NodeAssign, {"assign", {R::Token, R::Node, R::Node}}},
    {NodeConditional, {"cond", {R::Node, R::Node, R::Node}}},
    {NodeLogical, {"logic", {R::Token, R::Node, R::Node}}},
    {NodeBitwise, {"bit", {R::Token, R::Node, R::Node}}},
    {NodeEquality, {"eq", {R::Token, R::Node, R::Node}}},
    {NodeRelational, {"rel", {R::Token, R::Node, R::Node}}},
    {NodeShift, {"shift", {R::Token, R::Node, R::Node}}},
    {NodeMultiplicative, {"mul", {R::Token, R::Node, R::Node}}},
    {NodeAdditive, {"add", {R::Token, R::Node, R::Node}}},
    {NodeThis, {"this", {}}},
    {NodeNull, {"null", {}}},
    {NodeTrue, {"true", {}}},
    {NodeFalse, {"false", {}}},
    {NodeIdentifier, {"id", {R::Name}}},
    {NodeFloat, {"float", {R::Float}}},
    {NodeInteger, {"int", {R::Integer}}},
    {NodeString, {"str", {R::String}}},
    {NodeCall, {"call", {R::Node, R::List, R::Count}}},
    {NodeMember, {"member", {R::Node, R::Name}}},
    {NodeIndex, {"index", {R::Node, R::Node}}},
    {NodeNew, {"new", {R::Node, R::List, R::Count}}},
    {NodePostfix, {"postfix", {R::Token, R::Node}}},
    {NodePrefix, {"prefix", {R::Token, R::Node}}},
    {NodeRegExp, {"regexp", {R::String, R::Flag}}},
    {NodeArray, {"array", {R::Count, R::Elements}}},
    {NodeObject, {"object", {R::Count, R::Properties}}},
    {NodeBlock, {"block", {R::List}}},
    {NodeNestedFunction, {"nested", {R::Name, R::Name, R::Name}}},
    {NodeVar, {"var", {R::Flag, R::Count, R::List}}},
    {NodeEmpty, {"empty", {}}},
    {NodeExpression, {"expr", {R::Node}}},
    {NodeIf, {"if", {R::Node, R::Node, R::Node}}},
    {NodeWhile, {"while", {R::Node, R::Node}}},
    {NodeFor, {"for", {R::List, R::Node, R::Node, R::Node, R::Node, R::Count}}},
    {NodeForIn, {"forin", {R::List, R::Node, R::Node, R::Node}}},
    {NodeContinue, {"continue", {R::Name}}},
    {NodeBreak, {"break", {R::Name}}},
    {NodeReturn, {"return", {R::Node}}},
    {NodeWith, {"with", {R::Node, R::Node}}},
    {NodeTry, {"try", {R::Line, R::Line, R::Node, R::Catches, R::Node}}},
    {NodeThrow, {"throw", {R::Node}}},
    {NodeDo, {"do", {R::Node, R::Node}}},
    {NodeSwitch, {"switch", {R::Line, R::Node, R::Cases}}},
    {NodeLabeled, {"label", {R::Name, R::Node}}},
    {NodeFunction, {"function", {R::Line, R::Flag, R::Name, R::Name, R::List, R::List}}},
    {NodeUndefined, {"undefined", {}}},
    {NodeDeclarator, {"decl", {R::Name, R::Node}}},
};

bool HasChildren(OperandRole role) {
    switch (role) {
        case R::Node:
        case R::List:
        case R::Elements:
        case R::Properties:
        case R::Cases:
        case R::Catches: return true;
        default: return false;
    }
}

}  // namespace

const NodeLayout kHoleLayout = {"hole", {}};
const NodeLayout kPropertyLayout = {"prop", {R::Token, R::Key, R::Node}};
const NodeLayout kCaseLayout = {"case", {R::Node, R::List, R::Line}};
const NodeLayout kCatchLayout = {"catch", {R::Name, R::Node, R::Node, R::Line}};

const NodeLayout* LayoutOfKind(int32_t kind) {
    for (const KindLayout& k : kLayouts) {
        if (k.kind == kind) return &k.layout;
    }
    return nullptr;
}

int32_t ComputeHeight(const SyntaxNode* node, const NodeLayout* layout) {
    int32_t highest = 0;
    for (int i = 0; i < kNodeOperands; ++i) {
        OperandRole role = layout->roles[i];
        if (!HasChildren(role)) continue;
        const SyntaxNode* child = node->op[i].node;
        // A plain node operand is one child; every other role is a list.
        for (; child != nullptr; child = role == R::Node ? nullptr : child->next) {
            if (child->height > highest) highest = child->height;
        }
    }
    return highest + 1;
}

}  // namespace kelpo
