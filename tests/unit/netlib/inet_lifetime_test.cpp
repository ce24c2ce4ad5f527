// Inet and IPConfig against the collector: handlers reachable only through
// an Inet instance survive collections (they are marked through it), a
// handler that replaces itself or drops its instance during an event ends
// the event normally, and IPConfig tables go with their objects.
#include <gtest/gtest.h>

#include "compiler/engine.h"
#include "runtime/atoms.h"
#include "runtime/gc.h"

namespace kelpo {
namespace {

void Collect(ScriptContext* context) { CollectGarbage(context, nullptr, context->stackPointer); }

int64_t IntegerGlobal(ScriptContext* context, const char* name) {
    const Value value = GetGlobal(context, name);
    return value.tag == ValueTag::Integer ? value.integer : -1;
}

class InetLifetime : public ::testing::Test {
protected:
    void SetUp() override {
        options = DefaultEngineOptions();
        runner = NewScriptRunner(&options);
        ASSERT_NE(runner, nullptr);
    }
    void TearDown() override { FreeScriptRunner(runner); }

    bool Run(const char* source) { return RunSource(runner, source) == 1; }

    EngineOptions options;
    ScriptRunner* runner = nullptr;
};

TEST_F(InetLifetime, HandlersOfALiveInstanceSurviveCollections) {
    ASSERT_TRUE(
        Run("hits = 0; inet = new Inet();"
            "inet.onPinging = function(kind, value, text) { hits = hits + 1; };"))
        << runner->context->errorText;
    Collect(runner->context);
    ASSERT_TRUE(Run("replies = inet.ping('127.0.0.1', 2);")) << runner->context->errorText;
    EXPECT_EQ(IntegerGlobal(runner->context, "replies"), 2);
    EXPECT_EQ(IntegerGlobal(runner->context, "hits"), 2);
}

TEST_F(InetLifetime, AHandlerMayReplaceItselfAndDropItsInstance) {
    ASSERT_TRUE(
        Run("first = 0; second = 0; inet = new Inet();"
            "inet.onPinging = function(kind, value, text) {"
            "  first = first + 1;"
            "  this.onPinging = function(k, v, t) { second = second + 1; inet = null; };"
            "};"
            "replies = inet.ping('127.0.0.1', 3);"))
        << runner->context->errorText;
    Collect(runner->context);
    EXPECT_EQ(IntegerGlobal(runner->context, "replies"), 3);
    EXPECT_EQ(IntegerGlobal(runner->context, "first"), 1);
    EXPECT_EQ(IntegerGlobal(runner->context, "second"), 2);
}

TEST_F(InetLifetime, InterfaceTablesGoWithTheirObjects) {
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(Run("config = Inet.getIPConfig(); count = config.ifNum; config = null;"))
            << runner->context->errorText;
        Collect(runner->context);
    }
    EXPECT_GE(IntegerGlobal(runner->context, "count"), 1);
}

}  // namespace
}  // namespace kelpo
