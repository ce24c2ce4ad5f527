#include "runtime/native_args.h"

#include "runtime/convert.h"
#include "runtime/strings.h"

namespace kelpo {

std::string StringArg(ScriptContext* context, const Value* args, int64_t k,
                      const std::string& fallback) {
    if (!IsStringArg(args, k)) return fallback;
    char* text = StringToAnsi(context, args[k]);
    std::string out(text);
    ContextFree(text);
    return out;
}

bool BoundedAnsi(ScriptContext* context, const Value& value, size_t limit, std::string& out) {
    out.clear();
    if (value.tag != ValueTag::String) return false;
    // Each unit becomes at most two bytes: longer texts are refused before
    // anything is converted.
    if (value.string->length > limit) return false;
    char* text = StringToAnsi(context, value);
    out = text;
    ContextFree(text);
    if (out.size() > limit) {
        out.clear();
        return false;
    }
    return true;
}

std::string AnsiOfValue(ScriptContext* context, const Value& value, size_t limit) {
    Value text = ToString(context, value);
    if (text.string->length > limit) {
        Value cut = NewString(context, text.string->chars, static_cast<uint32_t>(limit));
        text = cut;
    }
    char* ansi = StringToAnsi(context, text);
    std::string out(ansi);
    ContextFree(ansi);
    if (out.size() > limit) out.resize(limit);
    return out;
}

Value AnsiString(ScriptContext* context, const std::string& text) {
    return NewStringFromAnsi(context, text.data(), text.size());
}

}  // namespace kelpo
