// The member rules: reads, writes, deletes and iteration per target tag,
// with the warnings they write to the trace output.
#include <string>

#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/function.h"
#include "runtime/member.h"
#include "runtime/native.h"
#include "runtime/object.h"
#include "runtime/strings.h"
#include "tests/unit/test_support.h"

namespace kelpo {
namespace {

// A host class with one read-write property "size" and nothing else.
int SizeProperty(ScriptContext* context, NativeClass*, void* data, Atom atom, int isSet,
                 Value* io) {
    if (atom != InternAtom(context, "size")) return 0;
    auto* size = static_cast<int64_t*>(data);
    if (size == nullptr) return 0;
    if (isSet) {
        if (io->tag == ValueTag::Integer) *size = io->integer;
    } else {
        *io = MakeInteger(*size);
    }
    return 1;
}

// A tag class (as the String or Array class) answering "length".
int LengthProperty(ScriptContext* context, NativeClass*, void* data, Atom atom, int isSet,
                   Value* io) {
    if (atom != InternAtom(context, "length") || data == nullptr || isSet) return 0;
    const Value* self = static_cast<const Value*>(data);
    if (self->tag == ValueTag::String)
        *io = MakeInteger(self->string->length);
    else if (self->tag == ValueTag::Array)
        *io = MakeInteger(static_cast<int64_t>(self->array->length));
    else
        return 0;
    return 1;
}

class MemberTest : public test::ContextTest {
protected:
    void SetUp() override {
        ContextTest::SetUp();
        host = NewNativeClass(ctx);
        host->property = SizeProperty;
        host->finalize = FreeNativeData;
        BindGlobalClass(ctx, "Host", host);
        for (ValueTag tag : {ValueTag::String, ValueTag::Array, ValueTag::Function}) {
            NativeClass* k = NewNativeClass(ctx);
            k->property = LengthProperty;
            ctx->classForTag[static_cast<int>(tag)] = k;
        }
    }
    Atom A(const char* n) { return InternAtom(ctx, n); }
    Value Str(const char* t) { return NewStringFromCString(ctx, t); }
    Value Literal(const char16_t* t, uint32_t n) { return NewStaticString(ctx, t, n); }
    Value NewHost(int64_t size) {
        auto* data = static_cast<int64_t*>(ContextAlloc(ctx, sizeof(int64_t)));
        *data = size;
        Value v = BindNative(ctx, host, data);
        ctx->atomValues[A("keepHost")] = v;
        return v;
    }
    NativeClass* host = nullptr;
    test::TraceCapture trace;
};

TEST_F(MemberTest, ReadsPerTag) {
    Value h = NewHost(5);
    EXPECT_EQ(ReadMember(ctx, h, A("size")).integer, 5);
    EXPECT_EQ(ReadMember(ctx, Str("abcd"), A("length")).integer, 4);
    EXPECT_EQ(trace.text(), "");

    struct Miss {
        Value target;
        const char* name;
    } misses[] = {{MakeUndefined(), "x"},
                  {MakeNull(), "y"},
                  {MakeInteger(1), "z"},
                  {h, "absent"},
                  {MakeObject(NewObject(ctx)), "w"}};
    for (const Miss& m : misses) {
        trace.Clear();
        EXPECT_EQ(ReadMember(ctx, m.target, A(m.name)).tag, ValueTag::Undefined);
        EXPECT_EQ(trace.text(),
                  std::string("Warning: using undefined property \"") + m.name + "\"\r\n");
    }
}

TEST_F(MemberTest, NativeMembersFallBackToOwnObjectThenPrototype) {
    Value h = NewHost(1);
    WriteMember(ctx, h, A("note"), MakeInteger(9));  // no such property: own object
    EXPECT_EQ(ReadMember(ctx, h, A("note")).integer, 9);
    Value other = NewHost(2);
    EXPECT_EQ(ReadMember(ctx, other, A("note")).tag, ValueTag::Undefined);

    // Members added to the class object land in the prototype, seen by all.
    Value klass = ctx->atomValues[A("Host")];
    WriteMember(ctx, klass, A("shared"), MakeInteger(3));
    EXPECT_EQ(ReadMember(ctx, other, A("shared")).integer, 3);
    Value proto;
    ASSERT_EQ(GetMember(ctx, other, kAtomProto, &proto), 1);
    EXPECT_EQ(proto.object, other.native->props);

    // The property callback still wins for its own names.
    WriteMember(ctx, h, A("size"), MakeInteger(40));
    EXPECT_EQ(*static_cast<int64_t*>(h.native->data), 40);
}

TEST_F(MemberTest, WritesPerTagAndTheirWarnings) {
    struct Case {
        Value target;
        const char* name;
        Value value;
        const char* warning;
    } cases[] = {
        {MakeInteger(1), "x", MakeInteger(1), "Warning: using undefined property \"x\"\r\n"},
        {MakeNull(), "x", MakeInteger(1), "Warning: using undefined property \"x\"\r\n"},
        {NewHost(0), "__proto__", MakeInteger(1),
         "Warning: can't set property \"__proto__\" with a wrong type\r\n"},
        {Str("s"), "__proto__", MakeInteger(1),
         "Warning: can't set property \"__proto__\" with a wrong type\r\n"},
        {Str("s"), "tag", MakeInteger(1), ""},
        {MakeObject(NewObject(ctx)), "x", MakeInteger(1), ""},
    };
    for (const Case& c : cases) {
        trace.Clear();
        WriteMember(ctx, c.target, A(c.name), c.value);
        EXPECT_EQ(trace.text(), c.warning) << c.name;
    }
    // A class without a property callback refuses members.
    NativeClass* bare = NewNativeClass(ctx);
    bare->finalize = FreeNativeData;
    Value b = BindNative(ctx, bare, ContextAlloc(ctx, 1));
    trace.Clear();
    WriteMember(ctx, b, A("m"), MakeInteger(1));
    EXPECT_EQ(trace.text(), "Warning: using undefined property \"m\"\r\n");
}

TEST_F(MemberTest, StringsArraysAndFunctionsGetOwnPropertyObjects) {
    Value s = Str("abc");
    EXPECT_EQ(s.string->props, nullptr);
    Value proto = ReadMember(ctx, s, kAtomProto);
    ASSERT_EQ(proto.tag, ValueTag::Object);
    EXPECT_EQ(proto.object, s.string->props);
    Value inner;
    GetProperty(ctx, proto.object, kAtomProto, &inner);
    EXPECT_EQ(inner.object, ctx->classForTag[static_cast<int>(ValueTag::String)]->prototype);

    Value a = NewArray(ctx, 0);
    WriteMember(ctx, a, A("label"), Str("L"));
    ASSERT_NE(a.array->props, nullptr);
    EXPECT_TRUE(StringEquals(ReadMember(ctx, a, A("label")), "L"));

    // Class prototype members are visible from every value of the tag.
    PutProperty(ctx, ctx->classForTag[static_cast<int>(ValueTag::Array)]->prototype, A("common"),
                MakeInteger(8));
    EXPECT_EQ(ReadMember(ctx, NewArray(ctx, 0), A("common")).integer, 8);

    Value f = NewFunctionValue(ctx, nullptr);
    WriteMember(ctx, f, A("shared"), MakeInteger(1));
    EXPECT_EQ(ReadMember(ctx, f, A("shared")).integer, 1);
}

TEST_F(MemberTest, SetMemberIfPresentAssignsOnlyExistingMembers) {
    ScriptObject* base = NewObject(ctx);
    PutProperty(ctx, base, A("inherited"), MakeInteger(1));
    ScriptObject* o = NewObject(ctx);
    PutProperty(ctx, o, kAtomProto, MakeObject(base));
    Value target = MakeObject(o);
    EXPECT_EQ(SetMemberIfPresent(ctx, target, A("missing"), MakeInteger(5)), 0);
    EXPECT_EQ(FindOwnProperty(ctx, o, A("missing")), nullptr);
    EXPECT_EQ(SetMemberIfPresent(ctx, target, A("inherited"), MakeInteger(5)), 1);
    EXPECT_EQ(FindOwnProperty(ctx, o, A("inherited"))->integer, 5);  // own copy
    Value v;
    GetProperty(ctx, base, A("inherited"), &v);
    EXPECT_EQ(v.integer, 1);

    Value h = NewHost(3);
    EXPECT_EQ(SetMemberIfPresent(ctx, h, A("size"), MakeInteger(4)), 1);
    EXPECT_EQ(*static_cast<int64_t*>(h.native->data), 4);
    EXPECT_EQ(SetMemberIfPresent(ctx, h, A("nothing"), MakeInteger(4)), 0);
    EXPECT_EQ(SetMemberIfPresent(ctx, MakeInteger(1), A("x"), MakeInteger(4)), 0);
}

TEST_F(MemberTest, ArrayElements) {
    Value a = NewArray(ctx, 0);
    WriteElement(ctx, a, MakeInteger(10), MakeInteger(1));
    EXPECT_EQ(a.array->length, 11u);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(ReadElement(ctx, a, MakeInteger(i)).tag, ValueTag::Undefined);
    WriteElement(ctx, a, MakeInteger(2), MakeInteger(22));
    EXPECT_EQ(ReadElement(ctx, a, MakeFloat(2.9)).integer, 22);
    EXPECT_EQ(ReadElement(ctx, a, MakeFloat(-0.5)).tag, ValueTag::Undefined);
    EXPECT_EQ(trace.text(), "");

    const Value badKeys[] = {Str("1"), MakeNull(), MakeFloat(1.0 / 0.0), MakeNaN()};
    for (const Value& k : badKeys) {
        trace.Clear();
        EXPECT_EQ(ReadElement(ctx, a, k).tag, ValueTag::Undefined);
        EXPECT_EQ(trace.text(), "Warning: invalid index for operator []\r\n");
        trace.Clear();
        WriteElement(ctx, a, k, MakeInteger(0));
        EXPECT_EQ(trace.text(), "Warning: invalid index for operator []\r\n");
    }
    EXPECT_EQ(a.array->length, 11u);

    // delete a[k] removes and shifts.
    Value b = NewArray(ctx, 0);
    for (int i = 0; i < 5; ++i) WriteElement(ctx, b, MakeInteger(i), MakeInteger(i * 10));
    DeleteElementOf(ctx, b, MakeInteger(3));
    EXPECT_EQ(b.array->length, 4u);
    EXPECT_EQ(ReadElement(ctx, b, MakeInteger(3)).integer, 40);
    DeleteElementOf(ctx, b, Str("0"));  // other keys: nothing
    EXPECT_EQ(b.array->length, 4u);
}

TEST_F(MemberTest, StringElements) {
    char16_t abc[] = u"abc";
    Value built = NewString(ctx, abc, 3);
    EXPECT_EQ(ReadElement(ctx, built, MakeInteger(1)).integer, u'b');
    WriteElement(ctx, built, MakeInteger(5), MakeInteger(65));
    EXPECT_EQ(test::Utf8(built), "abc  A");
    WriteElement(ctx, built, MakeInteger(0), MakeInteger(0x141));
    EXPECT_EQ(test::Utf8(built), "Abc  A");
    WriteElement(ctx, built, MakeInteger(1), Str("xyz"));
    EXPECT_EQ(test::Utf8(built), "Axc  A");
    WriteElement(ctx, built, MakeInteger(2), Str(""));  // nothing to store
    EXPECT_EQ(test::Utf8(built), "Axc  A");
    EXPECT_EQ(trace.text(), "");

    struct Case {
        Value target, key, value;
        const char* warning;
    } cases[] = {
        {Literal(u"lit", 3), MakeInteger(5), MakeInteger(65),
         "Warning: can't change a static string\r\n"},
        {built, MakeInteger(0), MakeFloat(1.5),
         "Warning: can't store a non-charactor value to string\r\n"},
        {built, MakeFloat(0), MakeInteger(65), "Warning: invalid index for operator []\r\n"},
        {built, MakeInteger(-1), MakeInteger(65), "Warning: invalid index for operator []\r\n"},
    };
    for (const Case& c : cases) {
        trace.Clear();
        WriteElement(ctx, c.target, c.key, c.value);
        EXPECT_EQ(trace.text(), c.warning);
    }
    EXPECT_EQ(test::Utf8(built), "Axc  A");

    trace.Clear();
    EXPECT_EQ(ReadElement(ctx, built, MakeInteger(6)).tag, ValueTag::Undefined);
    EXPECT_EQ(trace.text(), "Warning: string index out of range\r\n");
    trace.Clear();
    EXPECT_EQ(ReadElement(ctx, built, MakeFloat(1)).tag, ValueTag::Undefined);
    EXPECT_EQ(trace.text(), "Warning: invalid index for operator []\r\n");
}

TEST_F(MemberTest, ObjectAndNativeElements) {
    ScriptObject* o = NewObject(ctx);
    Value target = MakeObject(o);
    WriteElement(ctx, target, MakeAtomRef(A("named")), MakeInteger(1));
    WriteElement(ctx, target, Str("keyed"), MakeInteger(2));
    EXPECT_EQ(ReadElement(ctx, target, Str("named")).integer, 1);
    EXPECT_EQ(ReadElement(ctx, target, MakeAtomRef(A("keyed"))).integer, 2);
    DeleteElementOf(ctx, target, MakeAtomRef(A("named")));
    DeleteMember(ctx, target, A("keyed"));
    EXPECT_EQ(ReadElement(ctx, target, MakeInteger(0)).tag, ValueTag::Undefined);
    EXPECT_EQ(ReadElement(ctx, target, MakeInteger(1)).tag, ValueTag::Undefined);

    Value h = NewHost(7);
    EXPECT_EQ(ReadElement(ctx, h, Str("size")).integer, 7);
    WriteElement(ctx, h, Str("size"), MakeInteger(8));
    EXPECT_EQ(ReadElement(ctx, h, Str("size")).integer, 8);
    EXPECT_EQ(ReadElement(ctx, h, MakeInteger(0)).tag, ValueTag::Undefined);
    EXPECT_EQ(trace.text(), "");
    ReadElement(ctx, h, MakeFloat(0));
    EXPECT_EQ(trace.text(), "Warning: invalid index for operator []\r\n");
}

TEST_F(MemberTest, IterationStepPerTag) {
    Value a = NewArray(ctx, 3);
    ArraySet(ctx, a, Str("first"), 0);
    ArraySet(ctx, a, MakeInteger(30), 2);
    Value item;
    EXPECT_TRUE(IterationStep(ctx, a, 0, &item));
    EXPECT_TRUE(StringEquals(item, "first"));  // values, not indexes
    EXPECT_TRUE(IterationStep(ctx, a, 1, &item));
    EXPECT_EQ(item.tag, ValueTag::Undefined);
    EXPECT_TRUE(IterationStep(ctx, a, 2, &item));
    EXPECT_EQ(item.integer, 30);
    EXPECT_FALSE(IterationStep(ctx, a, 3, &item));

    Value s = Str("hi");
    EXPECT_TRUE(IterationStep(ctx, s, 1, &item));
    EXPECT_EQ(item.integer, u'i');
    EXPECT_FALSE(IterationStep(ctx, s, 2, &item));

    ScriptObject* o = NewObject(ctx);
    PutProperty(ctx, o, A("only"), MakeInteger(1));
    EXPECT_TRUE(IterationStep(ctx, MakeObject(o), 0, &item));
    EXPECT_TRUE(StringEquals(item, "only"));
    EXPECT_FALSE(IterationStep(ctx, MakeObject(o), 1, &item));

    EXPECT_FALSE(IterationStep(ctx, MakeInteger(5), 0, &item));
    EXPECT_EQ(item.tag, ValueTag::Undefined);
}

}  // namespace
}  // namespace kelpo
