// Fused instructions: internal opcodes the loader writes over the first
// word of common instruction runs in word code.
//
// A run "read a local or argument; read a local, argument or constant;
// apply + - * % < > <= or >=" (optionally followed by a JFALSEB, JTRUEB or
// SETLOCAL) is what loops and expressions spend most instructions on. The
// loader replaces only the run's first opcode word; every other word stays
// as it was, so jumps into the middle of a run, code positions and line
// records are untouched. The interpreter's handler of a fused opcode does
// the whole run at once when the operands are plain numbers in range, and
// otherwise executes the run's first instruction as written and carries on
// one instruction at a time, so behaviour is the same either way.
//
// The numbers lie above every image opcode; image bytes can never produce
// them.
#pragma once

#include <cstdint>

#include "compiler/opcode_list.h"

namespace kelpo {

// OP_FUSED_LOCAL (a run starting with GETLOCAL), OP_FUSED_ARG (one
// starting with GETARG) and OP_FUSED_PROLOGUE (a function's prologue
// "GETARG 1; ADD2; ARGPAD n", which does nothing when the caller passed at
// least the declared parameters), numbered in opcode_list.h.
#define KELPO_FUSED_CONSTANT(name, number) constexpr uint32_t OP_##name = number;
KELPO_FUSED_OPCODES(KELPO_FUSED_CONSTANT)
#undef KELPO_FUSED_CONSTANT

// Rewrites the first words of fusable runs in a unit's verified word code.
void FuseInstructions(uint32_t* words, uint32_t count);

}  // namespace kelpo
