// Damaged and hostile movies: cut files, broken compressed data, sprites
// that contain themselves, bad action byte code and endless loops. The
// player keeps what it could read and never hangs.
#include <gtest/gtest.h>

#include "tests/unit/player/player_test_support.h"

namespace kelpo::player::testing {
namespace {

// Exercises a loaded player the way the control does.
void Exercise(Player* player) {
    RecordingSink sink;
    for (int tick = 0; tick < 3; ++tick) {
        AdvanceFrame(player);
        RenderFrame(player, Matrix{0.05, 0, 0, 0.05, 0, 0}, sink.sink);
    }
    MouseMove(player, 2100, 2100);
    MouseDown(player, 2100, 2100);
    MouseUp(player, 2100, 2100);
    std::string value;
    GetVariable(player, "/clip:v", value);
    TGotoFrame(player, "/clip", 1);
}

std::vector<uint8_t> RichMovie(bool compressed) {
    movies::MovieBuilder movie;
    movie.Background(0x123456);
    uint16_t box = movie.Shape(movies::RectangleShape(0, 0, 1000, 1000, 0x808080));
    uint16_t button =
        movie.Button2({{0x0F, box, 1, {}}}, {{0x08, "push 'FSCommand:a', 'b'; getURL2 0"}});
    movies::TimelineBuilder sprite;
    sprite.Place(1, box)
        .Place(2, button)
        .Actions("push 'v', 1; setVariable")
        .ShowFrame()
        .ShowFrame();
    uint16_t clip = movie.Sprite(sprite);
    movie.PlaceAt(1, clip, movies::Translate(2000, 2000), "clip").Label("start");
    movie.Actions("push 'FSCommand:first', ''; getURL2 0").ShowFrame();
    movie.Remove(1).ShowFrame();
    return movie.Bytes(compressed);
}

TEST(MalformedTest, EveryTruncationLoadsWhatItCanAndNeverCrashes) {
    for (bool compressed : {false, true}) {
        SCOPED_TRACE(compressed ? "CWS" : "FWS");
        std::vector<uint8_t> bytes = RichMovie(compressed);
        for (size_t length = 0; length <= bytes.size(); ++length) {
            PlayerFixture fixture;
            bool loaded = LoadMovieBytes(fixture.get(), 0, bytes.data(), length);
            EXPECT_EQ(length >= 8, loaded) << length;
            Exercise(fixture.get());
            // The whole file raises its first frame's command; no cut file raises a damaged one.
            for (const auto& command : fixture.recorded().fsCommands) {
                EXPECT_TRUE(command.first == "first" || command.first == "a") << command.first;
            }
        }
        PlayerFixture whole;
        ASSERT_TRUE(whole.Load(bytes));
        EXPECT_EQ("first", whole.recorded().fsCommands.at(0).first);
    }
}

TEST(MalformedTest, CorruptCompressedDataKeepsTheFramesBeforeTheDamage) {
    movies::MovieBuilder movie;
    for (int frame = 0; frame < 40; ++frame)
        movie.Actions("push 'frame', " + std::to_string(frame) + "; setVariable").ShowFrame();
    std::vector<uint8_t> bytes = movie.Bytes(true);
    const struct {
        const char* name;
        size_t at;
    } cases[] = {{"damaged zlib header", 8}, {"damaged body", 40}, {"damaged near the end", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> broken = bytes;
        size_t at = c.at ? c.at : broken.size() - 6;
        for (size_t i = at; i < at + 4 && i < broken.size(); ++i) broken[i] ^= 0xA5;
        PlayerFixture fixture;
        EXPECT_TRUE(LoadMovieBytes(fixture.get(), 0, broken.data(), broken.size()));
        Exercise(fixture.get());
    }
    // A declared length far beyond the data does not make the reader allocate it.
    std::vector<uint8_t> huge = bytes;
    huge[4] = huge[5] = huge[6] = 0xFF;
    huge[7] = 0x7F;
    PlayerFixture fixture;
    ASSERT_TRUE(LoadMovieBytes(fixture.get(), 0, huge.data(), huge.size()));
    EXPECT_EQ(40, TotalFrames(fixture.get()));
}

TEST(MalformedTest, SpritesThatContainThemselvesStopNesting) {
    movies::MovieBuilder movie;
    uint16_t self = movie.NextId();
    movies::TimelineBuilder sprite;
    sprite.Place(1, self, "inner").Place(2, self, "second").ShowFrame().ShowFrame();
    EXPECT_EQ(self, movie.Sprite(sprite, self));
    movie.Place(1, self, "outer").ShowFrame();
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(movie.Bytes()));
    Exercise(fixture.get());
    std::string target;
    EXPECT_TRUE(TGetProperty(fixture.get(), "/outer/inner/inner", 11, target));
    EXPECT_EQ("/outer/inner/inner", target);
}

TEST(MalformedTest, BadActionByteCodeEndsOnlyItsBlock) {
    const struct {
        const char* name;
        const char* actions;
        std::vector<std::string> traces;
    } cases[] = {
        {"jump far past the end",
         "push 'before'; trace; raw 0x99, 0x02, 0x00, 0xFF, 0x7F; push 'after'; trace",
         {"before"}},
        {"jump before the start",
         "push 'before'; trace; raw 0x99, 0x02, 0x00, 0x00, 0x80; push 'after'; trace",
         {"before"}},
        {"record longer than the block",
         "push 'before'; trace; raw 0x96, 0xFF, 0x00, 0x00",
         {"before"}},
        {"unknown push type",
         "push 'before'; trace; raw 0x96, 0x02, 0x00, 0x0C, 0x00; push 'after'; trace",
         {"before"}},
        {"function body past the end",
         "raw 0x9B, 0x05, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00; push 'after'; trace",
         {}},
        {"call of a missing function",
         "push 0, 'nothing'; callFunction; typeOf; trace",
         {"undefined"}},
        {"a huge argument count", "push 1e9, 'Array'; newObject; typeOf; trace", {"object"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        movies::MovieBuilder movie;
        movie.Actions(c.actions).Actions("push 'next block'; trace").ShowFrame();
        PlayerFixture fixture;
        ASSERT_TRUE(fixture.Load(movie.Bytes()));
        std::vector<std::string> expected = c.traces;
        expected.push_back("next block");
        EXPECT_EQ(expected, fixture.recorded().traces);
    }
}

TEST(MalformedTest, EndlessLoopsAndRecursionAreBounded) {
    const struct {
        const char* name;
        const char* actions;
    } cases[] = {
        {"jump to itself", "top: jump top"},
        {"growing string",
         "push 's', 'x'; setVariable; top: push 's', 's'; getVariable; pushDuplicate; stringAdd; "
         "setVariable; jump top"},
        {"growing stack", "top: push 1; jump top"},
        {"endless recursion",
         "defineFunction 'f', end; push 0, 'f'; callFunction; end: push 0, 'f'; callFunction"},
        {"objects without end", "top: push 'o', 0; initObject; setVariable; jump top"},
        {"frame that calls itself", "push 1; call"},
        {"goto back and forth", "top: push 2; gotoFrame2 0; push 1; gotoFrame2 0; jump top"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        movies::MovieBuilder movie;
        movie.Actions(c.actions).Actions("push 'next block'; trace").ShowFrame();
        movie.Actions("push 'second frame'; trace").ShowFrame();
        PlayerFixture fixture;
        ASSERT_TRUE(fixture.Load(movie.Bytes()));
        EXPECT_EQ("next block", fixture.recorded().traces.at(0));
        Exercise(fixture.get());
    }
}

TEST(MalformedTest, ActionsOnClipsTheyRemoveDoNotTouchFreedClips) {
    movies::MovieBuilder movie;
    movies::TimelineBuilder sprite;
    // The clip's frame removes the clip itself (its parent goes to a frame
    // without it) and then keeps working on it.
    sprite
        .Actions(
            "push '_parent'; setTarget2; push 2; gotoFrame2 0; setTarget ''; push 'still', 1; setVariable; "
            "push '_x', 5; setVariable; push 'alive'; trace")
        .ShowFrame();
    uint16_t clip = movie.Sprite(sprite);
    movie.Place(1, clip, "doomed").Actions("stop").ShowFrame();
    movie.Remove(1).ShowFrame();
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(movie.Bytes()));
    EXPECT_EQ((std::vector<std::string>{"alive"}), fixture.recorded().traces);
    EXPECT_EQ(1, CurrentFrame(fixture.get()));
    EXPECT_EQ("<missing>", fixture.Var("/doomed:still"));
    Exercise(fixture.get());
}

}  // namespace
}  // namespace kelpo::player::testing
