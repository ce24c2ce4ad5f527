// The front-end compile entry.
#include "compiler/parse_source.h"

#include "compiler/diagnostics.h"
#include "compiler/parser.h"
#include "compiler/script_stream.h"
#include "runtime/errors.h"

namespace kelpo {

CompileState* ParseSource(ScriptContext* context, const char* text, uint32_t options,
                          std::string* messages) {
    CompileState* state = nullptr;
    bool parsed = false;
    CatchRaise(context, [&] {
        state = NewCompileState(context);
        ScriptStream* source = OpenScriptStream(context, text, TextSourceStream);
        PrepareCompileState(context, state, source, options);
        try {
            ParseProgram(context, state);
            parsed = true;
        } catch (const CompileAbort&) {
            // The error line is in the messages; the compilation ends here.
        }
    });
    if (messages != nullptr) {
        messages->clear();
        if (state != nullptr && state->messages != nullptr) {
            const unsigned char* bytes = MemoryStreamBytes(state->messages);
            if (bytes != nullptr) {
                messages->assign(reinterpret_cast<const char*>(bytes),
                                 MemoryStreamSize(state->messages));
            }
        }
    }
    return parsed ? state : nullptr;
}

}  // namespace kelpo
