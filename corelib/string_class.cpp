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
    const char* text;
};

// toString and valueOf first: the class answers them itself.
enum { kToString, kValueOf, kCharAt, kCharCodeAt, kConcat, kFromCharCode };
const StringMember kMethods[] = {
    {"toString", nullptr,
     "toString() -> String: the string itself; \"[Object String]\" on the "
     "class"},
    {"valueOf", nullptr, "valueOf() -> String: the string itself; the class's global on the class"},
    {"charAt", StringCharAt, "charAt(i) -> String: the code unit at i; empty when i is outside"},
    {"charCodeAt", StringCharCodeAt,
     "charCodeAt([i]) -> Integer: the code unit at i (0 without "
     "i); NaN when i is outside or not an Integer"},
    {"concat", StringConcat,
     "concat(value, ...) -> String: the string followed by each value as "
     "text"},
    {"fromCharCode", StringFromCharCode,
     "fromCharCode(code, ...) -> String: one code unit per "
     "argument (its low 16 bits); also on the class"},
    {"indexOf", StringIndexOf,
     "indexOf(text [, from]) -> Integer: the first position of text at "
     "or after from; -1 when absent or from is negative"},
    {"lastIndexOf", StringLastIndexOf,
     "lastIndexOf(text [, from]) -> Integer: the last position "
     "of text at or before from; -1 when absent"},
    {"match", StringMatch,
     "match(re) -> Array: with a RegExp, as re.exec, or every match's text "
     "for a global one; an empty Array otherwise"},
    {"replace", StringReplace,
     "replace(pattern, text) -> String: the first match of a String "
     "pattern, or the matches of a RegExp ($1, $& ... substituted), "
     "replaced by text"},
    {"search", StringSearch,
     "search(pattern) -> Integer: the position of the first match of a "
     "String or RegExp; -1 when none"},
    {"slice", StringSlice,
     "slice(start [, end]) -> String: code units start to end - 1; negatives "
     "count from the end"},
    {"split", StringSplit,
     "split([separator [, limit]]) -> Array: the pieces between the "
     "separators (a String or RegExp; empty: each code unit), at most limit"},
    {"substr", StringSubstr,
     "substr(start [, count]) -> String: count code units from start; a "
     "negative start counts from the end"},
    {"substring", StringSubstring,
     "substring(start [, end]) -> String: code units start to end - "
     "1; empty when start > end"},
    {"toLowerCase", StringToLowerCase, "toLowerCase() -> String: each code unit in lower case"},
    {"toUpperCase", StringToUpperCase, "toUpperCase() -> String: each code unit in upper case"},
    {"anchor", StringAnchor, "anchor(name) -> String: <A NAME=\"name\">string</A>"},
    {"big", StringBig, "big() -> String: <BIG>string</BIG>"},
    {"blink", StringBlink, "blink() -> String: <BLINK>string</BLINK>"},
    {"bold", StringBold, "bold() -> String: <B>string</B>"},
    {"fixed", StringFixed, "fixed() -> String: <TT>string</TT>"},
    {"fontColor", StringFontColor,
     "fontColor(color) -> String: <FONT COLOR=\"color\">string</FONT>"},
    {"fontSize", StringFontSize, "fontSize(size) -> String: <FONT SIZE=\"size\">string</FONT>"},
    {"italics", StringItalics, "italics() -> String: <I>string</I>"},
    {"link", StringLink, "link(url) -> String: <A HREF=\"url\">string</A>"},
    {"small", StringSmall, "small() -> String: <SMALL>string</SMALL>"},
    {"strike", StringStrike, "strike() -> String: <STRIKE>string</STRIKE>"},
    {"sub", StringSub, "sub() -> String: <SUB>string</SUB>"},
    {"sup", StringSup, "sup() -> String: <SUP>string</SUP>"},
};
const MemberRow kPropertyNames[] = {
    {"length", "Integer, read-only: the number of UTF-16 code units"},
};

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
    .about =
        "Strings: the class of every string value (positions count UTF-16 code units; no "
        "method changes the string); String(x) converts x to text, new String(x) makes a "
        "modifiable copy",
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
