// The tree printer: walks nodes by the operand roles of the layout table.
#include "compiler/syntax_print.h"

#include <cinttypes>
#include <cstdio>

#include "compiler/tokens.h"

namespace kelpo {
namespace {

void PrintRecord(ScriptContext* context, ScriptStream* out, const SyntaxNode* node,
                 const NodeLayout* layout, int flags);

void PrintInteger(ScriptContext* context, ScriptStream* out, int64_t value) {
    char text[32];
    snprintf(text, sizeof text, "%" PRId64, value);
    StreamWrite(context, out, "s", text);
}

void PrintFloat(ScriptContext* context, ScriptStream* out, double value) {
    char text[40];
    snprintf(text, sizeof text, "%gf", value);
    StreamWrite(context, out, "s", text);
}

void PrintQuoted(ScriptContext* context, ScriptStream* out, const char* text) {
    if (text == nullptr) {
        StreamWrite(context, out, "s", "-");
        return;
    }
    StreamWrite(context, out, "c", '"');
    for (const char* p = text; *p != '\0'; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '\\') {
            StreamWrite(context, out, "cc", '\\', c);
        } else if (c < 32 || c >= 127) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\x%02X", c);
            StreamWrite(context, out, "s", escape);
        } else {
            StreamWrite(context, out, "c", c);
        }
    }
    StreamWrite(context, out, "c", '"');
}

void PrintLine(ScriptContext* context, ScriptStream* out, const SyntaxNode* node, int flags) {
    if (flags & PrintLines) StreamWrite(context, out, "ca", '@', node->line);
}

// Leaves print bare: names, literal values and the constant words.
bool PrintLeaf(ScriptContext* context, ScriptStream* out, const SyntaxNode* node, int flags) {
    switch (node->kind) {
        case NodeIdentifier: StreamWrite(context, out, "s", IdentifierName(node)); break;
        case NodeInteger: PrintInteger(context, out, IntegerValue(node)); break;
        case NodeFloat: PrintFloat(context, out, FloatValue(node)); break;
        case NodeString: PrintQuoted(context, out, StringLiteralText(node)); break;
        case NodeThis:
        case NodeNull:
        case NodeTrue:
        case NodeFalse:
        case NodeUndefined: StreamWrite(context, out, "s", LayoutOfKind(node->kind)->name); break;
        default: return false;
    }
    PrintLine(context, out, node, flags);
    return true;
}

void PrintItems(ScriptContext* context, ScriptStream* out, const SyntaxNode* list, OperandRole role,
                int flags) {
    StreamWrite(context, out, "c", '[');
    for (const SyntaxNode* item = list; item != nullptr; item = item->next) {
        if (item != list) StreamWrite(context, out, "c", ' ');
        switch (role) {
            case OperandRole::Elements:
                if (item->kind == NodeEmpty) {
                    PrintRecord(context, out, item, &kHoleLayout, flags);
                } else {
                    PrintSyntaxNode(context, out, item, flags);
                }
                break;
            case OperandRole::Properties:
                PrintRecord(context, out, item, &kPropertyLayout, flags);
                break;
            case OperandRole::Cases: PrintRecord(context, out, item, &kCaseLayout, flags); break;
            case OperandRole::Catches: PrintRecord(context, out, item, &kCatchLayout, flags); break;
            default: PrintSyntaxNode(context, out, item, flags); break;
        }
    }
    StreamWrite(context, out, "c", ']');
}

void PrintOperand(ScriptContext* context, ScriptStream* out, const SyntaxNode* node, int index,
                  OperandRole role, int flags) {
    const NodeOperand& operand = node->op[index];
    switch (role) {
        case OperandRole::None: break;
        case OperandRole::Node: PrintSyntaxNode(context, out, operand.node, flags); break;
        case OperandRole::List:
        case OperandRole::Elements:
        case OperandRole::Properties:
        case OperandRole::Cases:
        case OperandRole::Catches: PrintItems(context, out, operand.node, role, flags); break;
        case OperandRole::Name:
            StreamWrite(context, out, "s", operand.text != nullptr ? operand.text : "-");
            break;
        case OperandRole::String: PrintQuoted(context, out, operand.text); break;
        case OperandRole::Token:
            StreamWrite(context, out, "s", TokenSpelling(static_cast<int32_t>(operand.integer)));
            break;
        case OperandRole::Key:
            // The key kind is the operand before the key.
            if (node->op[index - 1].integer == TokenInteger) {
                PrintInteger(context, out, operand.integer);
            } else if (node->op[index - 1].integer == TokenString) {
                PrintQuoted(context, out, operand.text);
            } else {
                StreamWrite(context, out, "s", operand.text);
            }
            break;
        case OperandRole::Count:
        case OperandRole::Line:
        case OperandRole::Flag:
        case OperandRole::Integer: PrintInteger(context, out, operand.integer); break;
        case OperandRole::Float: PrintFloat(context, out, operand.number); break;
    }
}

void PrintRecord(ScriptContext* context, ScriptStream* out, const SyntaxNode* node,
                 const NodeLayout* layout, int flags) {
    int used = kNodeOperands;
    while (used > 0 && layout->roles[used - 1] == OperandRole::None) --used;
    if (used == 0 && layout == &kHoleLayout) {
        StreamWrite(context, out, "s", layout->name);
        PrintLine(context, out, node, flags);
        return;
    }
    StreamWrite(context, out, "cs", '(', layout->name);
    PrintLine(context, out, node, flags);
    for (int i = 0; i < used; ++i) {
        // The property key kind shows in how the key prints.
        if (layout->roles[i] == OperandRole::Token && layout == &kPropertyLayout) continue;
        StreamWrite(context, out, "c", ' ');
        PrintOperand(context, out, node, i, layout->roles[i], flags);
    }
    StreamWrite(context, out, "c", ')');
}

}  // namespace

void PrintSyntaxNode(ScriptContext* context, ScriptStream* out, const SyntaxNode* node, int flags) {
    if (node == nullptr) {
        StreamWrite(context, out, "s", "-");
        return;
    }
    if (PrintLeaf(context, out, node, flags)) return;
    const NodeLayout* layout = LayoutOfKind(node->kind);
    if (layout == nullptr) {
        StreamWrite(context, out, "sa", "?", node->kind);
        return;
    }
    PrintRecord(context, out, node, layout, flags);
}

void PrintSyntaxList(ScriptContext* context, ScriptStream* out, const SyntaxNode* list, int flags) {
    for (const SyntaxNode* node = list; node != nullptr; node = node->next) {
        if (node != list) StreamWrite(context, out, "c", ' ');
        PrintSyntaxNode(context, out, node, flags);
    }
}

}  // namespace kelpo
