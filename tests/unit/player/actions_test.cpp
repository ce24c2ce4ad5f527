// The action interpreter: each case runs a frame's actions and compares what
// they trace. FSCommand and URL requests reach the host with their texts.
#include <gtest/gtest.h>

#include "tests/unit/player/player_test_support.h"

namespace kelpo::player::testing {
namespace {

struct ScriptCase {
    const char* name;
    const char* actions;
    std::vector<std::string> traces;
    int version = 6;
};

void RunCases(const std::vector<ScriptCase>& cases) {
    for (const ScriptCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.traces, RunTraces(c.actions, c.version));
    }
}

TEST(ActionsTest, ArithmeticComparisonAndLogic) {
    RunCases({
        {"add", "push 2, 3; add; trace", {"5"}},
        {"subtract", "push 2, 3; subtract; trace", {"-1"}},
        {"multiply", "push 2.5, 4; multiply; trace", {"10"}},
        {"divide", "push 1, 2; divide; trace", {"0.5"}},
        {"divide by zero", "push 1, 0; divide; trace", {"Infinity"}},
        {"divide by zero, version 4", "push 1, 0; divide; trace", {"#ERROR#"}, 4},
        {"non-numbers are NaN", "push 'x', 1; add; trace", {"NaN"}},
        {"non-numbers are 0 in version 4", "push 'x', 1; add; trace", {"1"}, 4},
        {"equals", "push 2, '2'; equals; trace", {"true"}},
        {"equals, version 4", "push 2, 3; equals; trace", {"0"}, 4},
        {"less", "push 1, 2; less; trace; push 2, 1; less; trace", {"true", "false"}},
        {"and or not",
         "push 1, 0; and; trace; push 1, 0; or; trace; push 0; not; trace",
         {"false", "true", "true"}},
        {"modulo", "push 7, 3; modulo; trace", {"1"}},
        {"increment decrement", "push 5; increment; trace; push 5; decrement; trace", {"6", "4"}},
        {"bit operations",
         "push 12, 10; bitAnd; trace; push 12, 10; bitOr; trace; push 12, 10; bitXor; trace; "
         "push 1, 4; bitLShift; trace; push -16, 2; bitRShift; trace; push -1, 28; bitURShift; trace",
         {"8", "14", "6", "16", "-4", "15"}},
        {"to integer", "push -2.7; toInteger; trace", {"-2"}},
        {"numbers as text",
         "push 0.1, 0.2; add2; trace; push 1e21; trace; push 100; trace; push 0, 0; divide; trace",
         {"0.3", "1e+21", "100", "NaN"}},
    });
}

TEST(ActionsTest, StringsAndCharacters) {
    RunCases({
        {"string add", "push 'ab', 'cd'; stringAdd; trace", {"abcd"}},
        {"string equals",
         "push 'a', 'a'; stringEquals; trace; push 'a', 'b'; stringEquals; trace",
         {"true", "false"}},
        {"string less and greater",
         "push 'a', 'b'; stringLess; trace; push 'a', 'b'; stringGreater; trace",
         {"true", "false"}},
        {"string length",
         "push 'hello'; stringLength; trace; push 'hi'; mbStringLength; trace",
         {"5", "2"}},
        {"string extract counts from 1", "push 'abcdef', 2, 3; stringExtract; trace", {"bcd"}},
        {"string extract clips",
         "push 'abc', 2, 99; mbStringExtract; trace; push 'abc', 9, 1; stringExtract; trace",
         {"bc", ""}},
        {"character codes",
         "push 'A'; charToAscii; trace; push 98; asciiToChar; trace",
         {"65", "b"}},
        {"multibyte character codes", "push 233; mbAsciiToChar; mbCharToAscii; trace", {"233"}},
        {"add2 joins when one side is text",
         "push 'n', 1; add2; trace; push 1, 2; add2; trace",
         {"n1", "3"}},
        {"to number and to string",
         "push ' 12 '; toNumber; trace; push 0x10; toString; trace; push '0x1A'; toNumber; trace",
         {"12", "16", "26"}},
        {"type names",
         "push 1; typeOf; trace; push 'a'; typeOf; trace; push true; typeOf; trace; push undefined; typeOf; trace; "
         "push null; typeOf; trace; push 0; initObject; typeOf; trace; push '_root'; getVariable; typeOf; trace",
         {"number", "string", "boolean", "undefined", "null", "object", "movieclip"}},
        {"string methods",
         "push 2, 1, 2, 'hello', 'substr'; callMethod; trace; push 0, 'HeLLo', 'toUpperCase'; callMethod; trace; "
         "push 1, 'l', 2, 'hello', 'indexOf'; callMethod; trace",
         {"el", "HELLO", "2"}},
    });
}

TEST(ActionsTest, EqualityAndOrdering) {
    RunCases({
        {"equals2 converts",
         "push 1, '1'; equals2; trace; push null, undefined; equals2; trace; push 0, null; equals2; trace",
         {"true", "true", "false"}},
        {"strict equals does not",
         "push 1, '1'; strictEquals; trace; push 'a', 'a'; strictEquals; trace",
         {"false", "true"}},
        {"less2 compares text as text",
         "push 'b', 'a'; less2; trace; push 10, 9; less2; trace",
         {"false", "false"}},
        {"less2 with NaN is undefined", "push 'x', 1; less2; typeOf; trace", {"undefined"}},
        {"greater", "push 3, 2; greater; trace", {"true"}},
    });
}

TEST(ActionsTest, StackAndRegisters) {
    RunCases({
        {"pop", "push 'kept', 'dropped'; pop; trace", {"kept"}},
        {"duplicate", "push 'x'; pushDuplicate; trace; trace", {"x", "x"}},
        {"swap", "push 'a', 'b'; stackSwap; trace; trace", {"a", "b"}},
        {"registers",
         "push 'r'; storeRegister 1; pop; push r:1; trace; push r:3; typeOf; trace",
         {"r", "undefined"}},
        {"constant pool",
         "constantPool 'first', 'second'; push c:1, c:0; trace; trace",
         {"first", "second"}},
        {"an empty stack pops undefined", "pop; pop; typeOf; trace", {"undefined"}},
        {"push types",
         "push f:1.5, 2.25, true, null; trace; trace; trace; trace",
         {"null", "true", "2.25", "1.5"}},
    });
}

TEST(ActionsTest, ControlFlow) {
    RunCases({
        {"jump skips", "jump over; push 'skipped'; trace; over: push 'after'; trace", {"after"}},
        {"if taken and not",
         "push true; if yes; push 'no'; trace; yes: push 'yes'; trace; push false; if end; push 'fell'; trace; end:",
         {"yes", "fell"}},
        {"loop counts",
         "push 'i', 0; setVariable; top: push 'i'; getVariable; push 3; less2; not; if done; "
         "push 'i'; getVariable; trace; push 'i', 'i'; getVariable; increment; setVariable; jump top; done:",
         {"0", "1", "2"}},
        {"end stops the block", "push 'one'; trace; end; push 'two'; trace", {"one"}},
        {"unknown actions are skipped by length",
         "raw 0xC0, 0x02, 0x00, 0x01, 0x02; push 'ok'; trace",
         {"ok"}},
        {"wait for a loaded frame runs on", "waitForFrame 0, 1; push 'loaded'; trace", {"loaded"}},
        {"wait for a frame never loaded skips",
         "waitForFrame 50, 2; push 'skipped'; trace; push 'next'; trace",
         {"next"}},
    });
}

TEST(ActionsTest, ObjectsArraysAndFunctions) {
    RunCases({
        {"arrays",
         "push 'c', 'b', 'a', 3; initArray; pushDuplicate; push 'length'; getMember; trace; push 1; getMember; trace",
         {"3", "b"}},
        {"array methods",
         "push 2, 1, 2; initArray; push 'list'; stackSwap; setVariable; push 'z', 1, 'list'; getVariable; push 'push'; "
         "callMethod; trace; push '-', 1, 'list'; getVariable; push 'join'; callMethod; trace",
         {"3", "1-2-z"}},
        {"objects",
         "push 'name', 'kelpo', 'size', 3, 2; initObject; pushDuplicate; push 'name'; getMember; trace; "
         "push 'size'; getMember; trace",
         {"kelpo", "3"}},
        {"set member and delete",
         "push 'o', 0; initObject; setVariable; push 'o'; getVariable; push 'k', 'v'; setMember; "
         "push 'o.k'; getVariable; trace; push 'o'; getVariable; push 'k'; delete; trace; "
         "push 'o.k'; getVariable; typeOf; trace",
         {"v", "true", "undefined"}},
        {"new Object and Array",
         "push 0, 'Object'; newObject; typeOf; trace; push 4, 1, 'Array'; newObject; "
         "push 'length'; getMember; trace",
         {"object", "4"}},
        {"functions return values",
         "defineFunction 'twice', end, 'n'; push 'n'; getVariable; push 2; multiply; return; end: "
         "push 21, 1, 'twice'; callFunction; trace",
         {"42"}},
        {"functions keep locals local",
         "push 'x', 'outer'; setVariable; defineFunction 'f', end; push 'x', 'inner'; defineLocal; end: "
         "push 0, 'f'; callFunction; pop; push 'x'; getVariable; trace",
         {"outer"}},
        {"defineFunction2 parameters in registers",
         "defineFunction2 'add', 3, 0, end, '1:a', '2:b'; push r:1, r:2; add2; return; end: "
         "push 'y', 'x', 2, 'add'; callFunction; trace",
         {"xy"}},
        {"constructors and methods",
         "defineFunction 'Point', end, 'v'; push 'this'; getVariable; push 'v', 'v'; getVariable; setMember; end: "
         "push 'Point'; getVariable; push 'prototype'; getMember; push 'get'; "
         "defineFunction '', end2; push 'this'; getVariable; push 'v'; getMember; return; end2: setMember; "
         "push 'p', 7, 1, 'Point'; newObject; setVariable; "
         "push 0, 'p'; getVariable; push 'get'; callMethod; trace; "
         "push 'p'; getVariable; push 'Point'; getVariable; instanceOf; trace",
         {"7", "true"}},
        {"enumerate lists members",
         "push 'o', 'b', 2, 'a', 1, 2; initObject; setVariable; push 'o'; enumerate; top: pushDuplicate; push null; "
         "equals2; if done; trace; jump top; done:",
         {"b", "a"}},
        {"with scopes names",
         "push 'o', 'k', 'inside', 1; initObject; setVariable; push 'o'; getVariable; with end; push 'k'; getVariable; "
         "trace; end: push 'k'; getVariable; typeOf; trace",
         {"inside", "undefined"}},
        {"Math", "push 2.5, 1, 'Math'; getVariable; push 'floor'; callMethod; trace", {"2"}},
        {"delete2 removes a variable",
         "push 'v', 1; setVariable; push 'v'; delete2; trace; push 'v'; getVariable; typeOf; trace",
         {"true", "undefined"}},
    });
}

TEST(ActionsTest, TimelineActionsAndProperties) {
    movies::MovieBuilder movie;
    uint16_t box = movie.Shape(movies::RectangleShape(0, 0, 400, 200, 0x0000FF));
    movies::TimelineBuilder sprite;
    sprite.Place(1, box)
        .Actions("stop")
        .ShowFrame()
        .Actions("push 'clip frame 2'; trace")
        .ShowFrame();
    uint16_t clip = movie.Sprite(sprite);
    movie.PlaceAt(1, clip, movies::Translate(100, 200), "box");
    movie.Actions(
        "stop; push '/box', 0; getProperty; trace; push 'box', 1; getProperty; trace; "
        "push 'box', 8; getProperty; trace; push 'box', 9; getProperty; trace; "
        "push 'box', 5; getProperty; trace; push 'box', 11; getProperty; trace; push 'box', 13; getProperty; trace; "
        "push 'box', 2, 50; setProperty; push 'box', 8; getProperty; trace; "
        "push 'box', 6, 30; setProperty; push 'box', 6; getProperty; trace; "
        "push 'box', 7, 0; setProperty; push 'box', 7; getProperty; trace; "
        "push '/box', 0, 7; setProperty; push 'box._x'; getVariable; trace; "
        "setTarget 'box'; nextFrame; setTarget ''; push '', 4; getProperty; trace; "
        "push '/box:_currentframe'; getVariable; trace");
    movie.ShowFrame().Actions("push 'root frame 2'; trace").ShowFrame();
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(movie.Bytes()));
    EXPECT_EQ((std::vector<std::string>{"5", "10", "20", "10", "2", "/box", "box", "10", "29.6875",
                                        "false", "7", "1", "2", "clip frame 2"}),
              fixture.recorded().traces);
    EXPECT_FALSE(IsPlaying(fixture.get()));
}

TEST(ActionsTest, GotoActionsMoveTheirTarget) {
    movies::MovieBuilder movie;
    movie.Actions("gotoFrame 2").ShowFrame();
    movie.Actions("push 'frame 2'; trace").ShowFrame();
    movie.Actions("push 'frame 3'; trace; gotoLabel 'four'").ShowFrame();
    movie.Label("four").Actions("push 'frame 4'; trace; push 2; gotoFrame2 1").ShowFrame();
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(movie.Bytes()));
    // Frame 1 goes to 3, whose actions go to the label, whose actions go to frame 2 and play.
    EXPECT_EQ((std::vector<std::string>{"frame 3", "frame 4", "frame 2"}),
              fixture.recorded().traces);
    EXPECT_EQ(1, CurrentFrame(fixture.get()));
    EXPECT_TRUE(IsPlaying(fixture.get()));
}

TEST(ActionsTest, UrlsAndCommandsReachTheHost) {
    const struct {
        const char* name;
        const char* actions;
        std::vector<std::pair<std::string, std::string>> commands;
        std::vector<std::pair<std::string, std::string>> urls;
    } cases[] = {
        {"getURL2 with a pushed command",
         "push 'FSCommand:Kelpo_Run', 'Init'; getURL2 0",
         {{"Kelpo_Run", "Init"}},
         {}},
        {"getURL with a command", "getURL 'FSCommand:quit', 'now'", {{"quit", "now"}}, {}},
        {"any letter case of the prefix",
         "getURL 'fscommand:fullscreen', 'true'; getURL 'FSCOMMAND:x', ''",
         {{"fullscreen", "true"}, {"x", ""}},
         {}},
        {"other URLs",
         "getURL 'http://example.invalid/', '_blank'; push 'page.html', '_self'; getURL2 0",
         {},
         {{"http://example.invalid/", "_blank"}, {"page.html", "_self"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlayerFixture fixture;
        ASSERT_TRUE(fixture.Load(ScriptMovie(c.actions)));
        EXPECT_EQ(c.commands, fixture.recorded().fsCommands);
        EXPECT_EQ(c.urls, fixture.recorded().urls);
    }
}

TEST(ActionsTest, FrameActionsRaiseCommandsWhenTheirFrameIsEntered) {
    movies::FramedMovie framed;
    framed.header.frameCount = 3;
    framed.fsCommands.emplace(3, std::make_pair("Kelpo_Run", "Init"));
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(movies::WriteFramedMovie(framed)));
    AdvanceFrame(fixture.get());
    EXPECT_TRUE(fixture.recorded().fsCommands.empty());
    AdvanceFrame(fixture.get());
    using Command = std::pair<std::string, std::string>;
    EXPECT_EQ((std::vector<Command>{{"Kelpo_Run", "Init"}}), fixture.recorded().fsCommands);
    // Calling the frame runs its actions again without moving there.
    ASSERT_TRUE(TCallFrame(fixture.get(), "/", 2));
    EXPECT_EQ(2u, fixture.recorded().fsCommands.size());
}

}  // namespace
}  // namespace kelpo::player::testing
