// Inter-process call blocks from another process: any bytes parse within
// the block or are refused, and a reply of any length stays in the mapping.
#include <cstdlib>
#include <vector>

#include "host/copy_data_call.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelpo;
    CopyDataCall call;
    if (ParseCopyDataCall(data, size, call)) {
        size_t total = call.mappingName.size() + call.function.size();
        for (const std::string& argument : call.arguments) total += argument.size();
        if (total > size || call.function.empty()) abort();
        // The reply's length follows the input; a small mapping shows overruns.
        std::vector<uint8_t> mapping(size % 64 + 8);
        WriteCallReply(mapping.data(), mapping.size(), call.function);
    }
    return 0;
}
