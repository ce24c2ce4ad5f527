// INI text through the private-profile layer (section names, reads, a write
// that must keep the file readable) and through DataFile.load, which turns
// sections into script values.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

void WriteWhole(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) abort();
    if (size != 0 && fwrite(data, 1, size, file) != size) abort();
    if (fclose(file) != 0) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelpo;
    static const std::string path = fuzz::ScratchPath(".ini");

    WriteWhole(path, data, size);
    {
        ProfileFile file(path.c_str());
        std::vector<std::string> sections = file.SectionNames();
        for (const std::string& section : sections) {
            file.Read(section.c_str(), "type", "");
            file.Read(section.c_str(), "value", "none");
        }
        file.Write(sections.empty() ? "added" : sections.front().c_str(), "key", " value ");
        file.Write("added", "other", "\"quoted\"");
        file.Close();
        ProfileFile again(path.c_str());
        if (again.Read("added", "other", "").empty()) abort();  // a written key reads back
    }

    WriteWhole(path, data, size);
    ScriptRunner* runner = fuzz::NewFuzzRunner(true);
    fuzz::SetStringGlobal(runner, "path", reinterpret_cast<const uint8_t*>(path.data()),
                          path.size());
    RunSource(runner, "DataFile.load(path);");
    FreeScriptRunner(runner);
    remove(path.c_str());
    return 0;
}
