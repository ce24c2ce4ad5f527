// Inter-process call blocks and replies.
#include <gtest/gtest.h>

#include <cstring>

#include "compiler/engine.h"
#include "host/copy_data_call.h"

namespace kelpo::test {
namespace {

// A literal with its inner NULs (the literal's own terminator left out).
template <size_t N>
std::string Raw(const char (&text)[N]) {
    return std::string(text, N - 1);
}

std::vector<uint8_t> Block(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

TEST(CopyDataCall, ParsesStringsWithinTheBlock) {
    struct Case {
        std::string block;
        bool ok;
        std::string function;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {Raw("map\0add\0"
             "1\0"
             "2\0\0"),
         true,
         "add",
         {"1", "2"}},
        {Raw("map\0noArgs\0\0"), true, "noArgs", {}},
        {Raw("map\0f\0a\0\0ignored\0"), true, "f", {"a"}},
        {Raw("map\0f\0unterminated"), true, "f", {"unterminated"}},
        {Raw("map\0f"), true, "f", {}},
        {Raw("map\0\0"), false, "", {}},
        {Raw("map"), false, "", {}},
        {std::string(), false, "", {}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = Block(c.block);
        CopyDataCall call;
        EXPECT_EQ(c.ok, ParseCopyDataCall(bytes.data(), bytes.size(), call)) << c.block;
        if (!c.ok) continue;
        EXPECT_EQ("map", call.mappingName);
        EXPECT_EQ(c.function, call.function);
        EXPECT_EQ(c.arguments, call.arguments);
    }
}

TEST(CopyDataCall, RepliesFitTheMappingOrBecomeEmpty) {
    std::vector<uint8_t> mapping(kCallReplySize, 0xAA);
    WriteCallReply(mapping.data(), mapping.size(), "result");
    EXPECT_STREQ("result", reinterpret_cast<const char*>(&mapping[4]));
    EXPECT_EQ(0xAA, mapping[0]);  // the window handle stays

    std::string largest(kCallReplySize - 5, 'x');
    WriteCallReply(mapping.data(), mapping.size(), largest);
    EXPECT_EQ(0, mapping[kCallReplySize - 1]);
    EXPECT_EQ('x', mapping[kCallReplySize - 2]);

    std::fill(mapping.begin(), mapping.end(), 0xAA);
    WriteCallReply(mapping.data(), mapping.size(), largest + "y");
    EXPECT_EQ(0u, mapping[4] | mapping[5] | mapping[6] | mapping[7]);
    EXPECT_EQ(0xAA, mapping[8]);

    std::vector<uint8_t> small(16, 0xAA);  // a mapping smaller than promised
    WriteCallReply(small.data(), small.size(), "far too long for it");
    EXPECT_EQ(0, small[4]);
    EXPECT_EQ(0xAA, small[15]);
}

}  // namespace
}  // namespace kelpo::test

namespace kelpo::test {
namespace {

TEST(CopyDataCall, CallsTheGlobalFunctionWithStringArguments) {
    ScriptRunner* engine = NewScriptRunner(nullptr);
    ASSERT_EQ(1,
              RunSource(engine,
                        "function join(a, b) { return a + '+' + b + ':' + typeof a; } last = 5;"));
    CopyDataCall call{"map", "join", {"1", "two"}};
    EXPECT_EQ("1+two:string", RunCopyDataCall(engine, call));
    call.function = "missing";
    EXPECT_EQ("undefined", RunCopyDataCall(engine, call));
    RunSource(engine, "function fails() { throw 'x'; }");
    call.function = "fails";
    EXPECT_EQ("undefined", RunCopyDataCall(engine, call));
    FreeScriptRunner(engine);
}

}  // namespace
}  // namespace kelpo::test
