// Compiling and checking scripts with the engine.
#include "tools/kelpo-build/script_images.h"

#include "compiler/engine.h"
#include "compiler/image.h"
#include "compiler/script_stream.h"
#include "runtime/errors.h"

namespace kelpo::build {

namespace {

// Compile messages are CR LF separated lines; the builder reports one line.
std::string OneLine(const char* text) {
    std::string line;
    bool pendingBreak = false;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\r' || *p == '\n') {
            pendingBreak = !line.empty();
            continue;
        }
        if (pendingBreak) line += "; ";
        pendingBreak = false;
        line += *p;
    }
    return line;
}

}  // namespace

bool CompileScriptFile(const std::string& path, std::vector<uint8_t>& image, std::string& message) {
    ScriptRunner* runner = NewScriptRunner(nullptr);
    if (runner == nullptr) {
        message = "cannot create a script engine";
        return false;
    }
    ScriptContext* context = runner->context;
    ScriptStream* source = nullptr;
    CatchRaise(context,
               [&] { source = OpenScriptStream(context, path.c_str(), FileReaderStream); });
    ScriptStream* compiled = nullptr;
    if (source != nullptr)
        compiled = CompileScript(context, source, CompileOptionsOf(runner), nullptr, nullptr);
    bool ok = compiled != nullptr;
    if (ok) {
        const unsigned char* bytes = MemoryStreamBytes(compiled);
        image.assign(bytes, bytes + MemoryStreamSize(compiled));
    } else {
        message = OneLine(context->longErrorText != nullptr ? context->longErrorText
                                                            : context->errorText);
        if (message.empty()) message = "does not compile";
    }
    FreeScriptRunner(runner);
    return ok;
}

bool IsScriptImage(const std::vector<uint8_t>& bytes) {
    SectionList* list = ReadImage(bytes.data(), bytes.size());
    if (list == nullptr) return false;
    FreeSectionList(list);
    return true;
}

}  // namespace kelpo::build
