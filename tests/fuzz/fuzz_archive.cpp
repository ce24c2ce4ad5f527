// The additional-files archive: the input is the tail of an executable. Any
// bytes give a lookup result or nothing, and every path returned lies inside
// the extraction folder or beside the executable.
#include <cstdio>
#include <cstdlib>

#include "host/additional_files.h"
#include "host/id_resource.h"
#include "platform/files.h"
#include "tests/fuzz/project_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelpo;
    fuzz::ClearScratchFolder();
    const std::string& folder = fuzz::ScratchFolder();
    const std::string exe = folder + "app.exe";
    if (!WriteWholeFile(exe, data, size)) abort();
    const std::string instance = folder + "instance" + kPathSeparator;
    if (!CreateFolder(instance)) abort();
    for (const char* request : {"a", "A/b", "Docs", "docs\\Img\\logo.bin", "x.txt", "app.exe"}) {
        std::string path = GetAdditionalFile(exe, instance, request);
        if (!path.empty() && !fuzz::IsInside(path, folder)) abort();
    }
    // The same bytes as an ID resource.
    ProjectIdentity identity;
    ReadIdResource(data, size, "app", identity);
    return 0;
}
