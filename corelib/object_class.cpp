// The Object class: Object(x) and new Object(x), and the methods every
// plain object answers when it has no own member of that name (toString,
// valueOf, toSource). It serves every value of tag Object.
//
// Neither the class nor its instances keep state: no class data, and the
// `property` callback answers no name of its own.
#include "corelib/classes.h"

#include "runtime/class_kit.h"
#include "runtime/convert.h"
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
        case ValueTag::NaN: *out = ToObject(context, args[1]); return;
        default: *out = args[1]; return;
    }
}

enum Method { kToString, kValueOf, kToSource };
const MemberRow kMethodNames[] = {
    {"toString", "toString() -> String: \"[object Object]\"; \"[type Function]\" on the class"},
    {"valueOf", "valueOf() -> Object: the object itself; the class's global on the class"},
    {"toSource", "toSource() -> String: \"new Object()\" on the class; undefined on an object"},
};

// `data` is the plain object's Value, or null for the class object.
int ObjectMethod(ScriptContext* context, NativeClass* klass, void* data, int member, Value* out,
                 Value*) {
    switch (member) {
        case kToString:
            *out = StaticText(context, data != nullptr ? kObjectText : kClassText);
            break;
        case kValueOf:
            *out =
                data != nullptr ? *static_cast<Value*>(data) : BindNative(context, klass, nullptr);
            break;
        case kToSource:
            if (data == nullptr) *out = StaticText(context, kClassSource);
            break;
    }
    return 1;
}

const ClassSpec kObjectClass = {
    .name = "Object",
    .about =
        "Objects: the class of every plain object; Object(x) and new Object(x) give x as "
        "an object (a modifiable copy of a String), a new empty Object without one",
    .methods = kMethodNames,
    .method = ObjectMethod,
    .otherProperties = NoOwnProperties,
    .call = CallObject,
    .construct = ConstructObject,
};

}  // namespace

void RegisterObjectClass(ScriptContext* context) {
    NativeClass* klass = DefineClass(context, kObjectClass);
    context->classForTag[static_cast<int>(ValueTag::Object)] = klass;
}

}  // namespace kelpo
