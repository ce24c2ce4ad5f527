// The Boolean class: Boolean(x) and new Boolean(x) give primitive Booleans;
// it serves every value of tag Boolean (toString, valueOf). No class data
// and no properties.
#include "corelib/classes.h"

#include "runtime/class_kit.h"
#include "runtime/convert.h"

namespace kelpo {
namespace {

void ConstructBoolean(ScriptContext* context, NativeClass*, Value* args, Value* out) {
    *out = MakeBoolean(HasArg(args, 1) && ToBoolean(context, args[1]) != 0);
}

void CallBoolean(ScriptContext* context, NativeClass* klass, void*, Value* out, Value* args) {
    ConstructBoolean(context, klass, args, out);
}

enum Method { kToString, kValueOf };
const MemberRow kMethodNames[] = {
    {"toString", "toString() -> String: \"true\" or \"false\"; \"[type Function]\" on the class"},
    {"valueOf", "valueOf() -> Boolean: the value itself; the class's global on the class"},
};

// `data` is the Boolean's Value, or null for the class object.
int BooleanMethod(ScriptContext* context, NativeClass*, void* data, int member, Value* out,
                  Value*) {
    const Value* self = static_cast<const Value*>(data);
    if (member == kToString) {
        if (self == nullptr) {
            *out = StaticText(context, u"[type Function]");
        } else {
            bool b = self->tag == ValueTag::Boolean && self->boolean != 0;
            *out = StaticText(context, b ? u"true" : u"false");
        }
    } else {
        *out = self != nullptr ? *self : GetGlobal(context, "Boolean");
    }
    return 1;
}

const ClassSpec kBooleanClass = {
    .name = "Boolean",
    .about =
        "Booleans: the class of true and false; Boolean(x) and new Boolean(x) convert x to "
        "a Boolean (false without an argument)",
    .methods = kMethodNames,
    .method = BooleanMethod,
    .call = CallBoolean,
    .construct = ConstructBoolean,
};

}  // namespace

void RegisterBooleanClass(ScriptContext* context) {
    NativeClass* klass = DefineClass(context, kBooleanClass);
    context->classForTag[static_cast<int>(ValueTag::Boolean)] = klass;
}

}  // namespace kelpo
