// Regular-expression patterns and subjects through the RegExp class and the
// String methods that take one. Input: a flags byte (bits for g, i, m), the
// pattern up to the first NUL byte, then the subject; bytes are Latin-1
// code units.
#include <cstring>
#include <string>

#include "tests/fuzz/fuzz_support.h"

namespace {

const char kDriver[] =
    "var r = new RegExp(p, f);\n"
    "var m = r.exec(s);\n"
    "if (m != null) { m.index; m.length; m[0]; }\n"
    "r.test(s); r.lastIndex = 0; r.test(s);\n"
    "RegExp.$1; RegExp.lastMatch; RegExp.lastParen; RegExp.leftContext; RegExp.rightContext;\n"
    "s.replace(r, '<$1|$&|$`|$\\'|$$>');\n"
    "function swap(a, b) { return b + a; }\n"
    "s.replace(r, swap);\n"
    "s.match(r); s.search(r); s.split(r); s.split(r, 3);\n"
    "r.compile(s, f); r.source;\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelpo;
    if (size == 0) return 0;
    static std::string image;
    ScriptRunner* runner = fuzz::NewFuzzRunner();
    if (image.empty()) {
        image = fuzz::CompileToImage(runner, kDriver);
        if (image.empty()) abort();
    }
    char letters[3];
    size_t n = 0;
    if (data[0] & 1) letters[n++] = 'g';
    if (data[0] & 2) letters[n++] = 'i';
    if (data[0] & 4) letters[n++] = 'm';
    const uint8_t* rest = data + 1;
    size_t restSize = size - 1;
    const void* nul = memchr(rest, 0, restSize);
    size_t patternSize = nul != nullptr ? static_cast<const uint8_t*>(nul) - rest : restSize;
    size_t subjectStart = nul != nullptr ? patternSize + 1 : restSize;
    fuzz::SetStringGlobal(runner, "f", reinterpret_cast<const uint8_t*>(letters), n);
    fuzz::SetStringGlobal(runner, "p", rest, patternSize);
    fuzz::SetStringGlobal(runner, "s", rest + subjectStart, restSize - subjectStart);
    RunImageBytes(runner, reinterpret_cast<const uint8_t*>(image.data()), image.size());
    FreeScriptRunner(runner);
    return 0;
}
