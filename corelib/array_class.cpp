// The Array class: construction, the `length` property and the dispatch of
// the array methods; it serves every value of tag Array.
//
// The class data is the table of member atoms, interned at registration in
// the order of kMembers; method calls compare the called atom against it.
#include "corelib/classes.h"

#include "corelib/array_methods.h"
#include "corelib/array_nodes.h"
#include "runtime/atoms.h"
#include "runtime/convert.h"
#include "runtime/member.h"
#include "runtime/native.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

struct ArrayMember {
    const char* name;
    ArrayMethod method;  // null for the `length` property
};

const ArrayMember kMembers[] = {
    {"concat", ConcatMethod}, {"join", JoinMethod},       {"pop", PopMethod},
    {"push", PushMethod},     {"reverse", ReverseMethod}, {"shift", ShiftMethod},
    {"slice", SliceMethod},   {"splice", SpliceMethod},   {"sort", SortMethod},
    {"unshift", UnshiftMethod}, {"length", nullptr},
};
constexpr int kMemberCount = sizeof kMembers / sizeof kMembers[0];
constexpr int kLengthMember = kMemberCount - 1;

const char16_t kArrayClassText[] = u"[object Array]";

const Atom* MemberAtoms(NativeClass* klass) { return static_cast<const Atom*>(klass->data); }

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

int ArrayProperty(ScriptContext* context, NativeClass* klass, void* data, Atom atom, int isSet,
                  Value* io) {
    if (atom != MemberAtoms(klass)[kLengthMember]) {
        if (!isSet) *io = MakeUndefined();
        return 0;
    }
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

int ArrayInvoke(ScriptContext* context, NativeClass* klass, void* data, Atom method, Value* out,
                Value* args) {
    *out = MakeUndefined();
    if (data == nullptr) {
        if (method != kAtomToString) return 0;
        *out = StaticText(context, kArrayClassText);
        return 1;
    }
    const Value& self = *static_cast<Value*>(data);
    if (self.tag != ValueTag::Array) return 0;
    if (method == kAtomToString) {
        static const char16_t kComma[] = u",";
        *out = JoinArray(context, self, kComma, 1);
        return 1;
    }
    const Atom* atoms = MemberAtoms(klass);
    for (int i = 0; i < kLengthMember; ++i) {
        if (atoms[i] == method) {
            kMembers[i].method(context, self, out, args);
            return 1;
        }
    }
    return 0;
}

void FreeMemberAtoms(void* data) { ContextFree(data); }

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
    NativeClass* klass = NewNativeClass(context);
    auto* atoms = static_cast<Atom*>(ContextCalloc(context, kMemberCount, sizeof(Atom)));
    klass->data = atoms;
    klass->freeData = FreeMemberAtoms;
    for (int i = 0; i < kMemberCount; ++i) atoms[i] = InternAtom(context, kMembers[i].name);
    klass->call = CallArray;
    klass->construct = ConstructArray;
    klass->invoke = ArrayInvoke;
    klass->property = ArrayProperty;
    BindGlobalClass(context, "Array", klass);
    context->classForTag[static_cast<int>(ValueTag::Array)] = klass;
}

}  // namespace kelpo
