// What the kelpo command reads: the engine bound options and whether a
// typed entry is finished.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/kelpo/engine_bounds.h"
#include "tools/kelpo/source_completeness.h"

namespace kelpo {
namespace {

TEST(SourceCompleteness, TableOfEntries) {
    const struct {
        const char* text;
        bool unfinished;
    } cases[] = {
        {"x = 1;\n", false},
        {"function f() {\n", true},
        {"function f() {\n  return 1;\n}\n", false},
        {"var a = [1,\n", true},
        {"f(1,\n", true},
        {"if (x) { y(); }\n", false},
        {"/* a comment that goes on\n", true},
        {"/* closed */ x\n", false},
        {"// a { in a line comment\n", false},
        {"s = \"{ (\";\n", false},
        {"s = '[';\n", false},
        {"s = \"a \\\n", true},         // a string continued by a final backslash
        {"s = \"unterminated\n", false},  // the compiler reports it
        {"r = /[{(]/;\n", false},        // brackets inside a regular expression
        {"r = /a\\/{/;\n", false},
        {"q = a / b / c; {\n", true},    // division, then an open block
        {"}\n", false},                  // more closed than opened: let it fail
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsUnfinishedSource(c.text), c.unfinished) << c.text;
    }
}

TEST(EngineBoundOptions, ByteCounts) {
    const struct {
        const char* text;
        bool ok;
        uint64_t bytes;
    } cases[] = {
        {"1000", true, 1000},         {"64K", true, 64 * 1024},
        {"16m", true, 16u << 20},     {"2G", true, uint64_t{2} << 30},
        {"0", false, 0},              {"", false, 0},
        {"-5", false, 0},             {"12MB", false, 0},
        {"1.5M", false, 0},           {"99999999999999999999", false, 0},
        {"9999999999999G", false, 0},
    };
    for (const auto& c : cases) {
        uint64_t bytes = 0;
        EXPECT_EQ(ParseByteCount(c.text, &bytes), c.ok) << c.text;
        if (c.ok) EXPECT_EQ(bytes, c.bytes) << c.text;
    }
}

int Apply(std::vector<std::string> words, EngineOptions* options, std::string* error) {
    std::vector<char*> args;
    for (auto& w : words) args.push_back(&w[0]);
    return ApplyEngineBoundOption(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(EngineBoundOptions, SetTheBoundsOrSayWhy) {
    EngineOptions options = DefaultEngineOptions();
    std::string error;
    EXPECT_EQ(Apply({"--heap-limit", "32M", "run"}, &options, &error), 2);
    EXPECT_EQ(options.heapLimit, size_t{32} << 20);
    EXPECT_EQ(Apply({"--budget=5000"}, &options, &error), 1);
    EXPECT_EQ(options.instructionBudget, 5000u);

    EXPECT_EQ(Apply({"--budget", "5K"}, &options, &error), 0);
    EXPECT_EQ(error, "--budget: \"5K\" is not a positive whole number");
    EXPECT_EQ(Apply({"--heap-limit"}, &options, &error), 0);
    EXPECT_EQ(error, "--heap-limit needs a byte count");
    EXPECT_EQ(Apply({"--fast"}, &options, &error), 0);
    EXPECT_EQ(error, "unknown option --fast");
    // A refused value leaves the bounds as they were.
    EXPECT_EQ(options.instructionBudget, 5000u);
}

}  // namespace
}  // namespace kelpo
