// Native classes: the one binding through which library and host classes
// (and the behaviour of the built-in value kinds) reach scripts.
//
// A NativeClass is a record of callbacks and data on the collected heap,
// bound into the global table as a Native value. Instances are NativeInstance
// records {finalizer, class, data, own properties}. Arguments arrive as an
// ArgList: element 0 is the Integer count N, elements 1..N the arguments.
#pragma once

#include <cstdint>

#include "runtime/context.h"
#include "runtime/gc.h"

namespace kelpo {

using NativeCall = void (*)(ScriptContext* context, NativeClass* klass, void* data, Value* out,
                            Value* args);
using NativeInvoke = int (*)(ScriptContext* context, NativeClass* klass, void* data, Atom method,
                             Value* out, Value* args);
using NativeProperty = int (*)(ScriptContext* context, NativeClass* klass, void* data, Atom atom,
                               int isSet, Value* io);
using NativeConstruct = void (*)(ScriptContext* context, NativeClass* klass, Value* args,
                                 Value* out);
using NativeFinalize = void (*)(NativeClass* klass, void* data);
using NativeMark = void (*)(NativeClass* klass, void* data);
using NativeFreeData = void (*)(void* data);
// Element reads target[key] of an instance: returns 1 with the element in
// `out`, 0 when the class does not index by that key.
using NativeIndex = int (*)(ScriptContext* context, NativeClass* klass, void* data,
                            const Value& key, Value* out);

struct NativeClass {
    GcFinalizer destroy;  // set by NewNativeClass; runs freeData
    NativeCall call;
    NativeInvoke invoke;
    NativeProperty property;
    NativeConstruct construct;
    NativeFinalize finalize;
    NativeMark mark;
    void* data;
    NativeFreeData freeData;
    ScriptObject* prototype;
    // Element reads by key (automation objects index through a default
    // member); null: keys name members, as for every other class.
    NativeIndex index;
};

struct NativeInstance {
    GcFinalizer finalizer;  // calls the class's finalize with (class, data)
    NativeClass* klass;
    void* data;           // null for a class object
    ScriptObject* props;  // own properties; null for a class object
};

// The Native value of an instance.
inline Value NativeValue(NativeInstance* instance) {
    Value v;
    v.tag = ValueTag::Native;
    v.bits = 0;
    v.native = instance;
    return v;
}

// Argument access on an ArgList.
inline int64_t ArgCount(const Value* args) { return args[0].integer; }
inline bool HasArg(const Value* args, int64_t k) { return args[0].integer >= k; }

NativeClass* NewNativeClass(ScriptContext* context);

// A `finalize` for classes whose instance data is one ContextAlloc'ed block.
void FreeNativeData(NativeClass* klass, void* data);

// A `property` callback for classes without properties of their own: the
// names go on to the property objects (a read answers Undefined meanwhile).
int NoOwnProperties(ScriptContext* context, NativeClass* klass, void* data, Atom atom, int isSet,
                    Value* io);

// Makes a Native value over a new instance. Null data makes a class object;
// otherwise the instance gets its own property object whose __proto__ is the
// class prototype.
Value BindNative(ScriptContext* context, NativeClass* klass, void* data);

// Binds a class object into the global of that name.
void BindGlobalClass(ScriptContext* context, const char* name, NativeClass* klass);

// Registers a global function: a class with only `call`, bound as a global.
NativeClass* RegisterGlobalFunction(ScriptContext* context, const char* name, NativeCall call);

// True when the value is a Native whose class is that of the named global.
bool IsInstanceOf(const Value& value, ScriptContext* context, const char* className);

}  // namespace kelpo
