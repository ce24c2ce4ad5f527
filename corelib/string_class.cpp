// The String class: conversion String(x), construction new String(x), the
// `length` property and the method dispatch of every String value
// (classForTag entry 4). The methods themselves live in string_methods.cpp,
// string_search.cpp and string_html.cpp.
#include "corelib/classes.h"
#include "corelib/string_methods.h"
#include "corelib/text_buffer.h"
#include "runtime/atoms.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/object.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

struct StringMember {
    const char* name;
    StringMethod method;  // null for toString and valueOf
};

// toString and valueOf first: the class answers them itself.
enum { kToString, kValueOf, kCharAt, kCharCodeAt, kConcat, kFromCharCode };
const StringMember kMethods[] = {
    {"toString", nullptr},
    {"valueOf", nullptr},
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
const char* const kPropertyNames[] = {"length"};

// For the value classes the instance data is a pointer to the value
// operated on, null when the class object itself is the target.
int StringMethodCall(ScriptContext* context, NativeClass*, void* data, int member, Value* out,
                     Value* args) {
    const Value* self = static_cast<const Value*>(data);
    if (self == nullptr) {
        switch (member) {
            case kToString: *out = StaticText(context, u"[Object String]"); return 1;
            case kValueOf: *out = GetGlobal(context, "String"); return 1;
            case kFromCharCode: *out = StringFromCharCode(context, MakeUndefined(), args); return 1;
            default: return 0;
        }
    }
    if (self->tag != ValueTag::String) return 0;
    if (member == kToString || member == kValueOf) {
        *out = *self;
        return 1;
    }
    Value target = *self;
    *out = kMethods[member].method(context, target, args);
    return 1;
}

// `length` is read-only: assignments are accepted and ignored. The class
// object has no length of its own.
int StringProperty(ScriptContext*, NativeClass*, void* data, int, int isSet, Value* io) {
    const Value* self = static_cast<const Value*>(data);
    if (self == nullptr || self->tag != ValueTag::String) return 0;
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

const ClassSpec kStringClass = {
    .name = "String",
    .methods = kMethods,
    .method = StringMethodCall,
    .properties = kPropertyNames,
    .property = StringProperty,
    .call = StringCall,
    .construct = StringConstruct,
};

}  // namespace

void RegisterStringClass(ScriptContext* context) {
    NativeClass* klass = DefineClass(context, kStringClass);
    context->classForTag[static_cast<int>(ValueTag::String)] = klass;
}

}  // namespace kelpo
