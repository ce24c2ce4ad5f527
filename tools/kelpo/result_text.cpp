#include "tools/kelpo/result_text.h"

#include "runtime/convert.h"
#include "runtime/errors.h"
#include "runtime/strings.h"

namespace kelpo {

bool ResultText(ScriptContext* context, std::string* text) {
    // Calling the value's toString resets `result`, so the value waits on
    // the value stack, where the collector sees it, until it is converted.
    Value* saved = context->stackPointer;
    *context->stackPointer-- = context->result;
    const Value value = *saved;
    bool ok = CatchRaise(context, [&] {
        char* ansi = StringToAnsi(context, ToString(context, value));
        *text = ansi;
        ContextFree(ansi);
    });
    context->stackPointer = saved;
    return ok;
}

}  // namespace kelpo
