// Value serialisation: the sections and keys a save writes, loading them
// back, and the guards for cycles, deep nesting and large structures.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "corelib/value_serialise.h"
#include "platform/profile.h"
#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/object.h"
#include "runtime/strings.h"
#include "tests/unit/test_support.h"

namespace kelpo {
namespace {

class ValueSerialiseTest : public test::ContextTest {
protected:
    void SetUp() override {
        ContextTest::SetUp();
        // A file of this test's own in the current folder, fresh each run.
        path_ = std::string("kelpo_values_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
        DeleteProfileFile(path_.c_str());
    }
    void TearDown() override {
        DeleteProfileFile(path_.c_str());
        ContextTest::TearDown();
    }

    Value& Global(const char* name) { return ctx->atomValues[InternAtom(ctx, name)]; }
    Value Text(const char* text) { return NewStringFromCString(ctx, text); }

    void Save(const char* name) {
        ASSERT_TRUE(Run([&] {
            ProfileFile file(path_.c_str());
            SaveGlobal(ctx, &file, name);
        }));
    }
    void Load() {
        ASSERT_TRUE(Run([&] {
            ProfileFile file(path_.c_str());
            EXPECT_TRUE(LoadSections(ctx, &file));
        }));
    }

    std::string path_;
};

TEST_F(ValueSerialiseTest, WritesOneSectionPerValue) {
    ScriptObject* cfg = NewObject(ctx);
    PutProperty(ctx, cfg, InternAtom(ctx, "name"), Text("a b"));
    Value list = NewArray(ctx, 3);
    ArraySet(ctx, list, MakeInteger(1), 0);
    ArraySet(ctx, list, MakeFloat(2.5), 2);
    PutProperty(ctx, cfg, InternAtom(ctx, "list"), list);
    PutProperty(ctx, cfg, InternAtom(ctx, "flag"), MakeBoolean(true));
    PutProperty(ctx, cfg, InternAtom(ctx, "none"), MakeNull());
    PutProperty(ctx, cfg, InternAtom(ctx, "quote"), Text("'x'"));
    PutProperty(ctx, cfg, InternAtom(ctx, "empty"), Text(""));
    PutProperty(ctx, cfg, kAtomProto, MakeObject(NewObject(ctx)));
    PutProperty(ctx, cfg, InternAtom(ctx, "self"), MakeObject(cfg));
    Global("cfg") = MakeObject(cfg);
    Save("cfg");

    ProfileFile file(path_.c_str());
    EXPECT_EQ(file.SectionNames(),
              (std::vector<std::string>{"cfg", "cfg.name", "cfg.list", "cfg.list.0", "cfg.list.2",
                                        "cfg.flag", "cfg.quote", "cfg.empty"}));
    const struct {
        const char* section;
        const char* type;
        const char* value;
    } expected[] = {
        {"cfg", "object", "-"},           {"cfg.name", "string", "a%20b"},
        {"cfg.list", "array", "-"},       {"cfg.list.0", "integer", "1"},
        {"cfg.list.2", "float", "2.5"},   {"cfg.flag", "boolean", "true"},
        {"cfg.quote", "string", "%27x'"}, {"cfg.empty", "string", ""},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(file.Read(e.section, "type", "-"), e.type) << e.section;
        EXPECT_EQ(file.Read(e.section, "value", "-"), e.value) << e.section;
    }
}

TEST_F(ValueSerialiseTest, LoadsWhatItSaved) {
    Value list = NewArray(ctx, 0);
    ArraySet(ctx, list, Text("x'y'"), 0);
    ArraySet(ctx, list, Text("'quoted'"), 4294967296);
    list.array->length = 4294967297;
    Global("list") = list;
    Save("list");
    Global("list") = MakeInteger(0);
    Load();
    Value loaded = Global("list");
    ASSERT_EQ(loaded.tag, ValueTag::Array);
    EXPECT_EQ(loaded.array->length, 4294967297u);
    ASSERT_NE(ArrayGet(ctx, loaded, 0), nullptr);
    EXPECT_EQ(test::Utf8(*ArrayGet(ctx, loaded, 0)), "x'y'");
    ASSERT_NE(ArrayGet(ctx, loaded, 4294967296), nullptr);
    EXPECT_EQ(test::Utf8(*ArrayGet(ctx, loaded, 4294967296)), "'quoted'");
}

TEST_F(ValueSerialiseTest, DeepAndLargeStructuresStayBounded) {
    // A chain far deeper than the saving walk goes.
    ScriptObject* head = NewObject(ctx);
    ScriptObject* node = head;
    for (int i = 0; i < 400; ++i) {
        ScriptObject* next = NewObject(ctx);
        PutProperty(ctx, node, InternAtom(ctx, "n"), MakeObject(next));
        node = next;
    }
    Global("chain") = MakeObject(head);
    // An array with many elements (kept modest: every write rewrites the
    // file under Wine).
    Value big = NewArray(ctx, 300);
    for (uint64_t i = 0; i < 300; ++i) ArraySet(ctx, big, MakeInteger(static_cast<int64_t>(i)), i);
    Global("big") = big;
    Save("chain");
    Save("big");
    Global("big") = MakeInteger(0);
    Load();
    Value loaded = Global("big");
    ASSERT_EQ(loaded.tag, ValueTag::Array);
    EXPECT_EQ(loaded.array->length, 300u);
    ASSERT_NE(ArrayGet(ctx, loaded, 299), nullptr);
    EXPECT_EQ(ArrayGet(ctx, loaded, 299)->integer, 299);
    ProfileFile file(path_.c_str());
    EXPECT_EQ(file.SectionNames().size(), 257u + 301u);
}

}  // namespace
}  // namespace kelpo
