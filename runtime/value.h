// The tagged value cell every part of the engine passes around.
//
// A Value is {i32 tag, 8-byte payload}. The tag numbers are part of the
// compiled-image format and never change. Values are copied as whole cells;
// payload records (strings, objects, arrays, functions, native instances) live
// on the context's collected heap and are never reference counted.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelpo {

enum class ValueTag : int32_t {
    Undefined = 0,
    Null = 1,
    Boolean = 2,
    Integer = 3,
    String = 4,
    Float = 5,
    Array = 6,
    Object = 7,
    // 8 and 9 are unassigned: never produced, but images may carry them.
    AtomRef = 10,
    Native = 11,
    Function = 12,
    NaN = 13,
    // Interpreter frame markers; they never leave the value stack.
    FrameLink = 14,
    FrameInfo = 15,
};

// Number of tags a classForTag table covers (0 to 14).
constexpr int kClassTagCount = 15;

using Atom = int32_t;

struct ScriptContext;
struct ScriptString;
struct ScriptObject;
struct ScriptArray;
struct ScriptFunction;
struct NativeInstance;
struct NativeClass;
struct AtomEntry;

struct Value {
    ValueTag tag;
    union {
        int32_t boolean;  // Boolean: 0 or 1 in the low word
        int64_t integer;
        double number;
        Atom atom;  // AtomRef
        ScriptString* string;
        ScriptArray* array;
        ScriptObject* object;
        NativeInstance* native;
        ScriptFunction* function;
        AtomEntry* atomEntry;  // Undefined in a never-assigned global slot
        Value* frame;          // frame markers
        void* pointer;
        uint64_t bits;
    };
};

static_assert(sizeof(Value) == 16, "a Value is a tag word and an 8-byte payload");
static_assert(offsetof(Value, integer) == 8, "the payload is 8-byte aligned");

// Constructors for the common cases; they always clear the whole payload so
// that identity comparisons on payload bits stay meaningful.
inline Value MakeTagged(ValueTag tag) {
    Value v;
    v.tag = tag;
    v.bits = 0;
    return v;
}
inline Value MakeUndefined() { return MakeTagged(ValueTag::Undefined); }
inline Value MakeNull() { return MakeTagged(ValueTag::Null); }
inline Value MakeNaN() { return MakeTagged(ValueTag::NaN); }
inline Value MakeBoolean(bool b) {
    Value v = MakeTagged(ValueTag::Boolean);
    v.boolean = b ? 1 : 0;
    return v;
}
inline Value MakeInteger(int64_t i) {
    Value v;
    v.tag = ValueTag::Integer;
    v.integer = i;
    return v;
}
inline Value MakeFloat(double d) {
    Value v;
    v.tag = ValueTag::Float;
    v.number = d;
    return v;
}
inline Value MakeAtomRef(Atom a) {
    Value v = MakeTagged(ValueTag::AtomRef);
    v.atom = a;
    return v;
}
inline Value MakeObject(ScriptObject* o) {
    Value v = MakeTagged(ValueTag::Object);
    v.object = o;
    return v;
}
inline Value MakeArrayValue(ScriptArray* a) {
    Value v = MakeTagged(ValueTag::Array);
    v.array = a;
    return v;
}
inline Value MakeStringValue(ScriptString* s) {
    Value v = MakeTagged(ValueTag::String);
    v.string = s;
    return v;
}

inline bool IsNumberTag(ValueTag t) {
    return t == ValueTag::Integer || t == ValueTag::Float || t == ValueTag::NaN;
}

}  // namespace kelpo
