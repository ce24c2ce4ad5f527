// DNS replies from a server: any bytes are read within the reply or
// refused, every name stays within 255 bytes, and no pointer loop hangs.
// The seeds carry the identifier the queries send, so that inputs reach
// past the header. The same bytes as a domain build a query or are refused.
#include <cstdlib>
#include <string>
#include <vector>

#include "netlib/dns_mx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelpo;
    std::vector<MxRecord> records;
    const bool parsed = ParseMxReply(data, size, kMxQueryId, &records);
    if (!parsed && !records.empty()) abort();
    for (const MxRecord& record : records)
        if (record.name.size() > 255 || record.pref < 0 || record.pref > 65535) abort();
    // A domain of the input's bytes builds a query or is refused.
    std::string framed;
    const std::string domain(reinterpret_cast<const char*>(data), size < 300 ? size : 300);
    if (BuildMxQuery(domain, kMxQueryId, &framed) && framed.size() > 2 + 12 + 257 + 4) abort();
    return 0;
}
