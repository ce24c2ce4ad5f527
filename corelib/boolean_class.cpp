// The Boolean class: Boolean(x) and new Boolean(x) give primitive Booleans;
// it serves every value of tag Boolean (toString, valueOf). No class data
// and no properties.
#include "corelib/classes.h"

#include "runtime/atoms.h"
#include "runtime/convert.h"
#include "runtime/native.h"

namespace kelpo {
namespace {

void ConstructBoolean(ScriptContext* context, NativeClass*, Value* args, Value* out) {
    *out = MakeBoolean(HasArg(args, 1) && ToBoolean(context, args[1]) != 0);
}

void CallBoolean(ScriptContext* context, NativeClass* klass, void*, Value* out, Value* args) {
    ConstructBoolean(context, klass, args, out);
}

// `data` is the Boolean's Value, or null for the class object.
int BooleanInvoke(ScriptContext* context, NativeClass*, void* data, Atom method, Value* out,
                  Value*) {
    *out = MakeUndefined();
    const Value* self = static_cast<const Value*>(data);
    if (method == kAtomToString) {
        if (self == nullptr) {
            *out = StaticText(context, u"[type Function]");
        } else {
            bool b = self->tag == ValueTag::Boolean && self->boolean != 0;
            *out = StaticText(context, b ? u"true" : u"false");
        }
        return 1;
    }
    if (method == kAtomValueOf) {
        *out = self != nullptr ? *self : context->atomValues[InternAtom(context, "Boolean")];
        return 1;
    }
    return 0;
}

}  // namespace

void RegisterBooleanClass(ScriptContext* context) {
    NativeClass* klass = NewNativeClass(context);
    klass->call = CallBoolean;
    klass->construct = ConstructBoolean;
    klass->invoke = BooleanInvoke;
    BindGlobalClass(context, "Boolean", klass);
    context->classForTag[static_cast<int>(ValueTag::Boolean)] = klass;
}

}  // namespace kelpo
