// Shared pieces of the fuzz targets.
#include "tests/fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "corelib/core_library.h"
#include "runtime/atoms.h"
#include "runtime/errors.h"
#include "runtime/strings.h"
#include "runtime/trace.h"

namespace kelpo::fuzz {
namespace {

void DropTrace(void*, const char*, size_t) {}

}  // namespace

ScriptRunner* NewFuzzRunner(bool withFileAccess) {
    SetTraceSink(DropTrace, nullptr);
    InstallCoreLibrary();
    EngineOptions options = DefaultEngineOptions();
    options.heapLimit = kFuzzHeapLimit;
    options.instructionBudget = kFuzzInstructionBudget;
    ScriptRunner* runner = NewScriptRunner(&options);
    if (runner == nullptr) abort();
    if (!withFileAccess) {
        ScriptContext* context = runner->context;
        for (const char* name : {"DataFile", "evals"}) {
            SetGlobal(context, name, MakeUndefined());
        }
    }
    return runner;
}

void SetStringGlobal(ScriptRunner* runner, const char* name, const uint8_t* bytes, size_t size) {
    ScriptContext* context = runner->context;
    std::u16string units(bytes, bytes + size);
    bool ok = CatchRaise(context, [&] {
        Value text = NewString(context, units.data(), static_cast<uint32_t>(units.size()));
        SetGlobal(context, name, text);
    });
    if (!ok) abort();
}

std::string CompileToImage(ScriptRunner* runner, const std::string& source) {
    ScriptContext* context = runner->context;
    ScriptStream* stream = nullptr;
    if (!CatchRaise(context, [&] {
            stream = OpenScriptStream(context, source.c_str(), TextSourceStream);
        })) {
        return {};
    }
    ScriptStream* image =
        CompileScript(context, stream, CompileOptionsOf(runner), nullptr, nullptr);
    if (image == nullptr) return {};
    std::string bytes(reinterpret_cast<const char*>(MemoryStreamBytes(image)),
                      MemoryStreamSize(image));
    return bytes;
}

std::string ScratchPath(const char* extension) {
    const char* folder = getenv("TMPDIR");
    if (folder == nullptr || *folder == '\0') folder = "/tmp";
    return std::string(folder) + "/kelpo-fuzz-" + std::to_string(getpid()) + extension;
}

}  // namespace kelpo::fuzz
