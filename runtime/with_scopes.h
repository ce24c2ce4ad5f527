// The with-scope block of an interpreter frame: {u32 count, then count
// Values}. The interpreter grows it by one entry per WITH; the collector
// reaches it through the frame record on the value stack.
#pragma once

#include <cstdint>

#include "runtime/value.h"

namespace kelpo {

struct WithScopeBlock {
    uint32_t count;
    uint32_t reserved;  // keeps the entries aligned for Value
};

inline Value* WithScopeEntries(WithScopeBlock* block) {
    return reinterpret_cast<Value*>(block + 1);
}

}  // namespace kelpo
