// Source text through the whole compiler (lexer, parser, code generator,
// optimizer, assembler); what compiles is then read back and run, bounded.
#include <string>

#include "compiler/image.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelpo;
    ScriptRunner* runner = fuzz::NewFuzzRunner();
    std::string image =
        fuzz::CompileToImage(runner, std::string(reinterpret_cast<const char*>(data), size));
    if (!image.empty()) {
        RunImageBytes(runner, reinterpret_cast<const uint8_t*>(image.data()), image.size());
    }
    FreeScriptRunner(runner);
    return 0;
}
