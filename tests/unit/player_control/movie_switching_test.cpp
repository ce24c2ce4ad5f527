// Movies that change while they run: a host loading another movie from
// inside an FSCommand event, and a movie loading one into a level by
// getURL to "_levelN" (which the control runs after the current step).
#include <gtest/gtest.h>

#include "tools/movie-writer/movie_assembler.h"
#include "tests/unit/player_control/control_harness.h"

using namespace kelpo::movies;

namespace kelpo::test {
namespace {

constexpr DISPID kFsCommand = 150;
constexpr DWORD kEventWait = 10000;

// One frame whose actions run `actions`, then stop.
std::wstring ActionMovie(const std::wstring& name, const std::string& actions, int frames = 1) {
    MovieBuilder movie;
    movie.Actions(actions + "; stop").ShowFrame();
    for (int i = 1; i < frames; ++i) movie.ShowFrame();
    return WriteScratchFile(name, movie.Bytes());
}

std::string ForwardSlashes(const std::wstring& path) {
    std::string text = Narrow(path);
    for (char& c : text)
        if (c == '\\') c = '/';
    return text;
}

bool HasCommand(const HostedControl& control, const std::wstring& command) {
    for (const ReceivedEvent& event : control.EventsWithId(kFsCommand))
        if (!event.arguments.empty() && event.arguments[0] == command) return true;
    return false;
}

TEST(ControlMovieSwitching, HostLoadsAnotherMovieFromInsideAnEvent) {
    HostedControl control;
    std::wstring second = ActionMovie(L"second.swf", "getURL 'FSCommand:arrived', 'second'", 3);
    std::wstring first = ActionMovie(L"first.swf", "getURL 'FSCommand:next', ''");
    HRESULT switched = E_PENDING;
    control.OnEvent([&](const ReceivedEvent& event) {
        if (event.id == kFsCommand && event.arguments[0] == L"next")
            switched = control.Put(L"Movie", Variant(second.c_str()));
    });
    ASSERT_EQ(control.Put(L"Movie", Variant(first.c_str())), S_OK);
    ASSERT_TRUE(
        HostedControl::PumpUntil([&] { return HasCommand(control, L"arrived"); }, kEventWait));
    EXPECT_EQ(switched, S_OK);
    Variant value;
    ASSERT_EQ(control.Get(L"TotalFrames", value), S_OK);
    EXPECT_EQ(value.Text(), L"3");
    ASSERT_EQ(control.Get(L"Movie", value), S_OK);
    EXPECT_EQ(value.Text(), second);
}

TEST(ControlMovieSwitching, MovieLoadsAnotherIntoALevel) {
    HostedControl control;
    std::wstring layer = ActionMovie(L"layer.swf", "getURL 'FSCommand:layer', 'loaded'");
    std::wstring main =
        ActionMovie(L"main.swf", "getURL '" + ForwardSlashes(layer) + "', '_level1'");
    ASSERT_EQ(control.Put(L"Movie", Variant(main.c_str())), S_OK);
    ASSERT_TRUE(
        HostedControl::PumpUntil([&] { return HasCommand(control, L"layer"); }, kEventWait));
    Variant frame;
    EXPECT_EQ(control.Call(L"TCurrentFrame", {Variant(L"_level1")}, &frame), S_OK);
    // The main movie stays in level 0.
    Variant movie;
    ASSERT_EQ(control.Get(L"Movie", movie), S_OK);
    EXPECT_EQ(movie.Text(), main);
}

}  // namespace
}  // namespace kelpo::test
