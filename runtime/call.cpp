// Calling values from the host, and the dispatch of calls, constructions
// and method calls.
#include "runtime/call.h"

#include <cstring>

#include "runtime/atoms.h"
#include "runtime/errors.h"
#include "runtime/function.h"
#include "runtime/member.h"
#include "runtime/native.h"
#include "runtime/object.h"

namespace kelpo {
namespace {

NativeClass* TagClass(ScriptContext* context, ValueTag tag) {
    int t = static_cast<int>(tag);
    if (t < 0 || t >= kClassTagCount) return nullptr;
    return context->classForTag[t];
}

// Host entry points share their framing: reset the outputs, run inside an
// error frame, and turn a raise into a 0 return.
template <class Body>
int HostEntry(ScriptContext* context, Body&& body) {
    context->result = MakeUndefined();
    context->errorText[0] = '\0';
    int answered = 0;
    bool ok = CatchRaise(context, [&] { answered = body(); });
    return ok ? answered : 0;
}

// Runs a Function or calls a Native's `call`; false when the value is
// neither (nothing ran).
bool CallCallee(ScriptContext* context, const Value* thisValue, const Value& callee, int count,
                Value* args) {
    if (callee.tag == ValueTag::Function) {
        RunFunction(context, thisValue, callee, count, args);
        return true;
    }
    return CallNative(context, callee, args, &context->result);
}

}  // namespace

void RunFunction(ScriptContext* context, const Value* receiver, const Value& function, int count,
                 Value* args) {
    if (context->interpreter == nullptr) {
        RaiseErrorf(context, "Unimplemented Kelpo Script bytecode");
    }
    context->enteringFunction = &function;
    context->interpreter(context, receiver, function.function->code, count, args);
    context->enteringFunction = nullptr;  // for entries that do not take it
}

bool CallNative(ScriptContext* context, const Value& callee, Value* args, Value* out) {
    if (callee.tag != ValueTag::Native) return false;
    NativeInstance* instance = callee.native;
    NativeClass* klass = instance->klass;
    if (klass == nullptr || klass->call == nullptr) return false;
    *out = MakeUndefined();
    klass->call(context, klass, instance->data, out, args);
    return true;
}

bool ConstructNative(ScriptContext* context, const Value& callee, Value* args, Value* out) {
    NativeClass* klass = nullptr;
    if (callee.tag == ValueTag::Native) {
        klass = callee.native->klass;
    } else if (callee.tag != ValueTag::Function) {
        klass = TagClass(context, callee.tag);
    }
    if (klass == nullptr || klass->construct == nullptr) return false;
    klass->construct(context, klass, args, out);
    return true;
}

Value NewInstanceOf(ScriptContext* context, const Value& function) {
    ScriptFunction* f = function.function;
    if (f->props == nullptr) {
        ScriptObject* props = NewObject(context);
        NativeClass* objectClass = context->classForTag[static_cast<int>(ValueTag::Object)];
        Value proto = objectClass != nullptr ? MakeObject(objectClass->prototype) : MakeNull();
        PutProperty(context, props, kAtomProto, proto);
        f->props = props;
    }
    ScriptObject* instance = NewObject(context);
    PutProperty(context, instance, kAtomProto, MakeObject(f->props));
    return MakeObject(instance);
}

MethodKind FindMethod(ScriptContext* context, const Value& target, Atom method, Value* args,
                      Value* out, Value* function) {
    *out = MakeUndefined();
    switch (target.tag) {
        case ValueTag::Native: {
            NativeInstance* instance = target.native;
            NativeClass* klass = instance->klass;
            if (klass != nullptr && klass->invoke != nullptr &&
                klass->invoke(context, klass, instance->data, method, out, args)) {
                return MethodKind::Answered;
            }
            if (instance->props != nullptr &&
                GetProperty(context, instance->props, method, function) &&
                function->tag == ValueTag::Function) {
                return MethodKind::Script;
            }
            return MethodKind::Missing;
        }
        case ValueTag::Object: {
            if (GetProperty(context, target.object, method, function)) {
                return function->tag == ValueTag::Function ? MethodKind::Script
                                                           : MethodKind::Missing;
            }
            NativeClass* objectClass = TagClass(context, ValueTag::Object);
            Value self = target;
            if (objectClass != nullptr && objectClass->invoke != nullptr &&
                objectClass->invoke(context, objectClass, &self, method, out, args)) {
                return MethodKind::Answered;
            }
            return MethodKind::Missing;
        }
        default: break;
    }
    NativeClass* klass = TagClass(context, target.tag);
    if (klass == nullptr) return MethodKind::Missing;
    Value self = target;
    if (klass->invoke != nullptr && klass->invoke(context, klass, &self, method, out, args)) {
        return MethodKind::Answered;
    }
    if (ScriptObject* own = OwnPropertyObject(context, target, false)) {
        if (GetProperty(context, own, method, function) && function->tag == ValueTag::Function) {
            return MethodKind::Script;
        }
    }
    return MethodKind::Missing;
}

int CallFunction(ScriptContext* context, const char* globalName, const Value* function, int count,
                 Value* args) {
    return HostEntry(context, [&] {
        Value callee = function != nullptr ? *function : MakeUndefined();
        if (globalName != nullptr) callee = GetGlobal(context, globalName);
        if (CallCallee(context, nullptr, callee, count, args)) return 1;
        SetErrorText(context, "Warning: call a undefined function");
        return 0;
    });
}

int CallValue(ScriptContext* context, const Value* thisValue, const Value* function, int count,
              Value* args) {
    return HostEntry(context, [&] {
        Value callee = *function;
        if (CallCallee(context, thisValue, callee, count, args)) return 1;
        SetErrorText(context, "Warning: call a undefined function");
        return 0;
    });
}

int CallMethod(ScriptContext* context, const Value* target, const char* methodName, int count,
               Value* args) {
    return HostEntry(context, [&] {
        Atom method = InternAtom(context, methodName);
        Value self = *target;
        Value found = MakeUndefined();
        NativeClass* klass = nullptr;
        void* data = nullptr;
        switch (self.tag) {
            case ValueTag::Native:
                klass = self.native->klass;
                data = self.native->data;
                break;
            case ValueTag::Object:
                if (GetProperty(context, self.object, method, &found)) {
                    if (found.tag == ValueTag::Function) {
                        RunFunction(context, &self, found, count, args);
                        return 1;
                    }
                    break;  // a member that is not a function: unknown method
                }
                klass = TagClass(context, ValueTag::Object);
                data = &self;
                break;
            default:
                klass = TagClass(context, self.tag);
                data = &self;
                break;
        }
        if (found.tag == ValueTag::Undefined && klass != nullptr && klass->invoke != nullptr &&
            klass->invoke(context, klass, data, method, &context->result, args)) {
            return 1;
        }
        SetErrorText(context, "Warning: unknown method \"%s\"", methodName);
        return 0;
    });
}

}  // namespace kelpo
