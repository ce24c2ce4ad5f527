// Which handler each opcode word dispatches to, worked out at compile time
// from the opcode lists. The interpreter's threaded dispatch table is
// expanded from it slot by slot; tests read it directly.
//
// Handler 0 is the invalid-opcode handler; handler k is that of the k-th
// opcode of KELPO_DISPATCHED_OPCODES.
#pragma once

#include <array>
#include <cstdint>

#include "compiler/opcode_list.h"

namespace kelpo {

// Every opcode the interpreter dispatches on, in handler order: the image
// opcodes, then the fused ones the loader writes.
#define KELPO_DISPATCHED_OPCODES(X) KELPO_OPCODES(X) KELPO_FUSED_OPCODES(X)

// One slot per byte value; opcode words beyond a byte are invalid.
constexpr int kDispatchSlots = 256;

constexpr std::array<uint8_t, kDispatchSlots> HandlerOfSlot() {
    std::array<uint8_t, kDispatchSlots> handler{};
    uint8_t listed = 0;
#define KELPO_HANDLER_OF_SLOT(name, number, ...) handler[number] = ++listed;
    KELPO_DISPATCHED_OPCODES(KELPO_HANDLER_OF_SLOT)
#undef KELPO_HANDLER_OF_SLOT
    return handler;
}

constexpr std::array<uint8_t, kDispatchSlots> kHandlerOfSlot = HandlerOfSlot();

#define KELPO_COUNT_ONE(...) +1
constexpr int kDispatchedOpcodeCount = 0 KELPO_DISPATCHED_OPCODES(KELPO_COUNT_ONE);
#undef KELPO_COUNT_ONE

// Two opcodes listed with one number would leave one of them unreachable.
constexpr bool EveryOpcodeHasASlotOfItsOwn() {
    int used = 0;
    for (uint8_t handler : kHandlerOfSlot) used += handler != 0;
    return used == kDispatchedOpcodeCount;
}
static_assert(EveryOpcodeHasASlotOfItsOwn(), "opcode_list.h: two opcodes share a number");

}  // namespace kelpo
