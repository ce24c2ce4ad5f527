// Objects: slots, prototype chains, the name index and positional access.
#include <algorithm>
#include <string>
#include <vector>

#include "runtime/atoms.h"
#include "runtime/gc.h"
#include "runtime/object.h"
#include "runtime/strings.h"
#include "tests/unit/test_support.h"

namespace kelpo {
namespace {

class ObjectTest : public test::ContextTest {
protected:
    Atom A(const char* name) { return InternAtom(ctx, name); }
    Value Str(const char* text) { return NewStringFromCString(ctx, text); }
    Value Get(ScriptObject* o, const char* name) {
        Value v;
        GetProperty(ctx, o, A(name), &v);
        return v;
    }
    // Names in enumeration order.
    std::vector<std::string> Names(ScriptObject* o) {
        std::vector<std::string> names;
        Value name;
        for (int64_t i = 0; PropertyNameAt(ctx, o, i, &name); ++i)
            names.push_back(test::Utf8(name));
        return names;
    }
};

TEST_F(ObjectTest, PropertiesAreFoundAlongTheProtoChain) {
    ScriptObject* c = NewObject(ctx);
    ScriptObject* b = NewObject(ctx);
    ScriptObject* a = NewObject(ctx);
    PutProperty(ctx, c, A("deep"), MakeInteger(3));
    PutProperty(ctx, b, kAtomProto, MakeObject(c));
    PutProperty(ctx, a, kAtomProto, MakeObject(b));
    EXPECT_EQ(Get(a, "deep").integer, 3);

    // Assigning creates an own property on the first object only.
    PutProperty(ctx, a, A("deep"), MakeInteger(4));
    EXPECT_EQ(Get(a, "deep").integer, 4);
    EXPECT_EQ(Get(c, "deep").integer, 3);

    Value missing;
    EXPECT_EQ(GetProperty(ctx, a, A("nowhere"), &missing), 0);
    EXPECT_EQ(missing.tag, ValueTag::Undefined);
    EXPECT_EQ(FindOwnProperty(ctx, a, A("nowhere")), nullptr);
    EXPECT_EQ(FindOwnProperty(ctx, b, A("deep")), nullptr);  // no prototype walk
}

TEST_F(ObjectTest, NonObjectProtoIsNotFollowedAndTheLastObjectProtoWins) {
    ScriptObject* first = NewObject(ctx);
    ScriptObject* second = NewObject(ctx);
    PutProperty(ctx, first, A("x"), MakeInteger(1));
    PutProperty(ctx, second, A("x"), MakeInteger(2));
    ScriptObject* o = NewObject(ctx);
    PutProperty(ctx, o, kAtomProto, MakeInteger(5));
    EXPECT_EQ(Get(o, "x").tag, ValueTag::Undefined);
    PutProperty(ctx, o, kAtomProto, MakeObject(first));
    EXPECT_EQ(Get(o, "x").integer, 1);
    // A second __proto__-named slot (a filler, see positional writes) that
    // holds an object takes over the chain.
    PutElement(ctx, o, MakeInteger(3), MakeObject(second));
    EXPECT_EQ(Get(o, "x").integer, 2);
}

TEST_F(ObjectTest, CyclicProtoChainEndsTheLookup) {
    ScriptObject* a = NewObject(ctx);
    ScriptObject* b = NewObject(ctx);
    PutProperty(ctx, a, kAtomProto, MakeObject(b));
    PutProperty(ctx, b, kAtomProto, MakeObject(a));
    Value v;
    EXPECT_EQ(GetProperty(ctx, a, A("absent"), &v), 0);
    EXPECT_EQ(v.tag, ValueTag::Undefined);
}

TEST_F(ObjectTest, DeletedSlotIsReusedLastFreeFirst) {
    ScriptObject* o = NewObject(ctx);
    for (const char* n : {"a", "b", "c", "d"}) PutProperty(ctx, o, A(n), Str(n));
    DeleteProperty(ctx, o, A("a"));
    DeleteProperty(ctx, o, A("c"));
    EXPECT_EQ(o->slotCount, 4u);
    EXPECT_EQ(o->slots[0].atom, kFreeSlotAtom);
    EXPECT_EQ(o->slots[0].value.tag, ValueTag::Undefined);
    PutProperty(ctx, o, A("e"), MakeInteger(5));
    EXPECT_EQ(o->slots[2].atom, A("e"));  // the last free slot
    PutProperty(ctx, o, A("f"), MakeInteger(6));
    EXPECT_EQ(o->slots[0].atom, A("f"));
    EXPECT_EQ(o->slotCount, 4u);
    DeleteProperty(ctx, o, A("zzz"));  // absent: nothing happens
    EXPECT_EQ(Get(o, "b").tag, ValueTag::String);
}

TEST_F(ObjectTest, PositionalAndNamedElementsShareTheSlots) {
    // o = {a: 1, b: 2}
    ScriptObject* o = NewObject(ctx);
    PutProperty(ctx, o, A("a"), MakeInteger(1));
    PutProperty(ctx, o, A("b"), MakeInteger(2));
    Value v;
    GetElement(ctx, o, MakeInteger(0), &v);
    EXPECT_EQ(v.integer, 1);
    GetElement(ctx, o, Str("b"), &v);
    EXPECT_EQ(v.integer, 2);

    PutElement(ctx, o, MakeInteger(5), MakeInteger(7));
    EXPECT_EQ(o->slotCount, 6u);
    for (int i = 2; i <= 4; ++i) {
        GetElement(ctx, o, MakeInteger(i), &v);
        EXPECT_EQ(v.tag, ValueTag::Undefined) << i;
        EXPECT_EQ(o->slots[i].atom, 0) << "filler slots carry atom 0";
    }
    GetElement(ctx, o, MakeInteger(5), &v);
    EXPECT_EQ(v.integer, 7);

    // Positional writes keep the slot's name.
    PutElement(ctx, o, MakeInteger(1), MakeInteger(20));
    EXPECT_EQ(Get(o, "b").integer, 20);

    // Keys that address nothing read Undefined and write nothing.
    struct Key {
        Value key;
    } misses[] = {{MakeInteger(6)}, {MakeInteger(-1)}, {MakeInteger(int64_t{1} << 32)},
                  {MakeFloat(0.0)}, {Str("nope")},     {MakeNull()}};
    for (const Key& k : misses) {
        GetElement(ctx, o, k.key, &v);
        EXPECT_EQ(v.tag, ValueTag::Undefined);
    }
    PutElement(ctx, o, MakeInteger(-1), MakeInteger(9));
    PutElement(ctx, o, MakeFloat(1.0), MakeInteger(9));
    EXPECT_EQ(o->slotCount, 6u);
}

TEST_F(ObjectTest, StringKeyedPutAppendsAndIndexesNewNames) {
    ScriptObject* o = NewObject(ctx);
    PutProperty(ctx, o, A("a"), MakeInteger(1));
    PutElement(ctx, o, Str("fresh"), MakeInteger(2));
    EXPECT_EQ(o->slotCount, 2u);
    EXPECT_EQ(Get(o, "fresh").integer, 2);  // the name became an atom
    PutElement(ctx, o, Str("a"), MakeInteger(3));
    EXPECT_EQ(Get(o, "a").integer, 3);
    EXPECT_EQ(o->slotCount, 2u);

    DeleteElement(ctx, o, Str("a"));
    EXPECT_EQ(o->slots[0].atom, kFreeSlotAtom);
    DeleteElement(ctx, o, MakeInteger(1));
    EXPECT_EQ(o->slots[1].atom, kFreeSlotAtom);
    EXPECT_TRUE(Names(o).empty());
}

TEST_F(ObjectTest, EnumerationFollowsHashBucketsAndStaysCurrent) {
    ScriptObject* o = NewObject(ctx);
    std::vector<std::string> names = {"zeta", "alpha", "mid", "x1", "x2", "longer_name"};
    for (const std::string& n : names) PutProperty(ctx, o, A(n.c_str()), MakeInteger(1));

    auto bucketOrder = [](std::vector<std::string> v) {
        // Within a bucket, later insertions come first.
        std::vector<std::pair<uint32_t, int>> keyed;
        for (size_t i = 0; i < v.size(); ++i) {
            keyed.push_back({NameHash(v[i].data(), v[i].size()) & 127, -static_cast<int>(i)});
        }
        std::vector<size_t> order(v.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::sort(order.begin(), order.end(),
                  [&](size_t x, size_t y) { return keyed[x] < keyed[y]; });
        std::vector<std::string> out;
        for (size_t i : order) out.push_back(v[i]);
        return out;
    };
    EXPECT_EQ(Names(o), bucketOrder(names));

    // Index built; later puts and deletes keep it current.
    DeleteProperty(ctx, o, A("alpha"));
    PutProperty(ctx, o, A("added"), MakeInteger(2));
    std::vector<std::string> now = {"zeta", "mid", "x1", "x2", "longer_name", "added"};
    std::vector<std::string> got = Names(o);
    EXPECT_EQ(got, bucketOrder(now));
    Value out;
    EXPECT_EQ(PropertyNameAt(ctx, o, -1, &out), 0);
    EXPECT_EQ(PropertyNameAt(ctx, o, 6, &out), 0);
    EXPECT_EQ(out.tag, ValueTag::Undefined);
}

TEST_F(ObjectTest, NamesBySlotMapsSlotsToTheirNames) {
    ScriptObject* o = NewObject(ctx);
    PutProperty(ctx, o, A("a"), MakeInteger(1));
    PutProperty(ctx, o, A("b"), MakeInteger(2));
    PutProperty(ctx, o, A("c"), MakeInteger(3));
    DeleteProperty(ctx, o, A("b"));
    NameIndexNode** names = NamesBySlot(ctx, o);
    ASSERT_NE(names[0], nullptr);
    EXPECT_STREQ(names[0]->name, "a");
    EXPECT_EQ(names[1], nullptr);  // freed slot
    EXPECT_STREQ(names[2]->name, "c");
    ContextFree(names);
}

TEST_F(ObjectTest, NameIndexSurvivesACollection) {
    ScriptObject* o = NewObject(ctx);
    for (int i = 0; i < 50; ++i) {
        std::string n = "p" + std::to_string(i);
        PutProperty(ctx, o, A(n.c_str()), MakeInteger(i));
    }
    Names(o);  // builds the index
    ctx->atomValues[A("keep")] = MakeObject(o);
    CollectGarbage(ctx, nullptr, ctx->stackPointer);
    for (int i = 0; i < 5000; ++i) GcAlloc(ctx, 24);
    Value v;
    GetElement(ctx, o, Str("p42"), &v);
    EXPECT_EQ(v.integer, 42);
    EXPECT_EQ(Names(o).size(), 50u);
}

}  // namespace
}  // namespace kelpo
