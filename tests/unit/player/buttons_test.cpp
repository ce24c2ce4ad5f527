// Buttons: hit testing on the hit-test shapes through the placed matrix,
// state changes from synthesized mouse events, and their actions.
#include <gtest/gtest.h>

#include "tests/unit/player/player_test_support.h"

namespace kelpo::player::testing {
namespace {

using Command = std::pair<std::string, std::string>;

// A button whose hit area is a triangle (0,0)-(1000,0)-(0,1000) in its own
// twips, placed at (2000, 2000) with the given release and press actions.
std::vector<uint8_t> ButtonMovie(bool second, const std::string& release,
                                 const std::string& press = "") {
    movies::MovieBuilder movie;
    uint16_t face = movie.Shape(movies::RectangleShape(0, 0, 1000, 1000, 0x808080));
    uint16_t hit = movie.Shape(movies::TriangleShape(0, 0, 1000, 0, 0, 1000, 0x000000));
    std::vector<movies::ButtonLayer> records = {{0x07, face, 1, {}}, {0x08, hit, 2, {}}};
    uint16_t button;
    if (second) {
        std::vector<movies::ButtonHandler> actions = {{0x08, release}};
        if (!press.empty()) actions.push_back({0x04, press});
        button = movie.Button2(records, actions);
    } else {
        button = movie.Button(records, release);
    }
    movies::TimelineBuilder sprite;
    sprite.PlaceAt(1, button, movies::Translate(0, 0)).ShowFrame();
    uint16_t holder = movie.Sprite(sprite);
    movie.PlaceAt(1, holder, movies::Translate(2000, 2000), "panel").Actions("stop").ShowFrame();
    return movie.Bytes();
}

TEST(ButtonsTest, PressAndReleaseRaiseTheButtonsCommands) {
    for (bool second : {false, true}) {
        SCOPED_TRACE(second ? "DefineButton2" : "DefineButton");
        PlayerFixture fixture;
        ASSERT_TRUE(fixture.Load(ButtonMovie(
            second, "push 'FSCommand:Kelpo_Run', 'Init'; getURL2 0", "push 'pressed'; trace")));
        EXPECT_FALSE(MouseMove(fixture.get(), 100, 100));
        EXPECT_TRUE(MouseMove(fixture.get(), 2200, 2200));
        MouseDown(fixture.get(), 2200, 2200);
        EXPECT_EQ(second ? std::vector<std::string>{"pressed"} : std::vector<std::string>{},
                  fixture.recorded().traces);
        EXPECT_TRUE(fixture.recorded().fsCommands.empty());
        MouseUp(fixture.get(), 2200, 2200);
        EXPECT_EQ((std::vector<Command>{{"Kelpo_Run", "Init"}}), fixture.recorded().fsCommands);
    }
}

TEST(ButtonsTest, HitTestingUsesTheHitShapeUnderThePlacedMatrix) {
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(ButtonMovie(true, "push 'FSCommand:go', ''; getURL2 0")));
    const struct {
        double x, y;
        bool over;
    } cases[] = {
        {2100, 2100, true},  // inside the triangle
        {2900, 2050, true},
        {2900, 2900, false},  // inside the face square but outside the hit triangle
        {1900, 2100, false},  // left of the placed button
        {2100, 3100, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        EXPECT_EQ(c.over, MouseMove(fixture.get(), c.x, c.y));
    }
}

TEST(ButtonsTest, ReleasingOutsideTheButtonRunsNothing) {
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(ButtonMovie(true, "push 'FSCommand:go', ''; getURL2 0")));
    MouseMove(fixture.get(), 2100, 2100);
    MouseDown(fixture.get(), 2100, 2100);
    EXPECT_FALSE(MouseMove(fixture.get(), 5000, 5000));
    MouseUp(fixture.get(), 5000, 5000);
    EXPECT_TRUE(fixture.recorded().fsCommands.empty());
    // A press that starts outside the button does not release on it either.
    MouseDown(fixture.get(), 5000, 5000);
    MouseUp(fixture.get(), 2100, 2100);
    EXPECT_TRUE(fixture.recorded().fsCommands.empty());
    MouseDown(fixture.get(), 2100, 2100);
    MouseUp(fixture.get(), 2100, 2100);
    EXPECT_EQ(1u, fixture.recorded().fsCommands.size());
}

TEST(ButtonsTest, ButtonActionsRunOnTheClipHoldingTheButton) {
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(ButtonMovie(true, "push 'where', '', 13; getProperty; setVariable")));
    MouseDown(fixture.get(), 2100, 2100);
    MouseUp(fixture.get(), 2100, 2100);
    EXPECT_EQ("panel", fixture.Var("/panel:where"));
}

TEST(ButtonsTest, OnlyTheShownStatesAreDrawn) {
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(ButtonMovie(true, "")));
    RecordingSink idle;
    RenderFrame(fixture.get(), Matrix(), idle.sink);
    ASSERT_EQ(1u, idle.paths.size());
    EXPECT_EQ(0xFF808080u, idle.paths[0].argb);  // the face, not the hit area
}

TEST(ButtonsTest, RepaintsAreAskedForOnlyWhenSomethingDrawnChanges) {
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(ButtonMovie(true, "")));
    int& repaints = fixture.recorded().invalidations;
    EXPECT_EQ(1, repaints);
    MouseMove(fixture.get(), 100, 100);
    AdvanceFrame(fixture.get());
    EXPECT_EQ(1, repaints);
    MouseMove(fixture.get(), 2100, 2100);
    EXPECT_EQ(2, repaints);
    MouseMove(fixture.get(), 2110, 2110);
    EXPECT_EQ(2, repaints);
    MouseDown(fixture.get(), 2110, 2110);
    EXPECT_EQ(3, repaints);
}

}  // namespace
}  // namespace kelpo::player::testing
