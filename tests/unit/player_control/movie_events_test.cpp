// A control active in place playing generated movies: FSCommand events from
// frame actions reach the connected sink with their two texts, the
// timeline answers TotalFrames, CurrentFrame and GotoFrame, variables set
// and read back, and failing loads and missing variables are errors.
#include <gtest/gtest.h>

#include "tools/movie-writer/movie_file.h"
#include "tests/unit/player_control/control_harness.h"

using namespace kelpo::movies;

namespace kelpo::test {
namespace {

constexpr DISPID kFsCommand = 150;
constexpr DISPID kReadyStateChange = -609;
constexpr DISPID kProgress = 1958;
constexpr DWORD kEventWait = 10000;  // bounded wait for frames to play

// Four frames; frames 1 and 3 raise FSCommands.
std::wstring CommandMovie(const std::wstring& name) {
    FramedMovie movie;
    movie.header.frameCount = 4;
    movie.header.frameRate = 30 << 8;
    movie.labels[3] = "third";
    movie.fsCommands.insert({1, {"first", "one"}});
    movie.fsCommands.insert({3, {"quit", "Größe & <args>"}});
    return WriteScratchFile(name, WriteFramedMovie(movie));
}

std::vector<std::pair<std::wstring, std::wstring>> Commands(const HostedControl& control) {
    std::vector<std::pair<std::wstring, std::wstring>> commands;
    for (const ReceivedEvent& event : control.EventsWithId(kFsCommand)) {
        EXPECT_EQ(event.arguments.size(), 2u);
        if (event.arguments.size() == 2)
            commands.emplace_back(event.arguments[0], event.arguments[1]);
    }
    return commands;
}

TEST(ControlMovie, ActivatesInPlaceWithAChildWindowOfItsOwnClass) {
    HostedControl control;
    HWND window = control.controlWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetParent(window), control.hostWindow());
    EXPECT_TRUE(IsWindowVisible(window));
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    EXPECT_STRNE(className, L"");
    EXPECT_STRNE(className, L"KelpoControlTestHost");
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 240);
}

TEST(ControlMovie, FrameActionsRaiseFsCommandEventsWithBothTexts) {
    HostedControl control;
    ASSERT_EQ(control.Put(L"Movie", Variant(CommandMovie(L"commands.swf").c_str())), S_OK);
    ASSERT_TRUE(HostedControl::PumpUntil([&] { return Commands(control).size() >= 2; }, kEventWait))
        << "events received: " << control.events().size();
    auto commands = Commands(control);
    EXPECT_EQ(commands[0].first, L"first");
    EXPECT_EQ(commands[0].second, L"one");
    EXPECT_EQ(commands[1].first, L"quit");
    EXPECT_EQ(commands[1].second, L"Größe & <args>");
}

TEST(ControlMovie, LoadingReportsReadyStateAndFullProgress) {
    HostedControl control;
    ASSERT_EQ(control.Put(L"Movie", Variant(CommandMovie(L"ready.swf").c_str())), S_OK);
    auto states = control.EventsWithId(kReadyStateChange);
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.back().arguments, std::vector<std::wstring>{L"4"});
    Variant value;
    ASSERT_EQ(control.Get(L"ReadyState", value), S_OK);
    EXPECT_EQ(value.Text(), L"4");
    ASSERT_EQ(control.Call(L"PercentLoaded", {}, &value), S_OK);
    EXPECT_EQ(value.Text(), L"100");
    auto progress = control.EventsWithId(kProgress);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back().arguments, std::vector<std::wstring>{L"100"});
}

TEST(ControlMovie, TimelineMovesWhereItIsSent) {
    HostedControl control;
    ASSERT_EQ(control.Put(L"Playing", Variant::Bool(false)), S_OK);
    ASSERT_EQ(control.Put(L"Movie", Variant(CommandMovie(L"timeline.swf").c_str())), S_OK);
    Variant value;
    ASSERT_EQ(control.Get(L"TotalFrames", value), S_OK);
    EXPECT_EQ(value.Text(), L"4");
    ASSERT_EQ(control.Call(L"IsPlaying", {}, &value), S_OK);
    EXPECT_EQ(value.Text(), L"False");

    struct Step {
        const wchar_t* method;
        std::vector<Variant> arguments;
        const wchar_t* frame;  // CurrentFrame afterwards, counted from 0
    };
    const Step steps[] = {
        {L"GotoFrame", {Variant(2L)}, L"2"},
        {L"Back", {}, L"1"},
        {L"Forward", {}, L"2"},
        {L"Rewind", {}, L"0"},
        {L"GotoFrame", {Variant(L"3")}, L"3"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(Narrow(step.method));
        ASSERT_EQ(control.Call(step.method, step.arguments), S_OK);
        ASSERT_EQ(control.Call(L"CurrentFrame", {}, &value), S_OK);
        EXPECT_EQ(value.Text(), step.frame);
        ASSERT_EQ(control.Get(L"FrameNum", value), S_OK);
        EXPECT_EQ(value.Text(), step.frame);
    }
    ASSERT_EQ(control.Put(L"FrameNum", Variant(1L)), S_OK);
    ASSERT_EQ(control.CallId(128, {}, &value), S_OK);
    EXPECT_EQ(value.Text(), L"1");

    ASSERT_EQ(control.Call(L"Play", {}), S_OK);
    ASSERT_EQ(control.Get(L"Playing", value), S_OK);
    EXPECT_EQ(value.Text(), L"True");
    ASSERT_EQ(control.Call(L"StopPlay", {}), S_OK);
    ASSERT_EQ(control.CallId(129, {}, &value), S_OK);
    EXPECT_EQ(value.Text(), L"False");
    ASSERT_EQ(control.Call(L"FrameLoaded", {Variant(3L)}, &value), S_OK);
    EXPECT_EQ(value.Text(), L"True");
}

TEST(ControlMovie, VariablesSetAndReadBack) {
    HostedControl control;
    ASSERT_EQ(control.Put(L"FlashVars", Variant(L"greeting=hello&count=3")), S_OK);
    ASSERT_EQ(control.Put(L"Movie", Variant(CommandMovie(L"variables.swf").c_str())), S_OK);
    struct Case {
        const wchar_t* name;
        const wchar_t* value;
    };
    const Case cases[] = {{L"answer", L"42"}, {L"text", L"mixed Ünïcode"}, {L"empty", L""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        ASSERT_EQ(control.Call(L"SetVariable", {Variant(c.name), Variant(c.value)}), S_OK);
        Variant value;
        ASSERT_EQ(control.Call(L"GetVariable", {Variant(c.name)}, &value), S_OK);
        EXPECT_EQ(value.value().vt, VT_BSTR);
        EXPECT_EQ(value.Text(), c.value);
        // The same call by dispatch ID.
        ASSERT_EQ(control.CallId(152, {Variant(c.name)}, &value), S_OK);
        EXPECT_EQ(value.Text(), c.value);
    }
    Variant value;
    ASSERT_EQ(control.Call(L"GetVariable", {Variant(L"greeting")}, &value), S_OK);
    EXPECT_EQ(value.Text(), L"hello");
    EXPECT_TRUE(FAILED(control.Call(L"GetVariable", {Variant(L"never_set")}, &value)));
}

TEST(ControlMovie, FailedLoadsAreErrors) {
    HostedControl control;
    ASSERT_EQ(control.Put(L"Movie", Variant(CommandMovie(L"kept.swf").c_str())), S_OK);
    const std::wstring notAMovie = WriteScratchFile(L"not_a_movie.swf", {'h', 'e', 'l', 'l', 'o'});
    const std::wstring missing = ScratchFolder() + L"missing.swf";
    const std::wstring cases[] = {missing, notAMovie, L"http://127.0.0.1:1/none.swf",
                                  L"file:///Z:/no/such/file.swf"};
    for (const std::wstring& path : cases) {
        SCOPED_TRACE(Narrow(path));
        EXPECT_TRUE(FAILED(control.Put(L"Movie", Variant(path.c_str()))));
        EXPECT_TRUE(FAILED(control.Call(L"LoadMovie", {Variant(1L), Variant(path.c_str())})));
    }
}

TEST(ControlMovie, MoviesLoadFromFileUrlsAndPathsRelativeToBase) {
    HostedControl control;
    std::wstring path = CommandMovie(L"url movie.swf");
    std::wstring url = L"file:///" + path;
    for (wchar_t& c : url)
        if (c == L'\\') c = L'/';
    url.replace(url.find(L"url movie"), 9, L"url%20movie");
    struct Case {
        const wchar_t* base;
        std::wstring movie;
    };
    const std::wstring folder = ScratchFolder();
    const Case cases[] = {{L"", path}, {L"", url}, {folder.c_str(), L"url movie.swf"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.movie));
        ASSERT_EQ(control.Put(L"Base", Variant(c.base)), S_OK);
        EXPECT_EQ(control.Put(L"Movie", Variant(c.movie.c_str())), S_OK);
        Variant frames;
        ASSERT_EQ(control.Get(L"TotalFrames", frames), S_OK);
        EXPECT_EQ(frames.Text(), L"4");
    }
}

TEST(ControlMovie, SinksMayCallTheControlWhileAnEventRuns) {
    HostedControl control;
    std::vector<std::wstring> seen;
    control.OnEvent([&](const ReceivedEvent& event) {
        if (event.id != kFsCommand) return;
        // A host answering a command reads and writes the movie at once.
        Variant frame;
        EXPECT_EQ(control.Call(L"CurrentFrame", {}, &frame), S_OK);
        EXPECT_EQ(
            control.Call(L"SetVariable", {Variant(L"answer"), Variant(event.arguments[0].c_str())}),
            S_OK);
        Variant value;
        EXPECT_EQ(control.Call(L"GetVariable", {Variant(L"answer")}, &value), S_OK);
        seen.push_back(value.Text());
        if (event.arguments[0] == L"quit") control.Call(L"StopPlay", {});
    });
    ASSERT_EQ(control.Put(L"Movie", Variant(CommandMovie(L"reentry.swf").c_str())), S_OK);
    ASSERT_TRUE(HostedControl::PumpUntil([&] { return seen.size() >= 2; }, kEventWait));
    EXPECT_EQ(seen[0], L"first");
    EXPECT_EQ(seen[1], L"quit");
    Variant playing;
    ASSERT_EQ(control.Get(L"Playing", playing), S_OK);
    EXPECT_EQ(playing.Text(), L"False");
}

TEST(ControlMovie, FrozenEventsAreNotDelivered) {
    HostedControl control;
    IOleControl* oleControl = nullptr;
    ASSERT_EQ(
        control.unknown()->QueryInterface(IID_IOleControl, reinterpret_cast<void**>(&oleControl)),
        S_OK);
    oleControl->FreezeEvents(TRUE);
    ASSERT_EQ(control.Put(L"Movie", Variant(CommandMovie(L"frozen.swf").c_str())), S_OK);
    EXPECT_TRUE(control.events().empty());
    oleControl->FreezeEvents(FALSE);
    EXPECT_TRUE(HostedControl::PumpUntil([&] { return !Commands(control).empty(); }, kEventWait));
    oleControl->Release();
}

}  // namespace
}  // namespace kelpo::test
