// Movie headers and the tag stream, plain and compressed.
#include <gtest/gtest.h>

#include "tests/unit/player/player_test_support.h"

namespace kelpo::player::testing {
namespace {

TEST(MovieReaderTest, HeaderFieldsReadTheSameFromPlainAndCompressedFiles) {
    for (bool compressed : {false, true}) {
        SCOPED_TRACE(compressed ? "CWS" : "FWS");
        movies::MovieHeader header;
        header.version = 7;
        header.widthTwips = 640 * 20;
        header.heightTwips = 480 * 20;
        header.frameRate = 0x1880;  // 24.5 frames per second
        movies::MovieBuilder movie(header);
        movie.Background(0x336699);
        movie.ShowFrame().ShowFrame().ShowFrame();
        std::vector<uint8_t> bytes = movie.Bytes(compressed);

        MovieInfo info;
        ASSERT_TRUE(ReadMovieInfo(bytes.data(), bytes.size(), info));
        EXPECT_EQ(7, info.version);
        EXPECT_EQ(compressed, info.compressed);
        EXPECT_EQ(0, info.xMin);
        EXPECT_EQ(640 * 20, info.xMax);
        EXPECT_EQ(480 * 20, info.yMax);
        EXPECT_DOUBLE_EQ(24.5, info.frameRate);
        EXPECT_EQ(3, info.frameCount);

        PlayerFixture fixture;
        ASSERT_TRUE(fixture.Load(bytes));
        MovieInfo loaded = GetMovieInfo(fixture.get());
        EXPECT_EQ(0x336699u, loaded.background);
        EXPECT_EQ(movies::WriteMovie(header, {}).size() > 0, true);
        uint32_t length =
            bytes[4] | bytes[5] << 8 | bytes[6] << 16 | static_cast<uint32_t>(bytes[7]) << 24;
        EXPECT_EQ(length, loaded.fileLength);
        EXPECT_EQ(3, TotalFrames(fixture.get()));
        EXPECT_EQ(100, PercentLoaded(fixture.get()));
        EXPECT_TRUE(FrameLoaded(fixture.get(), 2));
        EXPECT_FALSE(FrameLoaded(fixture.get(), 3));
    }
}

TEST(MovieReaderTest, BytesThatAreNoMovieAreRefused) {
    const std::vector<std::vector<uint8_t>> cases = {
        {},
        {'F', 'W', 'S'},
        {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0},
        {'F', 'W', 'X', 6, 20, 0, 0, 0, 0, 0},
    };
    for (const auto& bytes : cases) {
        MovieInfo info;
        EXPECT_FALSE(ReadMovieInfo(bytes.data(), bytes.size(), info));
        PlayerFixture fixture;
        EXPECT_FALSE(fixture.Load(bytes));
        EXPECT_FALSE(HasMovie(fixture.get()));
    }
}

TEST(MovieReaderTest, LongFormTagsAreReadLikeShortOnes) {
    // 100 pushes make a DoAction body longer than 62 bytes: the long length form.
    std::string actions = "push 'start'; trace";
    for (int i = 0; i < 20; ++i) actions += "; push 'x'; pop";
    actions += "; push 'done'; trace";
    movies::MovieBuilder movie;
    movie.Label("first").Actions(actions).ShowFrame();
    std::vector<uint8_t> bytes = movie.Bytes();
    ASSERT_GE(movies::AssembleActions(actions).size(), 63u);
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(bytes));
    EXPECT_EQ((std::vector<std::string>{"start", "done"}), fixture.recorded().traces);
    std::string label;
    ASSERT_TRUE(TCurrentLabel(fixture.get(), "/", label));
    EXPECT_EQ("first", label);
}

}  // namespace
}  // namespace kelpo::player::testing

namespace kelpo::player::testing {
namespace {

std::vector<uint8_t> Bytes16(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    }
    return out;
}

TEST(MovieReaderTest, FirstVersionPlaceAndRemoveTagsWithAColourTransform) {
    movies::MovieBuilder movie;
    uint16_t box = movie.Shape(movies::RectangleShape(0, 0, 100, 100, 0xFF8040));
    std::vector<uint8_t> place = Bytes16({box, 1});
    std::vector<uint8_t> matrix = movies::EncodeMatrix(movies::Translate(0, 0));
    place.insert(place.end(), matrix.begin(), matrix.end());
    // Colour transform: multiply terms only, 10 bits each: red 128/256, green and blue 1.
    place.insert(place.end(), {0x68, 0x80, 0x40, 0x10, 0x00});
    movie.RawTag(4, place).ShowFrame();
    movie.RawTag(5, Bytes16({box, 1})).ShowFrame();
    PlayerFixture fixture;
    SetLoop(fixture.get(), false);
    ASSERT_TRUE(fixture.Load(movie.Bytes()));
    RecordingSink first;
    RenderFrame(fixture.get(), Matrix(), first.sink);
    ASSERT_EQ(1u, first.paths.size());
    EXPECT_EQ(0xFF808040u, first.paths[0].argb);
    AdvanceFrame(fixture.get());
    RecordingSink second;
    RenderFrame(fixture.get(), Matrix(), second.sink);
    EXPECT_TRUE(second.paths.empty());
}

TEST(MovieReaderTest, TranslucentShapesAndInitActionsThatRunOnce) {
    movies::MovieBuilder movie;
    movies::ShapeDrawing drawing = movies::RectangleShape(0, 0, 100, 100, 0x40112233);
    drawing.alpha = true;
    uint16_t glass = movie.Shape(drawing);
    movies::TimelineBuilder empty;
    empty.ShowFrame();
    uint16_t sprite = movie.Sprite(empty);
    std::vector<uint8_t> init = Bytes16({sprite});
    std::vector<uint8_t> code = movies::AssembleActions("push 'init'; trace");
    init.insert(init.end(), code.begin(), code.end());
    movie.RawTag(59, init).Place(1, glass).Actions("push 'frame'; trace").ShowFrame().ShowFrame();
    PlayerFixture fixture;
    ASSERT_TRUE(fixture.Load(movie.Bytes()));
    for (int tick = 0; tick < 4; ++tick) AdvanceFrame(fixture.get());
    EXPECT_EQ((std::vector<std::string>{"init", "frame", "frame", "frame"}),
              fixture.recorded().traces);
    RecordingSink sink;
    RenderFrame(fixture.get(), Matrix(), sink.sink);
    ASSERT_EQ(1u, sink.paths.size());
    EXPECT_EQ(0x40112233u, sink.paths[0].argb);
}

}  // namespace
}  // namespace kelpo::player::testing
