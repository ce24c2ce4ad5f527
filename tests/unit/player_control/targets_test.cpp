// Members that reach into a movie by target path: the timelines of named
// clips, their properties by number and as text, and calls of frames; each
// fails with an error for a target that does not exist.
#include <gtest/gtest.h>

#include "tools/movie-writer/movie_assembler.h"
#include "tests/unit/player_control/control_harness.h"

using namespace kelpo::movies;

namespace kelpo::test {
namespace {

// The root stops on its only frame; "clip" has three frames labelled
// "one", "two" and "last", placed at (100, 50) pixels.
std::wstring ClipMovie() {
    MovieBuilder movie;
    TimelineBuilder clip;
    clip.Label("one").Actions("stop").ShowFrame();
    clip.Label("two").ShowFrame();
    clip.Label("last").Actions("push 'FSCommand:reached', 'last'; getURL2 0").ShowFrame();
    uint16_t sprite = movie.Sprite(clip);
    movie.PlaceAt(1, sprite, Translate(100 * kTwipsPerPixel, 50 * kTwipsPerPixel), "clip")
        .Actions("stop")
        .ShowFrame();
    return WriteScratchFile(L"clip.swf", movie.Bytes());
}

TEST(ControlTargets, ClipTimelinesMoveByFrameAndLabel) {
    HostedControl control;
    ASSERT_EQ(control.Put(L"Movie", Variant(ClipMovie().c_str())), S_OK);
    struct Step {
        const wchar_t* method;
        std::vector<Variant> arguments;
        const wchar_t* frame;  // TCurrentFrame of "/clip" afterwards
        const wchar_t* label;  // TCurrentLabel
    };
    const Step steps[] = {
        {L"TGotoFrame", {Variant(L"/clip"), Variant(1L)}, L"1", L"two"},
        {L"TGotoLabel", {Variant(L"_root.clip"), Variant(L"one")}, L"0", L"one"},
        {L"TGotoLabel", {Variant(L"clip"), Variant(L"last")}, L"2", L"last"},
        {L"TGotoFrame", {Variant(L"_level0.clip"), Variant(L"0")}, L"0", L"one"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(Narrow(step.method) + " " + Narrow(step.arguments[1].Text()));
        ASSERT_EQ(control.Call(step.method, step.arguments), S_OK);
        Variant value;
        ASSERT_EQ(control.Call(L"TCurrentFrame", {Variant(L"/clip")}, &value), S_OK);
        EXPECT_EQ(value.Text(), step.frame);
        ASSERT_EQ(control.Call(L"TCurrentLabel", {Variant(L"/clip")}, &value), S_OK);
        EXPECT_EQ(value.Text(), step.label);
    }
    EXPECT_EQ(control.Call(L"TPlay", {Variant(L"/clip")}), S_OK);
    EXPECT_EQ(control.Call(L"TStopPlay", {Variant(L"/clip")}), S_OK);
}

TEST(ControlTargets, PropertiesReadAndWriteByNumber) {
    HostedControl control;
    ASSERT_EQ(control.Put(L"Movie", Variant(ClipMovie().c_str())), S_OK);
    constexpr int kX = 0, kY = 1, kName = 13;
    Variant value;
    ASSERT_EQ(control.Call(L"TGetPropertyNum", {Variant(L"/clip"), Variant(kX)}, &value), S_OK);
    EXPECT_EQ(value.value().vt, VT_R8);
    EXPECT_EQ(value.Text(), L"100");
    ASSERT_EQ(control.Call(L"TGetPropertyAsNumber", {Variant(L"/clip"), Variant(kY)}, &value),
              S_OK);
    EXPECT_EQ(value.Text(), L"50");
    ASSERT_EQ(control.Call(L"TGetProperty", {Variant(L"/clip"), Variant(kName)}, &value), S_OK);
    EXPECT_EQ(value.Text(), L"clip");

    ASSERT_EQ(control.Call(L"TSetPropertyNum", {Variant(L"/clip"), Variant(kX), Variant(25.5)}),
              S_OK);
    ASSERT_EQ(control.Call(L"TGetPropertyNum", {Variant(L"/clip"), Variant(kX)}, &value), S_OK);
    EXPECT_EQ(value.value().dblVal, 25.5);
    ASSERT_EQ(control.Call(L"TSetProperty", {Variant(L"/clip"), Variant(kY), Variant(L"12")}),
              S_OK);
    ASSERT_EQ(control.Call(L"TGetProperty", {Variant(L"/clip"), Variant(kY)}, &value), S_OK);
    EXPECT_EQ(value.Text(), L"12");
}

TEST(ControlTargets, CallingAFrameRunsItsActionsWithoutMovingThere) {
    HostedControl control;
    ASSERT_EQ(control.Put(L"Movie", Variant(ClipMovie().c_str())), S_OK);
    for (const Variant& where : {Variant(2L), Variant(L"last")}) {
        SCOPED_TRACE(Narrow(where.Text()));
        size_t before = control.EventsWithId(150).size();
        const wchar_t* method = where.value().vt == VT_BSTR ? L"TCallLabel" : L"TCallFrame";
        ASSERT_EQ(control.Call(method, {Variant(L"/clip"), where}), S_OK);
        ASSERT_EQ(control.EventsWithId(150).size(), before + 1);
        EXPECT_EQ(control.EventsWithId(150).back().arguments,
                  (std::vector<std::wstring>{L"reached", L"last"}));
        Variant frame;
        ASSERT_EQ(control.Call(L"TCurrentFrame", {Variant(L"/clip")}, &frame), S_OK);
        EXPECT_EQ(frame.Text(), L"0");
    }
}

TEST(ControlTargets, MissingTargetsAreErrors) {
    HostedControl control;
    ASSERT_EQ(control.Put(L"Movie", Variant(ClipMovie().c_str())), S_OK);
    const wchar_t* const missing = L"/nothing/here";
    Variant value;
    const std::pair<const wchar_t*, std::vector<Variant>> calls[] = {
        {L"TGotoFrame", {Variant(missing), Variant(1L)}},
        {L"TGotoLabel", {Variant(missing), Variant(L"one")}},
        {L"TCurrentFrame", {Variant(missing)}},
        {L"TCurrentLabel", {Variant(missing)}},
        {L"TPlay", {Variant(missing)}},
        {L"TStopPlay", {Variant(missing)}},
        {L"TGetProperty", {Variant(missing), Variant(0L)}},
        {L"TSetProperty", {Variant(missing), Variant(0L), Variant(L"1")}},
        {L"TGetPropertyNum", {Variant(missing), Variant(0L)}},
        {L"TSetPropertyNum", {Variant(missing), Variant(0L), Variant(1.0)}},
        {L"TCallFrame", {Variant(missing), Variant(0L)}},
        {L"TCallLabel", {Variant(missing), Variant(L"one")}},
    };
    for (const auto& call : calls) {
        SCOPED_TRACE(Narrow(call.first));
        EXPECT_TRUE(FAILED(control.Call(call.first, call.second, &value)));
    }
}

}  // namespace
}  // namespace kelpo::test
