// Heap regions on Windows: plain allocations (large pages there need a
// privilege a projector does not have).
#include <cstdlib>

#include "platform/heap_memory.h"

namespace kelpo {

void* AllocateHeapRegion() { return malloc(kHeapRegionBytes); }

void FreeHeapRegion(void* region) { free(region); }

}  // namespace kelpo
