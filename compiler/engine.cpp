// Script runners, the compile entry, the run operations and the global
// functions "eval" and "evals".
#include "compiler/engine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "compiler/assemble_image.h"
#include "compiler/compile_state.h"
#include "compiler/diagnostics.h"
#include "compiler/generator.h"
#include "compiler/image.h"
#include "compiler/instructions.h"
#include "compiler/interpreter.h"
#include "compiler/optimizer.h"
#include "compiler/parser.h"
#include "runtime/class_kit.h"
#include "runtime/errors.h"
#include "runtime/native.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

constexpr int kDefaultStackSlots = 4096;

// Hands the compile messages back: errorText when they fit, else a copy on
// the plain process heap in longErrorText.
void HandBackMessages(ScriptContext* context, CompileState* state) {
    const unsigned char* bytes = state != nullptr && state->messages != nullptr
                                     ? MemoryStreamBytes(state->messages)
                                     : nullptr;
    size_t size = bytes != nullptr ? MemoryStreamSize(state->messages) : 0;
    if (size + 1 >= sizeof context->errorText) {
        char* copy = static_cast<char*>(malloc(size + 1));
        if (copy != nullptr) {
            memcpy(copy, bytes, size);
            copy[size] = '\0';
            context->longErrorText = copy;
        }
        context->errorText[0] = '\0';
        return;
    }
    if (size != 0) memcpy(context->errorText, bytes, size);
    context->errorText[size] = '\0';
}

bool WriteFile(const char* path, const std::vector<uint8_t>& bytes) {
    FILE* file = fopen(path, "wb");
    if (file == nullptr) return false;
    bool ok = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

// Compiles and runs a source stream in the runner's context.
int CompileAndRun(ScriptRunner* runner, ScriptStream* source) {
    ScriptContext* context = runner->context;
    ScriptStream* image =
        CompileScript(context, source, CompileOptionsOf(runner), nullptr, nullptr);
    if (image == nullptr) return 0;
    SectionList* list = ReadImage(MemoryStreamBytes(image), MemoryStreamSize(image));
    int ok = RunImage(context, list);
    FreeSectionList(list);
    return ok;
}

void EvalCall(ScriptContext* context, NativeClass* klass, void*, Value* out, Value* args) {
    *out = MakeUndefined();
    if (!HasArg(args, 1)) return;
    if (args[1].tag != ValueTag::String) {
        *out = args[1];
        return;
    }
    auto* runner = static_cast<ScriptRunner*>(klass->data);
    char* text = StringToAnsi(context, args[1]);
    std::string copy(text);
    ContextFree(text);
    RunSourceBytes(runner, copy.data(), copy.size());
    *out = context->result;
}

void EvalsCall(ScriptContext* context, NativeClass* klass, void*, Value* out, Value* args) {
    *out = MakeUndefined();
    if (!HasArg(args, 1) || args[1].tag != ValueTag::String) return;
    auto* runner = static_cast<ScriptRunner*>(klass->data);
    char* path = StringToAnsi(context, args[1]);
    std::string copy(path);
    ContextFree(path);
    RunSourceFile(runner, copy.c_str());
    *out = context->result;
}

const MemberRow kEvalRows[] = {
    {"eval",
     "eval(x) -> any: runs the String x as script text and gives its last value; any "
     "other x unchanged; errors stay in the engine's error text"},
    {"evals", "evals(path) -> any: runs the script file at path and gives its last value"},
};

void RegisterEvalFunctions(ScriptRunner* runner) {
    DescribeGlobals(kEvalRows);
    NativeClass* eval = RegisterGlobalFunction(runner->context, "eval", EvalCall);
    eval->data = runner;
    NativeClass* evals = RegisterGlobalFunction(runner->context, "evals", EvalsCall);
    evals->data = runner;
}

bool EndsWithNoCase(const char* text, const char* suffix) {
    size_t n = strlen(text), m = strlen(suffix);
    if (m > n) return false;
    for (size_t i = 0; i < m; ++i) {
        char a = text[n - m + i], b = suffix[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

}  // namespace

EngineOptions DefaultEngineOptions() {
    EngineOptions o{};
    o.stackSlots = kDefaultStackSlots;
    o.contextArgument = 2;
    o.userData = nullptr;
    o.flags = kDefaultEngineFlags;
    o.debugHook = nullptr;
    o.hookArgument = nullptr;
    o.engineWords[0] = 0;
    o.engineWords[1] = -1;
    o.heapLimit = 0;
    o.instructionBudget = 0;
    return o;
}

uint32_t CompileOptionsOf(const ScriptRunner* runner) {
    uint32_t f = runner->options.flags;
    uint32_t o = 0;
    if (f & kEngineRewindListingFlag) o |= RewindListingOption;
    if (f & kEngineLineTableFlag) o |= LineTableOption;
    if (f & kEngineWarnSemicolonFlag) o |= WarnSemicolonOption;
    if (f & kEngineWarnLineTerminatorFlag) o |= WarnLineTerminatorOption;
    o |= ((f >> 15) & 0xF) << 5;  // optimizer passes 15..18 onto 5..8
    o |= ((f >> 6) & 0x7) << 9;   // flags the compiler ignores
    o |= ((f >> 10) & 0x3) << 12;
    o |= ((f >> 14) & 0x1) << 14;
    if (runner->options.userData != nullptr) o |= 1;
    return o;
}

namespace {

// What the Function class compiles through: source text run in an existing
// context with the default options.
int RunSourceInContext(ScriptContext* context, const char* text) {
    ScriptRunner runner = {DefaultEngineOptions(), context};
    return RunSource(&runner, text);
}

}  // namespace

void InstallCompiler() {
    InstallInterpreter();
    SetDefaultSourceRunEntry(RunSourceInContext);
}

ScriptRunner* NewScriptRunner(const EngineOptions* options) {
    InstallCompiler();
    auto* runner = static_cast<ScriptRunner*>(calloc(1, sizeof(ScriptRunner)));
    if (runner == nullptr) return nullptr;
    runner->options = options != nullptr ? *options : DefaultEngineOptions();
    const EngineOptions& o = runner->options;
    runner->context = NewContext(o.stackSlots, o.contextArgument, o.userData,
                                 (o.flags & kEngineContextOptionFlag) ? 1 : 0);
    if (runner->context == nullptr) {
        free(runner);
        return nullptr;
    }
    ScriptContext* context = runner->context;
    if (o.flags & kEngineWarnUndefinedFlag) {
        context->options |= kWarnUndefinedVariableOption;
    } else {
        context->options &= ~kWarnUndefinedVariableOption;
    }
    context->engineFlags =
        ((o.flags & kEngineFlag0) ? 1u : 0u) | ((o.flags & kEngineFlag1) ? 2u : 0u);
    context->debugHook = o.debugHook;
    context->debugHookArgument = o.hookArgument;
    context->engineWords[0] = o.engineWords[0];
    context->engineWords[1] = o.engineWords[1];
    context->heap.limit = o.heapLimit;
    context->instructionBudget = o.instructionBudget;
    if (!RunProtected(runner, RegisterEvalFunctions)) {
        FreeScriptRunner(runner);
        return nullptr;
    }
    return runner;
}

void FreeScriptRunner(ScriptRunner* runner) {
    if (runner == nullptr) return;
    DestroyContext(runner->context);
    free(runner);
}

int RunProtected(ScriptRunner* runner, void (*fn)(ScriptRunner* runner)) {
    return CatchRaise(runner->context, [&] { fn(runner); }) ? 1 : 0;
}

ScriptStream* CompileScript(ScriptContext* context, ScriptStream* source, uint32_t options,
                            const char* listingPath, const char* outputPath) {
    free(context->longErrorText);
    context->longErrorText = nullptr;
    CompileState* state = nullptr;
    ScriptStream* image = nullptr;
    bool compiled = CatchRaise(context, [&] {
        state = NewCompileState(context);
        PrepareCompileState(context, state, source, options);
        try {
            ParseProgram(context, state);
            GenerateProgram(context, state);
            OptimizeProgram(context, state, kAllPasses);
            if (listingPath != nullptr) {
                ScriptStream* listing = OpenScriptStream(context, listingPath, FileWriterStream);
                if (listing != nullptr) {
                    if (options & RewindListingOption) RewindScriptStream(context, source);
                    WriteListing(context, state, listing);
                    CloseScriptStream(context, listing);
                }
            }
            AssignOffsets(context, state);
            std::vector<uint8_t> bytes = AssembleImageBytes(context, state);
            image = OpenScriptStream(context, nullptr, MemoryStream);
            if (!bytes.empty()) {
                StreamWrite(context, image, "b", static_cast<uint32_t>(bytes.size()), bytes.data());
            }
            if (outputPath != nullptr) WriteFile(outputPath, bytes);
        } catch (const CompileAbort&) {
            image = nullptr;
        }
    });
    if (!compiled) {
        // Out of memory while compiling: the runtime error text stays.
        CloseScriptStream(context, source);
        return nullptr;
    }
    HandBackMessages(context, state);
    CloseScriptStream(context, source);
    return image;
}

int RunSource(ScriptRunner* runner, const char* text) {
    ScriptContext* context = runner->context;
    ScriptStream* source = nullptr;
    if (!CatchRaise(context, [&] { source = OpenScriptStream(context, text, TextSourceStream); })) {
        return 0;
    }
    return CompileAndRun(runner, source);
}

int RunSourceBytes(ScriptRunner* runner, const char* bytes, size_t length) {
    std::string text(bytes, length);
    return RunSource(runner, text.c_str());
}

int RunSourceFile(ScriptRunner* runner, const char* path) {
    ScriptContext* context = runner->context;
    ScriptStream* source = nullptr;
    if (!CatchRaise(context, [&] { source = OpenScriptStream(context, path, FileReaderStream); }) ||
        source == nullptr) {
        return -1;
    }
    ScriptStream* image =
        CompileScript(context, source, CompileOptionsOf(runner), nullptr, nullptr);
    if (image == nullptr) return -1;
    SectionList* list = ReadImage(MemoryStreamBytes(image), MemoryStreamSize(image));
    int ok = RunImage(context, list);
    FreeSectionList(list);
    return ok;
}

int RunImageFile(ScriptRunner* runner, const char* path) {
    FILE* file = fopen(path, "rb");
    if (file == nullptr) return 0;
    SectionList* list = ReadImageFile(file);
    fclose(file);
    if (list == nullptr) return 0;
    int ok = RunImage(runner->context, list);
    FreeSectionList(list);
    return ok;
}

int RunImageBytes(ScriptRunner* runner, const uint8_t* bytes, size_t length) {
    SectionList* list = ReadImage(bytes, length);
    if (list == nullptr) return 0;
    int ok = RunImage(runner->context, list);
    FreeSectionList(list);
    return ok;
}

void RunScriptFile(ScriptRunner* runner, const char* path) { RunScriptFileStatus(runner, path); }

int RunScriptFileStatus(ScriptRunner* runner, const char* path) {
    if (EndsWithNoCase(path, ".klc")) return RunImageFile(runner, path);
    if (EndsWithNoCase(path, ".kls")) return RunSourceFile(runner, path);
    // Otherwise the content decides: the image magic, after an optional "#"
    // first line. The probe closes its file before the run opens it again.
    FILE* file = fopen(path, "r");
    if (file == nullptr) return RunSourceFile(runner, path);
    bool image = false;
    int c = fgetc(file);
    bool ended = false;
    if (c == '#') {
        do {
            c = fgetc(file);
        } while (c != EOF && c != '\n');
        ended = c == EOF;
    } else if (c != EOF) {
        ungetc(c, file);
    }
    if (!ended) {
        char magic[4];
        image = fread(magic, 1, 4, file) == 4 && memcmp(magic, kImageMagic, 4) == 0;
    }
    fclose(file);
    return image ? RunImageFile(runner, path) : RunSourceFile(runner, path);
}

}  // namespace kelpo
