// Native classes and instances: creation, binding and finalization.
#include "runtime/native.h"

#include <cstring>

#include "runtime/atoms.h"
#include "runtime/object.h"

namespace kelpo {
namespace {

void DestroyClass(void* block) {
    auto* klass = static_cast<NativeClass*>(block);
    if (klass->freeData != nullptr && klass->data != nullptr) klass->freeData(klass->data);
    klass->data = nullptr;
}

void FinalizeInstance(void* block) {
    auto* instance = static_cast<NativeInstance*>(block);
    NativeClass* klass = instance->klass;
    if (klass != nullptr && klass->finalize != nullptr) klass->finalize(klass, instance->data);
    instance->data = nullptr;
}

}  // namespace

void FreeNativeData(NativeClass* /*klass*/, void* data) { ContextFree(data); }

int NoOwnProperties(ScriptContext*, NativeClass*, void*, Atom, int isSet, Value* io) {
    if (!isSet) *io = MakeUndefined();
    return 0;
}

NativeClass* NewNativeClass(ScriptContext* context) {
    auto* klass = static_cast<NativeClass*>(GcAllocFinalized(context, sizeof(NativeClass)));
    klass->destroy = DestroyClass;
    // A class outlives its instances within one sweep: their finalizers may
    // still read it.
    GcSetLateFinalizer(klass);
    ScriptObject* prototype = NewObject(context);
    klass->prototype = prototype;
    PutProperty(context, prototype, kAtomProto, MakeNull());
    return klass;
}

Value BindNative(ScriptContext* context, NativeClass* klass, void* data) {
    auto* instance =
        static_cast<NativeInstance*>(GcAllocFinalized(context, sizeof(NativeInstance)));
    instance->finalizer = FinalizeInstance;
    instance->klass = klass;
    instance->data = data;
    instance->props = nullptr;
    Value v;
    v.tag = ValueTag::Native;
    v.bits = 0;
    v.native = instance;
    if (data != nullptr) {
        // The instance is only reachable from `v` here; nothing collects
        // during allocation, so it survives until the caller stores it.
        ScriptObject* props = NewObject(context);
        PutProperty(context, props, kAtomProto, MakeObject(klass->prototype));
        instance->props = props;
    }
    return v;
}

void BindGlobalClass(ScriptContext* context, const char* name, NativeClass* klass) {
    Atom atom = InternAtom(context, name);
    Value v = BindNative(context, klass, nullptr);
    context->atomValues[atom] = v;
}

NativeClass* RegisterGlobalFunction(ScriptContext* context, const char* name, NativeCall call) {
    NativeClass* klass = NewNativeClass(context);
    klass->call = call;
    BindGlobalClass(context, name, klass);
    return klass;
}

bool IsInstanceOf(const Value& value, ScriptContext* context, const char* className) {
    if (value.tag != ValueTag::Native || value.native == nullptr) return false;
    Atom atom = FindAtom(context, className, strlen(className));
    if (atom < 0) return false;
    const Value& global = context->atomValues[atom];
    if (global.tag != ValueTag::Native || global.native == nullptr) return false;
    return value.native->klass == global.native->klass;
}

}  // namespace kelpo
