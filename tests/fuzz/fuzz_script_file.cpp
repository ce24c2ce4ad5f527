// A script file without a telling extension: the content decides between
// source and image (an optional "#" first line, then the image magic), and
// the chosen path runs it.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelpo;
    static const std::string path = fuzz::ScratchPath(".script");
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) abort();
    if (size != 0 && fwrite(data, 1, size, file) != size) abort();
    if (fclose(file) != 0) abort();
    ScriptRunner* runner = fuzz::NewFuzzRunner();
    RunScriptFileStatus(runner, path.c_str());
    FreeScriptRunner(runner);
    remove(path.c_str());
    return 0;
}
