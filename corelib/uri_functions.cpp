// The global functions encodeURI, decodeURI, encodeURIComponent and
// decodeURIComponent. A malformed text is not a runtime error: the trace
// output gets "Invalid URI string" and the result is Undefined.
#include "corelib/classes.h"

#include "corelib/text_buffer.h"
#include "corelib/uri_codec.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/native.h"
#include "runtime/trace.h"

namespace kelpo {
namespace {

using Codec = bool (*)(const char16_t* text, uint32_t length, bool keepReserved, TextBuffer* out);

void RunCodec(ScriptContext* context, Value* out, Value* args, Codec codec, bool keepReserved) {
    *out = MakeUndefined();
    if (!HasArg(args, 1)) return;
    Value text = ToString(context, args[1]);
    TextBuffer buffer(context);
    if (!codec(text.string->chars, text.string->length, keepReserved, &buffer)) {
        TraceLine("Invalid URI string");
        return;
    }
    *out = buffer.ToValue();
}

void EncodeUriCall(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    RunCodec(context, out, args, UriEncode, true);
}

void EncodeUriComponentCall(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    RunCodec(context, out, args, UriEncode, false);
}

void DecodeUriCall(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    RunCodec(context, out, args, UriDecode, true);
}

void DecodeUriComponentCall(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    RunCodec(context, out, args, UriDecode, false);
}

const MemberRow kUriRows[] = {
    {"decodeURI",
     "decodeURI(text) -> String: text with its UTF-8 %XX escapes decoded, except "
     "those of ;/?:@&=+$,#; undefined when malformed"},
    {"encodeURI",
     "encodeURI(text) -> String: text as UTF-8 %XX escapes, keeping letters, digits, "
     "-_.!~*'() and ;/?:@&=+$,#; undefined when malformed"},
    {"decodeURIComponent",
     "decodeURIComponent(text) -> String: text with every UTF-8 %XX escape "
     "decoded; undefined when malformed"},
    {"encodeURIComponent",
     "encodeURIComponent(text) -> String: text as UTF-8 %XX escapes, "
     "keeping only letters, digits and -_.!~*'(); undefined when malformed"},
};

}  // namespace

void RegisterUriFunctions(ScriptContext* context) {
    DescribeGlobals(kUriRows);
    RegisterGlobalFunction(context, "decodeURI", DecodeUriCall);
    RegisterGlobalFunction(context, "encodeURI", EncodeUriCall);
    RegisterGlobalFunction(context, "decodeURIComponent", DecodeUriComponentCall);
    RegisterGlobalFunction(context, "encodeURIComponent", EncodeUriComponentCall);
}

}  // namespace kelpo
