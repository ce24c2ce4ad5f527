// A readable listing of instruction lists, for tests and debugging:
//
//   function f
//     GETARG 1
//   L3:
//     JFALSEB L5
//     PUSHCONST "text"
#pragma once

#include <string>

namespace kelpo {

struct CompileState;
struct Instruction;

// One instruction (without indentation): "NAME operand", "L3:" for a label,
// "function NAME" for a unit start.
std::string InstructionText(const Instruction* instruction);

// The whole list, one record per line; instructions indented by two spaces.
std::string ListInstructions(const CompileState* state);

}  // namespace kelpo
