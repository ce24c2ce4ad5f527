// Dispatch of calls, constructions and method calls to native classes, and
// the host entry points.
#include <string>

#include "runtime/atoms.h"
#include "runtime/call.h"
#include "runtime/function.h"
#include "runtime/member.h"
#include "runtime/native.h"
#include "runtime/object.h"
#include "runtime/strings.h"
#include "tests/unit/test_support.h"

namespace kelpo {
namespace {

// What the fake classes saw on their last call.
struct Seen {
    int calls = 0;
    void* data = nullptr;
    void* payload = nullptr;  // of the value a tag class was invoked on
    int64_t argCount = -1;
    Atom method = -1;
};
Seen gSeen;

void EchoCall(ScriptContext*, NativeClass*, void* data, Value* out, Value* args) {
    gSeen.calls++;
    gSeen.data = data;
    gSeen.argCount = ArgCount(args);
    *out = HasArg(args, 1) ? args[1] : MakeInteger(-1);
}

void FailingCall(ScriptContext* context, NativeClass*, void*, Value*, Value*) {
    RaiseErrorf(context, "native failed");
}

int GreetInvoke(ScriptContext* context, NativeClass*, void* data, Atom method, Value* out, Value*) {
    gSeen.calls++;
    gSeen.data = data;
    gSeen.method = method;
    if (method == InternAtom(context, "greet") || method == kAtomToString) {
        *out = NewStringFromCString(context, "hello");
        return 1;
    }
    return 0;
}

// Tag classes receive a pointer to the value they operate on.
int TagInvoke(ScriptContext* context, NativeClass* klass, void* data, Atom method, Value* out,
              Value* args) {
    gSeen.payload = data != nullptr ? static_cast<Value*>(data)->pointer : nullptr;
    return GreetInvoke(context, klass, data, method, out, args);
}

int NoProperty(ScriptContext*, NativeClass*, void*, Atom, int, Value*) { return 0; }

void CountConstruct(ScriptContext*, NativeClass*, Value* args, Value* out) {
    gSeen.calls++;
    *out = MakeInteger(100 + ArgCount(args));
}

class CallTest : public test::ContextTest {
protected:
    void SetUp() override {
        ContextTest::SetUp();
        gSeen = Seen{};
        thing = NewNativeClass(ctx);
        thing->call = EchoCall;
        thing->invoke = GreetInvoke;
        thing->construct = CountConstruct;
        thing->property = NoProperty;
        thing->finalize = FreeNativeData;
        BindGlobalClass(ctx, "Thing", thing);
    }
    Atom A(const char* n) { return InternAtom(ctx, n); }
    Value Global(const char* n) { return ctx->atomValues[A(n)]; }
    NativeClass* InstallTagClass(ValueTag tag) {
        NativeClass* k = NewNativeClass(ctx);
        k->invoke = TagInvoke;
        k->construct = CountConstruct;
        ctx->classForTag[static_cast<int>(tag)] = k;
        return k;
    }
    NativeClass* thing = nullptr;
    test::TraceCapture trace;
};

TEST_F(CallTest, CallingValues) {
    Value args[] = {MakeInteger(1), MakeInteger(42)};
    Value out;
    EXPECT_TRUE(CallNative(ctx, Global("Thing"), args, &out));
    EXPECT_EQ(out.integer, 42);
    EXPECT_EQ(gSeen.data, nullptr);  // the class object
    EXPECT_EQ(gSeen.argCount, 1);

    NativeClass* bare = NewNativeClass(ctx);
    Value noCall = BindNative(ctx, bare, nullptr);
    for (const Value& callee :
         {noCall, MakeInteger(3), MakeUndefined(), MakeObject(NewObject(ctx))}) {
        EXPECT_FALSE(CallNative(ctx, callee, args, &out));
    }
}

TEST_F(CallTest, ConstructingValues) {
    Value args[] = {MakeInteger(2), MakeInteger(0), MakeInteger(0)};
    Value out = MakeUndefined();
    EXPECT_TRUE(ConstructNative(ctx, Global("Thing"), args, &out));
    EXPECT_EQ(out.integer, 102);

    // Values of a tag with a class construct through that class
    // (new n where n holds a number reaches the Number class).
    ctx->classForTag[static_cast<int>(ValueTag::Integer)] = nullptr;
    EXPECT_FALSE(ConstructNative(ctx, MakeInteger(5), args, &out));
    InstallTagClass(ValueTag::Integer);
    EXPECT_TRUE(ConstructNative(ctx, MakeInteger(5), args, &out));
    // Undefined has no class: nothing is constructed.
    EXPECT_FALSE(ConstructNative(ctx, MakeUndefined(), args, &out));
}

TEST_F(CallTest, FunctionsConstructObjectsSharingTheFunctionsProperties) {
    NativeClass* objectClass = InstallTagClass(ValueTag::Object);
    Value f = NewFunctionValue(ctx, nullptr);
    Value first = NewInstanceOf(ctx, f);
    Value second = NewInstanceOf(ctx, f);
    ASSERT_NE(f.function->props, nullptr);
    // The new object's first slot is __proto__, the function's own object.
    EXPECT_EQ(first.object->slots[0].atom, kAtomProto);
    EXPECT_EQ(first.object->slots[0].value.object, f.function->props);
    EXPECT_EQ(second.object->slots[0].value.object, f.function->props);
    Value proto;
    GetProperty(ctx, f.function->props, kAtomProto, &proto);
    EXPECT_EQ(proto.object, objectClass->prototype);

    PutProperty(ctx, f.function->props, A("m"), MakeInteger(7));
    Value m;
    EXPECT_EQ(GetProperty(ctx, second.object, A("m"), &m), 1);
    EXPECT_EQ(m.integer, 7);
}

TEST_F(CallTest, MethodDispatchOnNatives) {
    Value args[] = {MakeInteger(0)};
    Value out, fn;
    auto* data = ContextAlloc(ctx, 4);
    Value instance = BindNative(ctx, thing, data);
    ctx->atomValues[A("inst")] = instance;

    EXPECT_EQ(FindMethod(ctx, instance, A("greet"), args, &out, &fn), MethodKind::Answered);
    EXPECT_TRUE(StringEquals(out, "hello"));
    EXPECT_EQ(gSeen.data, data);

    // A function assigned to a member of the class object lands in the
    // prototype and becomes a method of every instance.
    Value script = NewFunctionValue(ctx, nullptr);
    WriteMember(ctx, Global("Thing"), A("extra"), script);
    EXPECT_EQ(FindMethod(ctx, instance, A("extra"), args, &out, &fn), MethodKind::Script);
    EXPECT_EQ(fn.function, script.function);
    // The class object itself has no own property object to search.
    EXPECT_EQ(FindMethod(ctx, Global("Thing"), A("extra"), args, &out, &fn), MethodKind::Missing);

    WriteMember(ctx, instance, A("notFunction"), MakeInteger(1));
    EXPECT_EQ(FindMethod(ctx, instance, A("notFunction"), args, &out, &fn), MethodKind::Missing);
}

TEST_F(CallTest, MethodDispatchOnObjectsFallsBackToTheObjectClass) {
    Value args[] = {MakeInteger(0)};
    Value out, fn;
    ScriptObject* o = NewObject(ctx);
    Value target = MakeObject(o);
    Value script = NewFunctionValue(ctx, nullptr);
    PutProperty(ctx, o, A("run"), script);
    PutProperty(ctx, o, A("data"), MakeInteger(1));

    EXPECT_EQ(FindMethod(ctx, target, A("run"), args, &out, &fn), MethodKind::Script);
    EXPECT_EQ(FindMethod(ctx, target, A("data"), args, &out, &fn), MethodKind::Missing);
    EXPECT_EQ(FindMethod(ctx, target, A("greet"), args, &out, &fn), MethodKind::Missing);

    InstallTagClass(ValueTag::Object);
    EXPECT_EQ(FindMethod(ctx, target, A("greet"), args, &out, &fn), MethodKind::Answered);
    // The instance data of a tag class is a pointer to the value itself.
    EXPECT_EQ(gSeen.payload, o);
    // A member that exists but is no function hides the class method.
    EXPECT_EQ(FindMethod(ctx, target, A("data"), args, &out, &fn), MethodKind::Missing);
}

TEST_F(CallTest, ToStringOnTheClassObjectAndOnAValueReachTheSameInvoke) {
    NativeClass* stringClass = InstallTagClass(ValueTag::String);
    BindGlobalClass(ctx, "String", stringClass);
    Value args[] = {MakeInteger(0)};
    Value out, fn;
    ASSERT_EQ(FindMethod(ctx, Global("String"), kAtomToString, args, &out, &fn),
              MethodKind::Answered);
    EXPECT_EQ(gSeen.data, nullptr);
    Value s = NewStringFromCString(ctx, "text");
    ASSERT_EQ(FindMethod(ctx, s, kAtomToString, args, &out, &fn), MethodKind::Answered);
    EXPECT_EQ(gSeen.payload, s.string);
    EXPECT_EQ(gSeen.calls, 2);

    // Unknown to the class: a function among the string's own properties.
    Value script = NewFunctionValue(ctx, nullptr);
    WriteMember(ctx, s, A("own"), script);
    EXPECT_EQ(FindMethod(ctx, s, A("own"), args, &out, &fn), MethodKind::Script);
    EXPECT_EQ(FindMethod(ctx, MakeNull(), A("own"), args, &out, &fn), MethodKind::Missing);
}

TEST_F(CallTest, HostEntryPoints) {
    Value args[] = {MakeInteger(1), MakeInteger(9)};
    EXPECT_EQ(CallFunction(ctx, "Thing", nullptr, 2, args), 1);
    EXPECT_EQ(ctx->result.integer, 9);
    EXPECT_STREQ(ctx->errorText, "");

    Value undefinedFn = MakeUndefined();
    EXPECT_EQ(CallFunction(ctx, nullptr, &undefinedFn, 2, args), 0);
    EXPECT_STREQ(ctx->errorText, "Warning: call a undefined function");
    EXPECT_EQ(ctx->result.tag, ValueTag::Undefined);

    Value thingValue = Global("Thing");
    EXPECT_EQ(CallValue(ctx, nullptr, &thingValue, 2, args), 1);
    EXPECT_EQ(ctx->result.integer, 9);

    EXPECT_EQ(CallMethod(ctx, &thingValue, "greet", 1, args), 1);
    EXPECT_TRUE(StringEquals(ctx->result, "hello"));
    EXPECT_EQ(CallMethod(ctx, &thingValue, "nothing", 1, args), 0);
    EXPECT_STREQ(ctx->errorText, "Warning: unknown method \"nothing\"");
}

TEST_F(CallTest, CallMethodOnANonFunctionMemberFails) {
    InstallTagClass(ValueTag::Object);  // would answer toString if asked
    ScriptObject* o = NewObject(ctx);
    PutProperty(ctx, o, kAtomToString, MakeInteger(5));
    Value target = MakeObject(o);
    Value args[] = {MakeInteger(0)};
    EXPECT_EQ(CallMethod(ctx, &target, "toString", 1, args), 0);
    EXPECT_STREQ(ctx->errorText, "Warning: unknown method \"toString\"");

    Value plain = MakeObject(NewObject(ctx));
    EXPECT_EQ(CallMethod(ctx, &plain, "toString", 1, args), 1);
    EXPECT_TRUE(StringEquals(ctx->result, "hello"));
}

TEST_F(CallTest, RaiseInsideANativeFailsTheEntryAndRestoresTheStack) {
    RegisterGlobalFunction(ctx, "failing", FailingCall);
    Value* sp = ctx->stackPointer;
    Value args[] = {MakeInteger(0)};
    EXPECT_EQ(CallFunction(ctx, "failing", nullptr, 1, args), 0);
    EXPECT_STREQ(ctx->errorText, "Runtime error: native failed");
    EXPECT_EQ(ctx->stackPointer, sp);
    EXPECT_EQ(ctx->errorFrames, nullptr);
    // The context stays usable.
    EXPECT_EQ(CallFunction(ctx, "Thing", nullptr, 1, args), 1);
    EXPECT_STREQ(ctx->errorText, "");
}

TEST_F(CallTest, GlobalFunctionsAreNativesAndInstancesAreRecognised) {
    RegisterGlobalFunction(ctx, "helper", EchoCall);
    EXPECT_EQ(Global("helper").tag, ValueTag::Native);
    Value instance = BindNative(ctx, thing, ContextAlloc(ctx, 1));
    EXPECT_TRUE(IsInstanceOf(instance, ctx, "Thing"));
    EXPECT_FALSE(IsInstanceOf(instance, ctx, "helper"));
    EXPECT_FALSE(IsInstanceOf(instance, ctx, "NoSuchClass"));
    EXPECT_FALSE(IsInstanceOf(MakeInteger(1), ctx, "Thing"));
}

}  // namespace
}  // namespace kelpo
