// Heap regions outside Windows: aligned to their size so that the kernel
// can map each one with a single large page when it is advised to.
#include <cstdlib>

#include <sys/mman.h>

#include "platform/heap_memory.h"

namespace kelpo {

void* AllocateHeapRegion() {
#if defined(__SANITIZE_ADDRESS__)
    // Separate allocations per chunk let the sanitizer see a block that
    // runs past the end of its chunk.
    return nullptr;
#endif
    void* region = nullptr;
    if (posix_memalign(&region, kHeapRegionBytes, kHeapRegionBytes) != 0) return nullptr;
#if defined(MADV_HUGEPAGE)
    madvise(region, kHeapRegionBytes, MADV_HUGEPAGE);  // advice only: failure is harmless
#endif
    return region;
}

void FreeHeapRegion(void* region) { free(region); }

}  // namespace kelpo
