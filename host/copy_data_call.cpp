// Parsing inter-process call blocks and writing their replies.
#include "host/copy_data_call.h"

#include <cstring>

#include "compiler/engine.h"
#include "runtime/call.h"
#include "runtime/convert.h"
#include "runtime/errors.h"
#include "runtime/strings.h"

namespace kelpo {

namespace {

// The string at `position`, stopping at a NUL or the end of the block.
std::string TakeString(const uint8_t* bytes, size_t size, size_t& position) {
    size_t start = position;
    while (position < size && bytes[position] != 0) ++position;
    std::string text(reinterpret_cast<const char*>(bytes) + start, position - start);
    if (position < size) ++position;  // past the NUL
    return text;
}

}  // namespace

bool ParseCopyDataCall(const uint8_t* bytes, size_t size, CopyDataCall& call) {
    call = CopyDataCall{};
    if (!bytes || size == 0) return false;
    size_t position = 0;
    call.mappingName = TakeString(bytes, size, position);
    call.function = TakeString(bytes, size, position);
    if (call.function.empty()) return false;
    while (position < size) {
        std::string argument = TakeString(bytes, size, position);
        if (argument.empty()) break;  // the empty string ends the list
        call.arguments.push_back(argument);
    }
    return true;
}

std::string RunCopyDataCall(ScriptRunner* engine, const CopyDataCall& call) {
    ScriptContext* context = engine->context;
    std::vector<Value> args(call.arguments.size() + 1);
    args[0] = MakeInteger(static_cast<int64_t>(call.arguments.size()));
    bool built = CatchRaise(context, [&] {
        for (size_t i = 0; i < call.arguments.size(); ++i)
            args[i + 1] =
                NewStringFromAnsi(context, call.arguments[i].data(), call.arguments[i].size());
    });
    if (!built || !CallFunction(context, call.function.c_str(), nullptr,
                                static_cast<int>(args.size()), args.data()))
        context->result = MakeUndefined();
    std::string reply = "undefined";
    CatchRaise(context, [&] {
        Value text = ToString(context, context->result);
        char* ansi = StringToAnsi(context, text);
        reply = ansi;
        ContextFree(ansi);
    });
    return reply;
}

void WriteCallReply(uint8_t* mapping, size_t mappingSize, const std::string& text) {
    size_t limit = mappingSize < kCallReplySize ? mappingSize : kCallReplySize;
    if (!mapping || limit < kCallReplyOffset + 4) return;
    if (text.size() + 5 <= limit) {
        std::memcpy(mapping + kCallReplyOffset, text.c_str(), text.size() + 1);
    } else {
        std::memset(mapping + kCallReplyOffset, 0, 4);
    }
}

}  // namespace kelpo
