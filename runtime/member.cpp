// Member rules per target tag.
#include "runtime/member.h"

#include <cmath>
#include <cstring>

#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/errors.h"
#include "runtime/function.h"
#include "runtime/gc.h"
#include "runtime/native.h"
#include "runtime/object.h"
#include "runtime/strings.h"
#include "runtime/trace.h"

namespace kelpo {
namespace {

void WarnUndefinedProperty(ScriptContext* context, Atom atom) {
    TraceLinef("Warning: using undefined property \"%s\"", AtomName(context, atom));
}
void WarnWrongType(ScriptContext* context, Atom atom) {
    TraceLinef("Warning: can't set property \"%s\" with a wrong type", AtomName(context, atom));
}
void WarnInvalidIndex() { TraceLine("Warning: invalid index for operator []"); }

void SaveState(ScriptContext* context, Value* stackPointer, const uint32_t* code) {
    if (stackPointer != nullptr) context->stackPointer = stackPointer;
    if (code != nullptr) context->savedCode = code;
}

// The class serving a value's tag (Objects and natives excluded).
NativeClass* TagClass(ScriptContext* context, ValueTag tag) {
    int t = static_cast<int>(tag);
    if (t < 0 || t >= kClassTagCount || tag == ValueTag::Object) return nullptr;
    return context->classForTag[t];
}

bool HasOwnPropertyObject(ValueTag tag) {
    return tag == ValueTag::String || tag == ValueTag::Array || tag == ValueTag::Function;
}

ScriptObject** OwnPropsSlot(const Value& value) {
    switch (value.tag) {
        case ValueTag::String: return &value.string->props;
        case ValueTag::Array: return &value.array->props;
        case ValueTag::Function: return &value.function->props;
        default: return nullptr;
    }
}

// The object a native's members fall back to: its own property object, or
// the class prototype when it has none (class objects).
ScriptObject* NativeFallback(const NativeInstance* instance) {
    if (instance->props != nullptr) return instance->props;
    return instance->klass != nullptr ? instance->klass->prototype : nullptr;
}

// Calls a class's property callback; the value itself is the instance of
// the tag classes, a native's data pointer otherwise.
int AskProperty(ScriptContext* context, NativeClass* klass, void* data, Atom atom, int isSet,
                Value* io) {
    if (klass == nullptr || klass->property == nullptr) return 0;
    return klass->property(context, klass, data, atom, isSet, io);
}

// Index of an array or string element from an Integer (low 32 bits,
// unsigned) or Float (truncated toward zero) key; false for other keys.
bool ElementIndex(const Value& key, bool allowFloat, uint64_t* index) {
    if (key.tag == ValueTag::Integer) {
        *index = static_cast<uint32_t>(key.integer);
        return true;
    }
    if (allowFloat && key.tag == ValueTag::Float) {
        double t = std::trunc(key.number);
        // A key that is no integer at all (NaN, infinite, beyond 64 bits)
        // has no element.
        if (!(t >= -9223372036854775808.0 && t < 9223372036854775808.0)) return false;
        *index = static_cast<uint32_t>(static_cast<int64_t>(t));
        return true;
    }
    return false;
}

void WriteStringElement(ScriptContext* context, const Value& target, const Value& key,
                        const Value& value) {
    if (key.tag != ValueTag::Integer || key.integer < 0) {
        WarnInvalidIndex();
        return;
    }
    ScriptString* s = target.string;
    if (IsStaticString(s)) {
        TraceLine("Warning: can't change a static string");
        return;
    }
    char16_t unit;
    if (value.tag == ValueTag::Integer) {
        unit = static_cast<char16_t>(value.integer & 0xFF);
    } else if (value.tag == ValueTag::String) {
        // Storing an empty text has no code unit to store: nothing changes.
        if (value.string->length == 0) return;
        unit = value.string->chars[0];
    } else {
        TraceLine("Warning: can't store a non-charactor value to string");
        return;
    }
    uint64_t k = static_cast<uint64_t>(key.integer);
    if (k >= s->length) {
        if (k + 1 > kGcMaxRequest / sizeof(char16_t)) {
            SetErrorText(context, "Out of memory");
            RaiseError(context);
        }
        uint32_t grown = static_cast<uint32_t>(k + 1);
        s->chars = static_cast<char16_t*>(GcRealloc(context, s->chars, grown * sizeof(char16_t)));
        for (uint32_t i = s->length; i < grown; ++i) s->chars[i] = u' ';
        s->length = grown;
    }
    s->chars[k] = unit;
}

}  // namespace

ScriptObject* OwnPropertyObject(ScriptContext* context, const Value& value, bool create) {
    ScriptObject** slot = OwnPropsSlot(value);
    if (slot == nullptr) return nullptr;
    if (*slot == nullptr && create) {
        ScriptObject* props = NewObject(context);
        NativeClass* klass = TagClass(context, value.tag);
        Value proto = klass != nullptr ? MakeObject(klass->prototype) : MakeNull();
        PutProperty(context, props, kAtomProto, proto);
        *slot = props;
    }
    return *slot;
}

int GetMember(ScriptContext* context, const Value& target, Atom atom, Value* out,
              Value* stackPointer, const uint32_t* code) {
    SaveState(context, stackPointer, code);
    switch (target.tag) {
        case ValueTag::Native: {
            NativeInstance* instance = target.native;
            *out = MakeUndefined();
            if (AskProperty(context, instance->klass, instance->data, atom, 0, out)) return 1;
            ScriptObject* fallback = NativeFallback(instance);
            if (atom == kAtomProto) {
                *out = fallback != nullptr ? MakeObject(fallback) : MakeUndefined();
                return fallback != nullptr;
            }
            if (fallback == nullptr) return 0;
            return GetProperty(context, fallback, atom, out);
        }
        case ValueTag::Object: return GetProperty(context, target.object, atom, out);
        default: break;
    }
    NativeClass* klass = TagClass(context, target.tag);
    *out = MakeUndefined();
    if (klass == nullptr) return 0;
    Value self = target;
    if (AskProperty(context, klass, &self, atom, 0, out)) return 1;
    if (atom == kAtomProto) {
        if (!HasOwnPropertyObject(target.tag)) return 0;
        *out = MakeObject(OwnPropertyObject(context, target, true));
        return 1;
    }
    if (ScriptObject* own = OwnPropertyObject(context, target, false)) {
        if (GetProperty(context, own, atom, out)) return 1;
    }
    return GetProperty(context, klass->prototype, atom, out);
}

int SetMemberIfPresent(ScriptContext* context, const Value& target, Atom atom, const Value& value,
                       Value* stackPointer, const uint32_t* code) {
    SaveState(context, stackPointer, code);
    Value io = value;
    Value found;
    switch (target.tag) {
        case ValueTag::Native: {
            NativeInstance* instance = target.native;
            if (AskProperty(context, instance->klass, instance->data, atom, 1, &io)) return 1;
            if (atom == kAtomProto) {
                if (value.tag != ValueTag::Object) return 0;
                if (instance->props != nullptr || instance->klass == nullptr) {
                    instance->props = value.object;
                } else {
                    instance->klass->prototype = value.object;
                }
                return 1;
            }
            ScriptObject* candidates[] = {instance->props,
                                          instance->klass ? instance->klass->prototype : nullptr};
            for (ScriptObject* o : candidates) {
                if (o != nullptr && GetProperty(context, o, atom, &found)) {
                    PutProperty(context, o, atom, value);
                    return 1;
                }
            }
            return 0;
        }
        case ValueTag::Object:
            if (!GetProperty(context, target.object, atom, &found)) return 0;
            PutProperty(context, target.object, atom, value);
            return 1;
        default: break;
    }
    NativeClass* klass = TagClass(context, target.tag);
    if (klass == nullptr) return 0;
    Value self = target;
    if (AskProperty(context, klass, &self, atom, 1, &io)) return 1;
    if (atom == kAtomProto) {
        ScriptObject** slot = OwnPropsSlot(target);
        if (slot == nullptr || value.tag != ValueTag::Object) return 0;
        *slot = value.object;
        return 1;
    }
    ScriptObject* candidates[] = {OwnPropertyObject(context, target, false), klass->prototype};
    for (ScriptObject* o : candidates) {
        if (o != nullptr && GetProperty(context, o, atom, &found)) {
            PutProperty(context, o, atom, value);
            return 1;
        }
    }
    return 0;
}

Value ReadMember(ScriptContext* context, const Value& target, Atom atom) {
    Value out;
    if (!GetMember(context, target, atom, &out)) {
        WarnUndefinedProperty(context, atom);
        return MakeUndefined();
    }
    return out;
}

void WriteMember(ScriptContext* context, const Value& target, Atom atom, const Value& value) {
    switch (target.tag) {
        case ValueTag::Object: PutProperty(context, target.object, atom, value); return;
        case ValueTag::Native: {
            NativeInstance* instance = target.native;
            NativeClass* klass = instance->klass;
            if (klass == nullptr || klass->property == nullptr) {
                WarnUndefinedProperty(context, atom);
                return;
            }
            Value io = value;
            if (klass->property(context, klass, instance->data, atom, 1, &io)) return;
            if (atom == kAtomProto) {
                if (value.tag != ValueTag::Object) {
                    WarnWrongType(context, atom);
                } else if (instance->props != nullptr) {
                    instance->props = value.object;
                } else {
                    klass->prototype = value.object;
                }
                return;
            }
            PutProperty(context, NativeFallback(instance), atom, value);
            return;
        }
        case ValueTag::String:
        case ValueTag::Array:
        case ValueTag::Function: {
            NativeClass* klass = TagClass(context, target.tag);
            if (klass == nullptr) break;
            Value self = target;
            Value io = value;
            if (AskProperty(context, klass, &self, atom, 1, &io)) return;
            if (atom == kAtomProto) {
                if (value.tag != ValueTag::Object) {
                    WarnWrongType(context, atom);
                } else {
                    *OwnPropsSlot(target) = value.object;
                }
                return;
            }
            PutProperty(context, OwnPropertyObject(context, target, true), atom, value);
            return;
        }
        default: break;
    }
    WarnUndefinedProperty(context, atom);
}

Value ReadElement(ScriptContext* context, const Value& target, const Value& key) {
    Value out = MakeUndefined();
    switch (target.tag) {
        case ValueTag::Object:
            if (key.tag == ValueTag::AtomRef) {
                GetProperty(context, target.object, key.atom, &out);
            } else {
                GetElement(context, target.object, key, &out);
            }
            return out;
        case ValueTag::Array: {
            uint64_t index;
            if (!ElementIndex(key, true, &index)) {
                WarnInvalidIndex();
                return out;
            }
            if (index < target.array->length) {
                if (Value* box = ArrayGet(context, target, index)) out = *box;
            }
            return out;
        }
        case ValueTag::String: {
            if (key.tag != ValueTag::Integer) {
                WarnInvalidIndex();
                return out;
            }
            if (key.integer < 0 || static_cast<uint64_t>(key.integer) >= target.string->length) {
                TraceLine("Warning: string index out of range");
                return out;
            }
            return MakeInteger(target.string->chars[key.integer]);
        }
        case ValueTag::Native: {
            NativeInstance* instance = target.native;
            NativeClass* indexed = instance != nullptr ? instance->klass : nullptr;
            if (indexed != nullptr && indexed->index != nullptr) {
                if (indexed->index(context, indexed, instance->data, key, &out)) return out;
                return MakeUndefined();
            }
            if (key.tag == ValueTag::String) {
                char* name = StringToAnsi(context, key);
                Atom atom = InternAtom(context, name);
                ContextFree(name);
                NativeClass* klass = target.native->klass;
                if (klass == nullptr || klass->property == nullptr) {
                    WarnUndefinedProperty(context, atom);
                    return out;
                }
                return ReadMember(context, target, atom);
            }
            if (key.tag != ValueTag::Integer) WarnInvalidIndex();
            return out;
        }
        default: return out;
    }
}

void WriteElement(ScriptContext* context, const Value& target, const Value& key,
                  const Value& value) {
    switch (target.tag) {
        case ValueTag::Object:
            if (key.tag == ValueTag::AtomRef) {
                PutProperty(context, target.object, key.atom, value);
            } else {
                PutElement(context, target.object, key, value);
            }
            return;
        case ValueTag::Array: {
            uint64_t index;
            if (!ElementIndex(key, true, &index)) {
                WarnInvalidIndex();
                return;
            }
            ScriptArray* array = target.array;
            if ((array->length >> 32) == 0 && index >= array->length) array->length = index + 1;
            ArraySet(context, target, value, index);
            return;
        }
        case ValueTag::String: WriteStringElement(context, target, key, value); return;
        case ValueTag::Native:
            if (key.tag == ValueTag::String) {
                char* name = StringToAnsi(context, key);
                Atom atom = InternAtom(context, name);
                ContextFree(name);
                WriteMember(context, target, atom, value);
            } else if (key.tag != ValueTag::Integer) {
                WarnInvalidIndex();
            }
            return;
        default: return;
    }
}

void DeleteMember(ScriptContext* context, const Value& target, Atom atom) {
    if (target.tag == ValueTag::Object) DeleteProperty(context, target.object, atom);
}

void DeleteElementOf(ScriptContext* context, const Value& target, const Value& key) {
    if (target.tag == ValueTag::Object) {
        if (key.tag == ValueTag::AtomRef) {
            DeleteProperty(context, target.object, key.atom);
        } else {
            DeleteElement(context, target.object, key);
        }
    } else if (target.tag == ValueTag::Array && key.tag == ValueTag::Integer) {
        ArrayRemoveShift(context, target, static_cast<uint64_t>(key.integer));
    }
}

bool IterationStep(ScriptContext* context, const Value& target, int64_t i, Value* item) {
    *item = MakeUndefined();
    switch (target.tag) {
        case ValueTag::Object: return PropertyNameAt(context, target.object, i, item) != 0;
        case ValueTag::Array:
            if (i < 0 || static_cast<uint64_t>(i) >= target.array->length) return false;
            if (Value* box = ArrayGet(context, target, static_cast<uint64_t>(i))) *item = *box;
            return true;
        case ValueTag::String:
            if (i < 0 || static_cast<uint64_t>(i) >= target.string->length) return false;
            *item = MakeInteger(target.string->chars[i]);
            return true;
        default: return false;
    }
}

}  // namespace kelpo
