// Memory for the collected heap, taken from the system in large regions.
//
// The heap carves its 100 KB chunks out of regions of kHeapRegionBytes.
// Where the system can back a region with large pages it is asked to:
// a fresh heap then costs one page fault per region instead of one per
// 4 KB page, which is most of the cost of a heap that grows quickly (a
// long compilation, say).
#pragma once

#include <cstddef>

namespace kelpo {

constexpr size_t kHeapRegionBytes = size_t{2} << 20;

// A region of kHeapRegionBytes, or null when the system has none to give.
void* AllocateHeapRegion();
void FreeHeapRegion(void* region);

}  // namespace kelpo
