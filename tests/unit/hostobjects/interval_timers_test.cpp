// Interval timers over a hand-driven clock: both call forms with their
// extra arguments, argument forms that start nothing, clearing, and records
// whose values survive collections and engines that go away.
#include <gtest/gtest.h>

#include <set>

#include "compiler/engine.h"
#include "hostobjects/interval_timers.h"
#include "runtime/atoms.h"
#include "runtime/gc.h"
#include "runtime/native.h"
#include "runtime/strings.h"
#include "tests/unit/test_support.h"

namespace kelpo::test {
namespace {

// The clock the tests tick by hand.
struct ManualClock {
    static std::set<uintptr_t> running;
    static uintptr_t next;
    static bool refuse;
    static uintptr_t Start(uint32_t) {
        if (refuse) return 0;
        running.insert(++next);
        return next;
    }
    static void Stop(uintptr_t id) { running.erase(id); }
};
std::set<uintptr_t> ManualClock::running;
uintptr_t ManualClock::next = 0;
bool ManualClock::refuse = false;

// A class whose object keeps the engine's timer values, as the Application
// class does.
void MarkEngineIntervals(NativeClass* klass, void*) {
    MarkIntervals(static_cast<ScriptContext*>(klass->data));
}

class IntervalTest : public ::testing::Test {
protected:
    void SetUp() override {
        TimerClock clock;
        clock.start = ManualClock::Start;
        clock.stop = ManualClock::Stop;
        SetTimerClock(clock);
        ManualClock::refuse = false;
        runner = NewScriptRunner(nullptr);
        ASSERT_NE(nullptr, runner);
        NativeClass* keeper = NewNativeClass(runner->context);
        keeper->data = runner->context;
        keeper->mark = MarkEngineIntervals;
        BindGlobalClass(runner->context, "TimerKeeper", keeper);
        ASSERT_TRUE(RunSource(runner, R"(
            var log = "";
            function tick(a, b) { log = log + "[" + a + "," + b + "]"; }
            var counter = { n: 0 };
            counter.step = function(by) { this.n = this.n + (by == undefined ? 1 : by); };
        )")) << runner->context->errorText;
    }
    void TearDown() override {
        StopAllIntervals();
        FreeScriptRunner(runner);
        EXPECT_TRUE(ManualClock::running.empty());
    }
    Value Global(const char* name) { return GetGlobal(runner->context, name); }
    Value Text(const char* text) { return NewStringFromCString(runner->context, text); }
    std::string Log() { return Utf8(Global("log")); }
    Value Eval(const char* source) {
        EXPECT_TRUE(RunSource(runner, source)) << runner->context->errorText;
        return runner->context->result;
    }
    uintptr_t Start(std::vector<Value> values) {
        std::vector<Value> args = {MakeInteger(static_cast<int64_t>(values.size()))};
        args.insert(args.end(), values.begin(), values.end());
        return StartInterval(runner->context, args.data());
    }
    void Collect() { CollectGarbage(runner->context, nullptr, runner->context->stackPointer); }

    ScriptRunner* runner = nullptr;
};

TEST_F(IntervalTest, AFunctionIsCalledWithTheExtrasOnEveryTick) {
    uintptr_t id = Start({Global("tick"), MakeInteger(100), Text("x"), MakeInteger(2)});
    ASSERT_NE(0u, id);
    EXPECT_EQ(1u, ManualClock::running.count(id));
    FireInterval(id);
    FireInterval(id);
    EXPECT_EQ("[x,2][x,2]", Log());
    StopInterval(id);
    FireInterval(id);
    EXPECT_EQ("[x,2][x,2]", Log());
    EXPECT_EQ(0u, ManualClock::running.count(id));
    StopInterval(id);  // a second clear does nothing
    EXPECT_EQ(0u, IntervalCount());
}

TEST_F(IntervalTest, AMethodIsCalledOnItsTarget) {
    uintptr_t plain = Start({Global("counter"), Text("step"), MakeInteger(50)});
    uintptr_t withArgument =
        Start({Global("counter"), Text("step"), MakeInteger(50), MakeInteger(10)});
    ASSERT_NE(0u, plain);
    ASSERT_NE(0u, withArgument);
    FireInterval(plain);
    FireInterval(withArgument);
    FireInterval(plain);
    EXPECT_EQ(12, Eval("counter.n;").integer);
}

TEST_F(IntervalTest, ArgumentsOfNeitherFormStartNothing) {
    struct Case {
        const char* why;
        std::vector<Value> args;
    } cases[] = {
        {"no arguments", {}},
        {"a String period", {Global("tick"), Text("100")}},
        {"a Float period", {Global("tick"), MakeFloat(100.5)}},
        {"not a function", {MakeInteger(1), MakeInteger(100)}},
        {"a method without period", {Global("counter"), Text("step")}},
        {"a method with a String period", {Global("counter"), Text("step"), Text("50")}},
        {"an empty method name", {Global("counter"), Text(""), MakeInteger(50)}},
    };
    for (Case& c : cases) EXPECT_EQ(0u, Start(c.args)) << c.why;
    EXPECT_EQ(0u, IntervalCount());
    EXPECT_TRUE(ManualClock::running.empty());
    ManualClock::refuse = true;
    EXPECT_EQ(0u, Start({Global("tick"), MakeInteger(100)}));
    EXPECT_EQ(0u, IntervalCount());
}

TEST_F(IntervalTest, ATimerThatClearsItselfInItsCallStopsAtOnce) {
    Eval("function once(id) { log = log + \"once\"; clearMe(); }");
    uintptr_t id = Start({Global("once"), MakeInteger(10)});
    // The script cannot reach StopInterval here; a native global does.
    static uintptr_t toClear;
    toClear = id;
    RegisterGlobalFunction(
        runner->context, "clearMe",
        [](ScriptContext*, NativeClass*, void*, Value*, Value*) { StopInterval(toClear); });
    FireInterval(id);
    FireInterval(id);
    EXPECT_EQ("once", Log());
    EXPECT_EQ(0u, IntervalCount());
}

TEST_F(IntervalTest, ValuesHeldOnlyByATimerSurviveCollections) {
    // A fresh object and text that nothing else refers to.
    Value target = Eval(
        "tmp = { seen: \"\" }; tmp.take = function(s) { this.seen = this.seen + s; log = this.seen; }; tmp;");
    uintptr_t id = Start({target, Text("take"), MakeInteger(10), Eval("\"ab\" + \"cd\";")});
    Eval("tmp = null;");
    for (int i = 0; i < 3; ++i) {
        Eval("var junk = []; for (var i = 0; i < 2000; i++) junk[i] = \"j\" + i; junk = null;");
        Collect();
        FireInterval(id);
    }
    EXPECT_EQ("abcdabcdabcd", Log());
}

TEST_F(IntervalTest, StoppingEverythingStopsEveryClockTimer) {
    Start({Global("tick"), MakeInteger(10)});
    Start({Global("counter"), Text("step"), MakeInteger(10)});
    EXPECT_EQ(2u, ManualClock::running.size());
    StopAllIntervals();
    EXPECT_TRUE(ManualClock::running.empty());
    EXPECT_EQ(0u, IntervalCount());
}

}  // namespace
}  // namespace kelpo::test
