// Image assembly: every function start opens a unit, labels write nothing,
// names and constants become pool entries, jumps byte displacements.
#include "compiler/assemble_image.h"

#include "compiler/image_writer.h"
#include "compiler/instructions.h"
#include "compiler/opcodes.h"

namespace kelpo {

std::vector<uint8_t> AssembleImageBytes(ScriptContext* /*context*/, CompileState* state) {
    ImageWriter w;
    BeginImage(&w, (state->options & LineTableOption) != 0,
               state->sourceName != nullptr ? state->sourceName : "string");
    for (Instruction* ins = state->firstInstruction; ins != nullptr; ins = ins->next) {
        if (ins->opcode == kFunctionStartRecord) {
            BeginUnit(&w, ins->operand.text);
            continue;
        }
        if (ins->opcode == kLabelRecord) continue;
        int64_t operand = 0;
        switch (ins->operandType) {
            case OperandType::None: break;
            case OperandType::Immediate: operand = ins->operand.integer; break;
            case OperandType::Text: operand = PoolName(&w, ins->operand.text); break;
            case OperandType::LabelRef:
                operand = static_cast<int64_t>(ins->operand.label->offset) -
                          static_cast<int64_t>(ins->offset + static_cast<uint32_t>(ins->size));
                break;
            case OperandType::ConstInteger: operand = PoolInteger(&w, ins->operand.integer); break;
            case OperandType::ConstString: operand = PoolString(&w, ins->operand.text); break;
            case OperandType::ConstFloat: operand = PoolFloat(&w, ins->operand.number); break;
            case OperandType::ConstRegExp:
                operand = PoolRegExp(&w, ins->operand.text, ins->regexpFlags);
                break;
        }
        WriteInstruction(&w, ins->opcode, operand, static_cast<uint32_t>(ins->line));
    }
    return FinishImage(&w);
}

ScriptStream* AssembleImage(ScriptContext* context, CompileState* state) {
    std::vector<uint8_t> bytes = AssembleImageBytes(context, state);
    ScriptStream* image = OpenScriptStream(context, nullptr, MemoryStream);
    if (image == nullptr) return nullptr;
    if (!bytes.empty() &&
        !StreamWrite(context, image, "b", static_cast<uint32_t>(bytes.size()), bytes.data())) {
        return nullptr;
    }
    return image;
}

void WriteListing(ScriptContext* context, CompileState* /*state*/, ScriptStream* stream) {
    StreamWrite(context, stream, "s", "; -*- asm -*-\r\n");
}

}  // namespace kelpo
