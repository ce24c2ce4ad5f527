// The Object class: Object(x) and new Object(x), and the methods every
// plain object answers when it has no own member of that name (toString,
// valueOf, toSource). It serves every value of tag Object.
//
// Neither the class nor its instances keep state: no class data, and the
// `property` callback answers no name of its own.
#include "corelib/classes.h"

#include "runtime/convert.h"
#include "runtime/native.h"
#include "runtime/object.h"

namespace kelpo {
namespace {

const char16_t kObjectText[] = u"[object Object]";
const char16_t kClassText[] = u"[type Function]";
const char16_t kClassSource[] = u"new Object()";

bool IsNothing(const Value& v) { return v.tag == ValueTag::Undefined || v.tag == ValueTag::Null; }

// Object(), Object(undefined), Object(null): a new empty object; otherwise
// ToObject of the first argument, which raises for Undefined and Null.
void CallObject(ScriptContext* context, NativeClass*, void*, Value* out, Value* args) {
    int64_t count = ArgCount(args);
    if (count == 0 || (count == 1 && IsNothing(args[1]))) {
        *out = MakeObject(NewObject(context));
        return;
    }
    *out = ToObject(context, args[1]);
}

void ConstructObject(ScriptContext* context, NativeClass*, Value* args, Value* out) {
    if (!HasArg(args, 1) || IsNothing(args[1])) {
        *out = MakeObject(NewObject(context));
        return;
    }
    switch (args[1].tag) {
        case ValueTag::Boolean:
        case ValueTag::Integer:
        case ValueTag::String:
        case ValueTag::Float:
        case ValueTag::Array:
        case ValueTag::Native:
        case ValueTag::Function:
        case ValueTag::NaN:
            *out = ToObject(context, args[1]);
            return;
        default:
            *out = args[1];
            return;
    }
}

// `data` is the plain object's Value, or null for the class object.
int ObjectInvoke(ScriptContext* context, NativeClass* klass, void* data, Atom method, Value* out,
                 Value*) {
    *out = MakeUndefined();
    if (method == kAtomToString) {
        *out = StaticText(context, data != nullptr ? kObjectText : kClassText);
        return 1;
    }
    if (method == kAtomValueOf) {
        *out = data != nullptr ? *static_cast<Value*>(data) : BindNative(context, klass, nullptr);
        return 1;
    }
    if (method == kAtomToSource) {
        if (data == nullptr) *out = StaticText(context, kClassSource);
        return 1;
    }
    return 0;
}


}  // namespace

void RegisterObjectClass(ScriptContext* context) {
    NativeClass* klass = NewNativeClass(context);
    klass->call = CallObject;
    klass->invoke = ObjectInvoke;
    klass->property = NoOwnProperties;
    klass->construct = ConstructObject;
    BindGlobalClass(context, "Object", klass);
    context->classForTag[static_cast<int>(ValueTag::Object)] = klass;
}

}  // namespace kelpo
