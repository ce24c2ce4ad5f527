// The optional bounds of a runner: the heap limit and the instruction
// budget stop runaway scripts with a runtime error, leave the runner usable,
// and change nothing while they are off.
#include <gtest/gtest.h>

#include <string>

#include "compiler/engine.h"
#include "tests/unit/test_support.h"

namespace kelpo {
namespace {

struct BoundCase {
    const char* name;
    size_t heapLimit;
    uint64_t instructionBudget;
    const char* source;
    bool completes;
    const char* error;  // part of errorText when the run fails
};

constexpr size_t kSmallHeap = 1u << 20;
constexpr uint64_t kSmallBudget = 100000;

const BoundCase kCases[] = {
    {"endless loop", 0, kSmallBudget, "while (true) {}", false, "Instruction budget exhausted"},
    {"endless do loop", 0, kSmallBudget, "var i = 0; do { i++; } while (i > 0);", false,
     "Instruction budget exhausted"},
    {"endless calls", 0, kSmallBudget, "function f(n) { return n; } for (;;) f(1);", false,
     "Instruction budget exhausted"},
    {"native callbacks", 0, kSmallBudget,
     "function order(x, y) { return x - y; } var a = [3, 1, 2]; for (;;) a.sort(order);", false,
     "Instruction budget exhausted"},
    {"handlers cannot resume", 0, kSmallBudget, "for (;;) { try { for (;;) {} } catch (e) {} }",
     false, "Instruction budget exhausted"},
    {"handler inside callee", 0, kSmallBudget,
     "function g() { try { while (true) {} } finally { return 1; } } for (;;) g();", false,
     "Instruction budget exhausted"},
    {"bounded loop within budget", 0, kSmallBudget,
     "var s = 0; for (var i = 0; i < 1000; i++) s += i;", true, ""},
    {"budget off", 0, 0, "var s = 0; for (var i = 0; i < 300000; i++) s += i;", true, ""},
    {"growing array", kSmallHeap, 0,
     "function grow() { var a = []; for (var i = 0; ; i++) a[i] = 'x' + i; } grow();", false,
     "Out of memory"},
    {"doubling string", kSmallHeap, 0, "var s = 'x'; for (;;) s = s + s;", false, "Out of memory"},
    {"caught and given up", kSmallHeap, 0,
     "var s = 'x'; try { for (;;) s = s + s; } catch (e) { s = 'y'; } for (;;) s = s + s;", false,
     "Out of memory"},
    {"small script within limit", kSmallHeap, 0,
     "var a = []; for (var i = 0; i < 1000; i++) a[i] = 'x' + i;", true, ""},
    // Texts built outside the heap stop where the heap could not hold them.
    {"joining past the limit", kSmallHeap, 0,
     "var a = new Array(); a.length = 100000000; var s = a.join('--');", false, "Out of memory"},
    // Joining many short pieces grows its text geometrically.
    {"joining many holes", 0, 0,
     "var a = new Array(); a.length = 5000000; if (a.join().length != 4999999) throw 'wrong';",
     true, ""},
    {"both bounds, budget first", 64u << 20, 1000, "var a = []; for (;;) a.push(1);", false,
     "Instruction budget exhausted"},
};

class EngineBoundsTest : public ::testing::TestWithParam<BoundCase> {};

TEST_P(EngineBoundsTest, StopsOrCompletes) {
    const BoundCase& c = GetParam();
    EngineOptions options = DefaultEngineOptions();
    options.heapLimit = c.heapLimit;
    options.instructionBudget = c.instructionBudget;
    ScriptRunner* runner = NewScriptRunner(&options);
    ASSERT_NE(runner, nullptr);
    test::TraceCapture trace;
    for (int run = 0; run < 2; ++run) {  // a stopped run leaves the runner usable
        int ok = RunSource(runner, c.source);
        EXPECT_EQ(ok, c.completes ? 1 : 0) << "run " << run;
        std::string error = runner->context->errorText;
        if (c.completes) {
            EXPECT_EQ(error, "") << "run " << run;
        } else {
            EXPECT_NE(error.find(c.error), std::string::npos) << "run " << run << ": " << error;
        }
        // The bounds never hide ordinary work that fits.
        EXPECT_EQ(RunSource(runner, "var small = [1, 2, 3].join('-');"), 1)
            << runner->context->errorText;
    }
    FreeScriptRunner(runner);
}

INSTANTIATE_TEST_SUITE_P(Cases, EngineBoundsTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<BoundCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p != '\0'; ++p) {
                                 name += (*p == ' ' || *p == ',') ? '_' : *p;
                             }
                             return name;
                         });

TEST(EngineBoundsDefaults, AreOff) {
    EngineOptions options = DefaultEngineOptions();
    EXPECT_EQ(options.heapLimit, 0u);
    EXPECT_EQ(options.instructionBudget, 0u);
}

}  // namespace
}  // namespace kelpo
