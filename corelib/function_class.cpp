// The Function class: new Function(p1, ..., pn, body) and the methods of
// every script function (toString, valueOf). It serves every value of tag
// Function and has no `call`: Function(...) without new is not a call.
//
// new Function compiles text: "function (p1, p2) {body}" is a complete
// program (an anonymous function definition), and the compiler names its
// function "@F_" plus the context's anonymous-function count, which the
// loader makes unique per context. Running the program defines that global;
// its value is the new function. The text runs through the engine's
// source entry on the calling context, with a runner record made on the
// spot: the engine layer needs nothing but the context and the compile
// options, and a context does not know the runner that owns it.
#include "corelib/classes.h"

#include <cstdio>
#include <string>

#include "runtime/atoms.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/native.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

const char16_t kFunctionText[] = u"[object Function]";

void AppendAnsi(ScriptContext* context, std::string* text, const Value& s) {
    char* ansi = StringToAnsi(context, s);
    text->append(ansi);
    ContextFree(ansi);
}

// The source text of new Function: the parameter names (non-Strings are
// skipped, but a name written before them keeps its separator) and the
// body, the last argument.
std::string FunctionSource(ScriptContext* context, const Value* args) {
    int64_t count = ArgCount(args);
    std::string text = "function (";
    for (int64_t k = 1; k < count; ++k) {
        if (args[k].tag != ValueTag::String) continue;
        AppendAnsi(context, &text, args[k]);
        if (k < count - 1) text += ", ";
    }
    text += ") {";
    if (count >= 1 && args[count].tag == ValueTag::String) AppendAnsi(context, &text, args[count]);
    text += "}";
    return text;
}

// Null when the text does not compile or its run fails; the engine leaves
// the message in the context's error text.
void ConstructFunction(ScriptContext* context, NativeClass*, Value* args, Value* out) {
    std::string source = FunctionSource(context, args);
    int32_t number = context->anonymousFunctionCount;
    Value made = MakeNull();
    if (context->runSource != nullptr && context->runSource(context, source.c_str()) &&
        context->anonymousFunctionCount > number) {
        char name[24];
        snprintf(name, sizeof name, "@F_%u", static_cast<unsigned>(number));
        Value global = GetGlobal(context, name);
        if (global.tag == ValueTag::Function) made = global;
    }
    *out = made;
}

enum Method { kToString, kValueOf };
const MemberRow kMethodNames[] = {
    {"toString", "toString() -> String: \"[object Function]\""},
    {"valueOf", "valueOf() -> Function: the function itself; the class's global on the class"},
};

// `data` is the function's Value, or null for the class object.
int FunctionMethod(ScriptContext* context, NativeClass* klass, void* data, int member, Value* out,
                   Value*) {
    if (member == kToString)
        *out = StaticText(context, kFunctionText);
    else
        *out = data != nullptr ? *static_cast<Value*>(data) : BindNative(context, klass, nullptr);
    return 1;
}

const ClassSpec kFunctionClass = {
    .name = "Function",
    .about =
        "Functions: the class of every script function; new Function(p1, ..., body) "
        "compiles a function from text (null when it does not compile)",
    .methods = kMethodNames,
    .method = FunctionMethod,
    .otherProperties = NoOwnProperties,
    .construct = ConstructFunction,
};

}  // namespace

void RegisterFunctionClass(ScriptContext* context) {
    NativeClass* klass = DefineClass(context, kFunctionClass);
    context->classForTag[static_cast<int>(ValueTag::Function)] = klass;
}

}  // namespace kelpo
