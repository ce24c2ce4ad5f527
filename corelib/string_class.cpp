// The String class: conversion String(x), construction new String(x), the
// `length` property and the method dispatch of every String value
// (classForTag entry 4). The methods themselves live in string_methods.cpp,
// string_search.cpp and string_html.cpp.
#include "corelib/classes.h"
#include "corelib/string_methods.h"
#include "corelib/text_buffer.h"
#include "runtime/atoms.h"
#include "runtime/convert.h"
#include "runtime/native.h"
#include "runtime/object.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

struct StringMember {
    const char* name;
    StringMethod method;  // null for the `length` property
};

// The class's names, interned in this order; the class data is their atoms.
const StringMember kMembers[] = {
    {"length", nullptr},
    {"charAt", StringCharAt},
    {"charCodeAt", StringCharCodeAt},
    {"concat", StringConcat},
    {"fromCharCode", StringFromCharCode},
    {"indexOf", StringIndexOf},
    {"lastIndexOf", StringLastIndexOf},
    {"match", StringMatch},
    {"replace", StringReplace},
    {"search", StringSearch},
    {"slice", StringSlice},
    {"split", StringSplit},
    {"substr", StringSubstr},
    {"substring", StringSubstring},
    {"toLowerCase", StringToLowerCase},
    {"toUpperCase", StringToUpperCase},
    {"anchor", StringAnchor},
    {"big", StringBig},
    {"blink", StringBlink},
    {"bold", StringBold},
    {"fixed", StringFixed},
    {"fontColor", StringFontColor},
    {"fontSize", StringFontSize},
    {"italics", StringItalics},
    {"link", StringLink},
    {"small", StringSmall},
    {"strike", StringStrike},
    {"sub", StringSub},
    {"sup", StringSup},
};
constexpr int kMemberCount = sizeof kMembers / sizeof kMembers[0];
constexpr int kLengthMember = 0;
constexpr int kFromCharCodeMember = 4;

int MemberOf(const NativeClass* klass, Atom atom) {
    const auto* atoms = static_cast<const Atom*>(klass->data);
    if (atoms == nullptr) return -1;
    for (int i = 0; i < kMemberCount; ++i) {
        if (atoms[i] == atom) return i;
    }
    return -1;
}

// For the value classes the instance data is a pointer to the value
// operated on, null when the class object itself is the target.
int StringInvoke(ScriptContext* context, NativeClass* klass, void* data, Atom method, Value* out,
                 Value* args) {
    *out = MakeUndefined();
    const Value* self = static_cast<const Value*>(data);
    if (self == nullptr) {
        if (method == kAtomToString) {
            *out = StaticText(context, u"[Object String]");
            return 1;
        }
        if (method == kAtomValueOf) {
            *out = context->atomValues[InternAtom(context, "String")];
            return 1;
        }
        if (MemberOf(klass, method) != kFromCharCodeMember) return 0;
        *out = StringFromCharCode(context, MakeUndefined(), args);
        return 1;
    }
    if (self->tag != ValueTag::String) return 0;
    if (method == kAtomToString || method == kAtomValueOf) {
        *out = *self;
        return 1;
    }
    int member = MemberOf(klass, method);
    if (member < 0 || kMembers[member].method == nullptr) return 0;
    Value target = *self;
    *out = kMembers[member].method(context, target, args);
    return 1;
}

// `length` is read-only: assignments are accepted and ignored. The class
// object has no length of its own.
int StringProperty(ScriptContext* /*context*/, NativeClass* klass, void* data, Atom atom, int isSet,
                   Value* io) {
    const Value* self = static_cast<const Value*>(data);
    if (self == nullptr || self->tag != ValueTag::String) return 0;
    if (MemberOf(klass, atom) != kLengthMember) return 0;
    if (!isSet) *io = MakeInteger(self->string->length);
    return 1;
}

void StringCall(ScriptContext* context, NativeClass* /*klass*/, void* /*data*/, Value* out,
                Value* args) {
    *out = HasArg(args, 1) ? ToString(context, args[1]) : EmptyString(context);
}

// new String(x): a modifiable copy with its own property object.
void StringConstruct(ScriptContext* context, NativeClass* klass, Value* args, Value* out) {
    Value text = HasArg(args, 1) ? ToString(context, args[1]) : MakeUndefined();
    Value copy = NewString(context, UnitsOf(text), LengthOf(text));
    ScriptObject* props = NewObject(context);
    PutProperty(context, props, kAtomProto, MakeObject(klass->prototype));
    copy.string->props = props;
    *out = copy;
}

void FreeClassData(void* data) { ContextFree(data); }

}  // namespace

void RegisterStringClass(ScriptContext* context) {
    NativeClass* klass = NewNativeClass(context);
    auto* atoms = static_cast<Atom*>(ContextCalloc(context, kMemberCount, sizeof(Atom)));
    klass->data = atoms;
    klass->freeData = FreeClassData;
    for (int i = 0; i < kMemberCount; ++i) atoms[i] = InternAtom(context, kMembers[i].name);
    klass->call = StringCall;
    klass->invoke = StringInvoke;
    klass->property = StringProperty;
    klass->construct = StringConstruct;
    BindGlobalClass(context, "String", klass);
    context->classForTag[static_cast<int>(ValueTag::String)] = klass;
}

}  // namespace kelpo
