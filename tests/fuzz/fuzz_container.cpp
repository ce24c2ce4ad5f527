// The packed container: any bytes either unpack or fail with a report, and
// what unpacks packs and unpacks again to the same bytes.
#include <cstdlib>

#include "host/packed_container.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelpo;
    std::vector<uint8_t> out;
    if (!UnpackContainer(data, size, out)) return 0;
    std::vector<uint8_t> packed = PackContainer(out);
    std::vector<uint8_t> again;
    if (!UnpackContainer(packed.data(), packed.size(), again) || again != out) abort();
    return 0;
}
