// Host events: which engine answers, what counts as an answer, and that
// handlers are forgotten with their engine.
#include <gtest/gtest.h>

#include "compiler/engine.h"
#include "host/host_events.h"
#include "hostobjects/application_events.h"
#include "runtime/atoms.h"
#include "tests/unit/test_support.h"

namespace kelpo::test {
namespace {

class EventTest : public ::testing::Test {
protected:
    void SetUp() override {
        runner = NewScriptRunner(nullptr);
        ASSERT_NE(nullptr, runner);
        AttachEventEngine(runner->context);
    }
    void TearDown() override {
        DetachEventEngine(runner->context);
        FreeScriptRunner(runner);
    }
    Value Define(ScriptRunner* in, const char* source, const char* name) {
        EXPECT_TRUE(RunSource(in, source)) << in->context->errorText;
        return GetGlobal(in->context, name);
    }
    ScriptRunner* runner = nullptr;
};

TEST_F(EventTest, AskingEventsTakeAStringValueWithATruthyResult) {
    struct Case {
        const char* handler;
        bool answered;
        const char* answer;
    } cases[] = {
        {"function h(o) { o.value = \"C:\\\\m\\\\start.swf\"; return true; }", true,
         "C:\\m\\start.swf"},
        {"function h(o) { o.value = \"x.swf\"; return 1; }", true, "x.swf"},
        {"function h(o) { o.value = \"x.swf\"; return false; }", false, ""},
        {"function h(o) { o.value = \"x.swf\"; }", false, ""},
        {"function h(o) { o.value = 42; return true; }", false, ""},
        {"function h(o) { return true; }", false, ""},
        {"function h(o) { throw \"no\"; }", false, ""},
    };
    for (const Case& c : cases) {
        Value handler = Define(runner, c.handler, "h");
        SetEventHandler(runner->context, AppEvent::GetMovie, handler);
        std::string answer;
        EXPECT_EQ(c.answered, TheHostEvents().getMovie(answer)) << c.handler;
        EXPECT_EQ(c.answer, answer) << c.handler;
    }
}

TEST_F(EventTest, HandlersAreFunctionsOfTheEventEngine) {
    std::string answer;
    EXPECT_FALSE(TheHostEvents().getFlashPlayer(answer));  // none stored
    SetEventHandler(runner->context, AppEvent::GetFlashPlayer, MakeInteger(3));
    EXPECT_EQ(ValueTag::Undefined, EventHandler(runner->context, AppEvent::GetFlashPlayer).tag);

    Value mine = Define(runner, "function p(o) { o.value = \"flash.ocx\"; return true; }", "p");
    SetEventHandler(runner->context, AppEvent::GetFlashPlayer, mine);
    EXPECT_EQ(ValueTag::Function, EventHandler(runner->context, AppEvent::GetFlashPlayer).tag);
    EXPECT_TRUE(TheHostEvents().getFlashPlayer(answer));
    EXPECT_EQ("flash.ocx", answer);

    // Another engine neither replaces nor sees the handler.
    ScriptRunner* other = NewScriptRunner(nullptr);
    Value theirs = Define(other, "function q(o) { o.value = \"other\"; return true; }", "q");
    SetEventHandler(other->context, AppEvent::GetFlashPlayer, theirs);
    EXPECT_EQ(ValueTag::Undefined, EventHandler(other->context, AppEvent::GetFlashPlayer).tag);
    EXPECT_TRUE(TheHostEvents().getFlashPlayer(answer));
    EXPECT_EQ("flash.ocx", answer);

    // Attaching it makes it the event engine with no handlers; detaching
    // it leaves no event engine at all.
    AttachEventEngine(other->context);
    EXPECT_FALSE(TheHostEvents().getFlashPlayer(answer));
    DetachEventEngine(runner->context);  // not the event engine: nothing changes
    EXPECT_EQ(other->context, EventEngine());
    DetachEventEngine(other->context);
    EXPECT_EQ(nullptr, EventEngine());
    FreeScriptRunner(other);
    EXPECT_FALSE(TheHostEvents().getFlashPlayer(answer));
    TheHostEvents().movieLoaded("C:\\after.swf");  // nobody to tell: nothing happens
}

TEST_F(EventTest, MovieLoadedReceivesThePath) {
    Value loaded =
        Define(runner, "var got = []; function l(p) { got[got.length] = p; return true; }", "l");
    SetEventHandler(runner->context, AppEvent::MovieLoaded, loaded);
    TheHostEvents().movieLoaded("C:\\movies\\one.swf");
    TheHostEvents().movieLoaded("two.swf");
    ASSERT_TRUE(RunSource(runner, "got.join(\"|\");"));
    EXPECT_EQ("C:\\movies\\one.swf|two.swf", Utf8(runner->context->result));
}

}  // namespace
}  // namespace kelpo::test
