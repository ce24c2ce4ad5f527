// Instruction-list listings.
#include "compiler/instruction_listing.h"

#include <cinttypes>
#include <cstdio>

#include "compiler/compile_state.h"
#include "compiler/instructions.h"
#include "compiler/opcodes.h"

namespace kelpo {
namespace {

std::string Quoted(const char* text) {
    std::string out = "\"";
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '"' || *p == '\\') out += '\\';
        out += *p;
    }
    return out + "\"";
}

}  // namespace

std::string InstructionText(const Instruction* i) {
    char buffer[64];
    if (i->opcode == kFunctionStartRecord) return std::string("function ") + i->operand.text;
    if (i->opcode == kLabelRecord) {
        snprintf(buffer, sizeof buffer, "L%" PRId64 ":", i->operand.integer);
        return buffer;
    }
    std::string text = OpcodeInfoOf(i->opcode).name;
    switch (i->operandType) {
        case OperandType::None: break;
        case OperandType::Immediate:
            snprintf(buffer, sizeof buffer, " %" PRId64, i->operand.integer);
            text += buffer;
            break;
        case OperandType::Text: text += std::string(" ") + i->operand.text; break;
        case OperandType::LabelRef:
            snprintf(buffer, sizeof buffer, " L%" PRId64, i->operand.label->operand.integer);
            text += buffer;
            break;
        case OperandType::ConstInteger:
            snprintf(buffer, sizeof buffer, " %" PRId64, i->operand.integer);
            text += buffer;
            break;
        case OperandType::ConstFloat:
            snprintf(buffer, sizeof buffer, " %.17g", i->operand.number);
            text += buffer;
            break;
        case OperandType::ConstString: text += " " + Quoted(i->operand.text); break;
        case OperandType::ConstRegExp:
            text += std::string(" /") + i->operand.text + "/";
            if (i->regexpFlags & 1) text += 'g';
            if (i->regexpFlags & 2) text += 'i';
            if (i->regexpFlags & 4) text += 'm';
            break;
    }
    return text;
}

std::string ListInstructions(const CompileState* state) {
    std::string out;
    for (const Instruction* i = state->firstInstruction; i != nullptr; i = i->next) {
        bool record = i->opcode == kFunctionStartRecord || i->opcode == kLabelRecord;
        out += (record ? "" : "  ") + InstructionText(i) + "\n";
    }
    return out;
}

}  // namespace kelpo
