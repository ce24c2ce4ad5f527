// The main timeline's controls, frame actions, labels, sprites with their
// own timelines and targets naming them.
#include <gtest/gtest.h>

#include "tests/unit/player/player_test_support.h"

namespace kelpo::player::testing {
namespace {

// Five frames, each tracing its number; "middle" labels frame 3.
std::vector<uint8_t> CountingMovie() {
    movies::MovieBuilder movie;
    for (int frame = 1; frame <= 5; ++frame) {
        if (frame == 3) movie.Label("middle");
        movie.Actions("push 'f" + std::to_string(frame) + "'; trace").ShowFrame();
    }
    return movie.Bytes();
}

TEST(TimelineTest, FramesAdvanceRunTheirActionsAndLoopOrStopAtTheEnd) {
    for (bool loop : {true, false}) {
        SCOPED_TRACE(loop ? "loop" : "no loop");
        PlayerFixture fixture;
        SetLoop(fixture.get(), loop);
        ASSERT_TRUE(fixture.Load(CountingMovie()));
        EXPECT_EQ(0, CurrentFrame(fixture.get()));
        EXPECT_TRUE(IsPlaying(fixture.get()));
        for (int tick = 0; tick < 5; ++tick) AdvanceFrame(fixture.get());
        std::vector<std::string> expected = {"f1", "f2", "f3", "f4", "f5"};
        if (loop) expected.push_back("f1");
        EXPECT_EQ(expected, fixture.recorded().traces);
        EXPECT_EQ(loop ? 0 : 4, CurrentFrame(fixture.get()));
        EXPECT_EQ(loop, IsPlaying(fixture.get()));
    }
}

TEST(TimelineTest, ControlsMoveTheTimeline) {
    struct Case {
        const char* name;
        void (*act)(Player*);
        int frame;
        bool playing;
    };
    const Case cases[] = {
        {"goto 3", [](Player* p) { GotoFrame(p, 3); }, 3, true},
        {"goto past the end", [](Player* p) { GotoFrame(p, 99); }, 4, true},
        {"forward", [](Player* p) { Forward(p); }, 3, false},
        {"back", [](Player* p) { Back(p); }, 1, false},
        {"rewind", [](Player* p) { Rewind(p); }, 0, false},
        {"stop", [](Player* p) { StopPlay(p); }, 2, false},
        {"stop then play",
         [](Player* p) {
             StopPlay(p);
             Play(p);
         },
         2, true},
        {"label", [](Player* p) { TGotoLabel(p, "/", "MIDDLE"); }, 2, true},
        {"target frame", [](Player* p) { TGotoFrame(p, "_level0", 4); }, 4, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlayerFixture fixture;
        ASSERT_TRUE(fixture.Load(CountingMovie()));
        GotoFrame(fixture.get(), 2);
        c.act(fixture.get());
        EXPECT_EQ(c.frame, CurrentFrame(fixture.get()));
        EXPECT_EQ(c.playing, IsPlaying(fixture.get()));
    }
}

TEST(TimelineTest, GoingToAFrameRunsOnlyThatFramesActions) {
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(CountingMovie()));
    GotoFrame(fixture.get(), 3);
    GotoFrame(fixture.get(), 1);
    EXPECT_EQ((std::vector<std::string>{"f1", "f4", "f2"}), fixture.recorded().traces);
    std::string label;
    ASSERT_TRUE(TCurrentLabel(fixture.get(), "/", label));
    EXPECT_EQ("", label);
    GotoFrame(fixture.get(), 3);
    ASSERT_TRUE(TCurrentLabel(fixture.get(), "/", label));
    EXPECT_EQ("middle", label);
}

// A sprite of three frames tracing "s1".."s3" placed as "clip" holding a
// one-frame sprite named "sub".
std::vector<uint8_t> SpriteMovie() {
    movies::MovieBuilder movie;
    uint16_t box = movie.Shape(movies::RectangleShape(0, 0, 200, 200, 0x00FF00));
    movies::TimelineBuilder inner;
    inner.Place(1, box).Actions("push 'innerVar', 'deep'; setVariable").ShowFrame();
    uint16_t innerId = movie.Sprite(inner);
    movies::TimelineBuilder outer;
    outer.Place(1, innerId, "sub").Actions("push 's1'; trace").ShowFrame();
    outer.Actions("push 's2'; trace").ShowFrame();
    outer.Label("last").Actions("push 's3'; trace").ShowFrame();
    uint16_t outerId = movie.Sprite(outer);
    movie.PlaceAt(1, outerId, movies::Translate(400, 600), "clip").ShowFrame();
    movie.ShowFrame();
    return movie.Bytes();
}

TEST(TimelineTest, SpritesPlayTheirOwnTimelinesWhilePlaced) {
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(SpriteMovie()));
    EXPECT_EQ((std::vector<std::string>{"s1"}), fixture.recorded().traces);
    AdvanceFrame(fixture.get());
    AdvanceFrame(fixture.get());
    AdvanceFrame(fixture.get());
    EXPECT_EQ((std::vector<std::string>{"s1", "s2", "s3", "s1"}), fixture.recorded().traces);
    int frame = -1;
    ASSERT_TRUE(TCurrentFrame(fixture.get(), "/clip", frame));
    EXPECT_EQ(0, frame);
    EXPECT_TRUE(TStopPlay(fixture.get(), "_root.clip"));
    AdvanceFrame(fixture.get());
    ASSERT_TRUE(TCurrentFrame(fixture.get(), "clip", frame));
    EXPECT_EQ(0, frame);
    EXPECT_TRUE(TGotoLabel(fixture.get(), "/clip", "last"));
    ASSERT_TRUE(TCurrentFrame(fixture.get(), "clip", frame));
    EXPECT_EQ(2, frame);
}

TEST(TimelineTest, TargetsNameClipsInSlashAndDotSyntax) {
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(SpriteMovie()));
    const struct {
        const char* target;
        const char* expected;  // _target of what it names, or null when it names nothing
    } cases[] = {
        {"/", "/"},
        {"_root", "/"},
        {"_level0", "/"},
        {"/clip", "/clip"},
        {"clip", "/clip"},
        {"clip/sub", "/clip/sub"},
        {"/clip/sub", "/clip/sub"},
        {"_root.clip.sub", "/clip/sub"},
        {"_level0.clip.sub", "/clip/sub"},
        {"_root.clip.sub._parent", "/clip"},
        {"/clip/sub/..", "/clip"},
        {"_root.clip.this", "/clip"},
        {"/missing", nullptr},
        {"clip/sub/none", nullptr},
        {"_level3", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        std::string value;
        bool found = TGetProperty(fixture.get(), c.target, 11, value);
        EXPECT_EQ(c.expected != nullptr, found);
        if (c.expected) {
            EXPECT_EQ(c.expected, value);
        }
    }
    EXPECT_EQ("deep", fixture.Var("/clip/sub:innerVar"));
    EXPECT_EQ("deep", fixture.Var("_root.clip.sub.innerVar"));
}

TEST(TimelineTest, RemovedAndMovedObjectsFollowTheTimeline) {
    movies::MovieBuilder movie;
    uint16_t box = movie.Shape(movies::RectangleShape(0, 0, 100, 100, 0xFF0000));
    movies::TimelineBuilder sprite;
    sprite.Place(1, box).ShowFrame();
    uint16_t clip = movie.Sprite(sprite);
    movie.PlaceAt(1, clip, movies::Translate(20, 40), "a").ShowFrame();
    movie.Move(1, movies::Translate(200, 400)).ShowFrame();
    movie.Remove(1).ShowFrame();
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(movie.Bytes()));
    double x = 0;
    ASSERT_TRUE(TGetPropertyNum(fixture.get(), "a", 0, x));
    EXPECT_EQ(1, x);
    AdvanceFrame(fixture.get());
    ASSERT_TRUE(TGetPropertyNum(fixture.get(), "a", 0, x));
    EXPECT_EQ(10, x);
    AdvanceFrame(fixture.get());
    EXPECT_FALSE(TGetPropertyNum(fixture.get(), "a", 0, x));
    // Back to the first frame: the clip is placed again where it started.
    Rewind(fixture.get());
    ASSERT_TRUE(TGetPropertyNum(fixture.get(), "a", 0, x));
    EXPECT_EQ(1, x);
}

}  // namespace
}  // namespace kelpo::player::testing

namespace kelpo::player::testing {
namespace {

TEST(TimelineTest, LevelsHoldFurtherMoviesAndPictures) {
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(ScriptMovie("push 'where', 'level 0'; setVariable")));
    movies::MovieBuilder second;
    movies::TimelineBuilder empty;
    empty.ShowFrame();
    uint16_t clip = second.Sprite(empty);
    second.Place(1, clip, "c").Actions("push 'where', 'level 1'; setVariable").ShowFrame();
    ASSERT_TRUE(fixture.Load(second.Bytes(), 1));
    EXPECT_EQ("level 0", fixture.Var("where"));
    EXPECT_EQ("level 1", fixture.Var("_level1.where"));
    EXPECT_EQ("level 1", fixture.Var("_level1/:where"));
    std::string target;
    ASSERT_TRUE(TGetProperty(fixture.get(), "_level1/c", 11, target));
    EXPECT_EQ("_level1/c", target);
    UnloadLevel(fixture.get(), 1);
    EXPECT_FALSE(TGetProperty(fixture.get(), "_level1/c", 11, target));
    EXPECT_EQ("<missing>", fixture.Var("_level1.where"));

    EXPECT_TRUE(LoadPicture(fixture.get(), 2, std::vector<uint32_t>(6, 0xFF00FF00), 3, 2));
    EXPECT_FALSE(LoadPicture(fixture.get(), 3, std::vector<uint32_t>(5, 0), 3, 2));
    double width = 0;
    ASSERT_TRUE(TGetPropertyNum(fixture.get(), "_level2", 8, width));
    EXPECT_EQ(3, width);
    // Loading into level 0 replaces every level.
    ASSERT_TRUE(fixture.Load(ScriptMovie("")));
    EXPECT_FALSE(TGetPropertyNum(fixture.get(), "_level2", 8, width));
    EXPECT_EQ("<missing>", fixture.Var("where"));
}

}  // namespace
}  // namespace kelpo::player::testing
