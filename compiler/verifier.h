// Checking the stack discipline of loaded code before it runs.
//
// Images may come from damaged files or be crafted. The interpreter trusts
// that a unit never pops below its frame's operand area and that RETURN and
// END find their value; this check refuses units that break those rules.
#pragma once

#include <cstdint>
#include <vector>

namespace kelpo {

// Verifies word code (opcode words each followed by their operand word).
// False when the unit is unsafe.
bool VerifyUnitStack(const std::vector<uint32_t>& words);

}  // namespace kelpo
