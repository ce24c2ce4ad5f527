// The Array class: construction, the `length` property and the dispatch of
// the array methods; it serves every value of tag Array.
#include "corelib/classes.h"

#include "corelib/array_methods.h"
#include "corelib/array_nodes.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/member.h"
#include "runtime/native.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

struct ArrayMember {
    const char* name;
    ArrayMethod method;  // null for toString and valueOf
    const char* text;
};

// toString and valueOf first: the class answers them itself.
enum { kToString, kValueOf };
const ArrayMember kMethods[] = {
    {"toString", nullptr,
     "toString() -> String: the elements joined with commas; \"[object Array]\" on the class"},
    {"valueOf", nullptr,
     "valueOf() -> nothing: not answered for arrays (an unknown method) unless one is stored "
     "on the array"},
    {"concat", ConcatMethod,
     "concat(value, ...) -> Array: a copy with the values appended, an Array's elements one by "
     "one"},
    {"join", JoinMethod,
     "join([separator]) -> String: the elements as text, holes empty, separated by separator "
     "(\",\")"},
    {"pop", PopMethod, "pop() -> any: removes and returns the last element; undefined when empty"},
    {"push", PushMethod, "push(value, ...) -> Integer: appends the values; the new length"},
    {"reverse", ReverseMethod, "reverse() -> nothing: reverses the elements in place, holes too"},
    {"shift", ShiftMethod,
     "shift() -> any: removes and returns the first element, renumbering the rest; undefined "
     "when empty"},
    {"slice", SliceMethod,
     "slice([start [, end]]) -> Array: elements start to end - 1; negatives count from the end, "
     "a reversed pair is exchanged"},
    {"splice", SpliceMethod,
     "splice([start [, count [, item, ...]]]) -> Array: removes count elements at start and "
     "inserts the items; the removed elements"},
    {"sort", SortMethod,
     "sort([compare]) -> nothing: stable sort in place, by text with undefined last unless "
     "compare(a, b) is given; holes are packed to the front"},
    {"unshift", UnshiftMethod,
     "unshift(value, ...) -> Integer: inserts the values at the front, the last one first; the "
     "new length"},
};
const MemberRow kProperties[] = {
    {"length",
     "Integer: the length; writing it removes the elements at or beyond it (1 on the "
     "class)"},
};

const char16_t kArrayClassText[] = u"[object Array]";

// One Integer argument n: an array of length n (a negative n gives length
// 0); otherwise the arguments are the elements. Array literals pass their
// elements with the count negated, so a one-element literal is never a
// length.
void ConstructArray(ScriptContext* context, NativeClass* klass, Value* args, Value* out) {
    int64_t count = ArgCount(args);
    bool literal = count < 0;
    if (literal) count = -count;
    Value array;
    if (!literal && count == 1 && args[1].tag == ValueTag::Integer) {
        array = NewArray(context, args[1].integer > 0 ? static_cast<uint64_t>(args[1].integer) : 0);
    } else {
        array = NewArray(context, static_cast<uint64_t>(count));
        BucketAppender to(context, array.array);
        for (int64_t i = 0; i < count; ++i) to.AppendValue(args[i + 1], static_cast<uint64_t>(i));
    }
    OwnPropertyObject(context, array, true);
    *out = array;
}

void CallArray(ScriptContext* context, NativeClass* klass, void*, Value* out, Value* args) {
    ConstructArray(context, klass, args, out);
}

// The new length a value written to `length` asks for; false when the value
// is ignored (not a number, negative, or beyond 64 bits).
bool RequestedLength(const Value& v, uint64_t* length) {
    if (v.tag == ValueTag::Integer) {
        if (v.integer < 0) return false;
        *length = static_cast<uint64_t>(v.integer);
        return true;
    }
    if (v.tag == ValueTag::Float) {
        if (!(v.number >= 0.0) || !(v.number < 18446744073709551616.0)) return false;
        *length = static_cast<uint64_t>(v.number);
        return true;
    }
    return false;
}

// The one property, `length`.
int ArrayProperty(ScriptContext* context, NativeClass*, void* data, int, int isSet, Value* io) {
    if (data == nullptr) {
        // Array.length on the class object reads 1; writing it is not ours.
        if (isSet) return 0;
        *io = MakeInteger(1);
        return 1;
    }
    ScriptArray* array = static_cast<Value*>(data)->array;
    if (!isSet) {
        *io = MakeInteger(static_cast<int64_t>(array->length));
        return 1;
    }
    uint64_t length;
    if (RequestedLength(*io, &length)) {
        TruncateElements(context, array, length);
        array->length = length;
    }
    return 1;
}

// valueOf is left to the array's own members: an array answers it only
// when a script gave it one.
int ArrayMethodCall(ScriptContext* context, NativeClass*, void* data, int member, Value* out,
                    Value* args) {
    if (data == nullptr) {
        if (member != kToString) return 0;
        *out = StaticText(context, kArrayClassText);
        return 1;
    }
    const Value& self = *static_cast<Value*>(data);
    if (self.tag != ValueTag::Array || member == kValueOf) return 0;
    if (member == kToString) {
        static const char16_t kComma[] = u",";
        *out = JoinArray(context, self, kComma, 1);
        return 1;
    }
    kMethods[member].method(context, self, out, args);
    return 1;
}

const ClassSpec kArrayClass = {
    .name = "Array",
    .about =
        "Arrays: the class of every array value, and its constructor; Array(n) makes an "
        "empty array of length n, Array(a, b, ...) one holding the arguments",
    .methods = kMethods,
    .method = ArrayMethodCall,
    .properties = kProperties,
    .property = ArrayProperty,
    .call = CallArray,
    .construct = ConstructArray,
};

}  // namespace

void JoinMethod(ScriptContext* context, const Value& self, Value* out, Value* args) {
    static const char16_t kComma[] = u",";
    if (!HasArg(args, 1)) {
        *out = JoinArray(context, self, kComma, 1);
        return;
    }
    // JoinArray copies the separator before any element's text runs script.
    Value separator = ToString(context, args[1]);
    *out = JoinArray(context, self, separator.string->chars, separator.string->length);
}

void RegisterArrayClass(ScriptContext* context) {
    NativeClass* klass = DefineClass(context, kArrayClass);
    context->classForTag[static_cast<int>(ValueTag::Array)] = klass;
}

}  // namespace kelpo
