// Arbitrary bytes as a compiled image: the reader, the loader with its
// verifier, and the interpreter on whatever word code gets through.
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelpo;
    ScriptRunner* runner = fuzz::NewFuzzRunner();
    RunImageBytes(runner, data, size);
    FreeScriptRunner(runner);
    return 0;
}
