// The test-movie writer: header fields, bit-packed rectangles, compressed
// bodies and tag encoding.
#include <gtest/gtest.h>
#include <zlib.h>

#include "tools/movie-writer/movie_file.h"

using namespace kelpo::movies;

namespace kelpo::test {
namespace {

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

uint16_t U16At(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

// Reads a RECT back: Nbits and the four signed fields.
std::vector<int32_t> DecodeRect(const std::vector<uint8_t>& bytes) {
    size_t bit = 0;
    auto take = [&](int count) {
        uint32_t value = 0;
        for (int i = 0; i < count; ++i, ++bit)
            value = value << 1 | ((bytes.at(bit / 8) >> (7 - bit % 8)) & 1);
        return value;
    };
    int bits = static_cast<int>(take(5));
    std::vector<int32_t> fields;
    for (int i = 0; i < 4; ++i) {
        uint32_t raw = take(bits);
        if (bits < 32 && (raw >> (bits - 1)) & 1) raw |= ~0u << bits;  // sign-extend
        fields.push_back(static_cast<int32_t>(raw));
    }
    fields.push_back(bits);
    EXPECT_EQ((5 + 4 * bits + 7) / 8, static_cast<int>(bytes.size()));
    return fields;
}

TEST(TestMovieTest, TheHeaderCarriesVersionLengthRateAndFrameCount) {
    MovieHeader header;
    header.version = 8;
    header.frameRate = 0x1880;  // 24.5 frames per second
    header.frameCount = 3;
    std::vector<uint8_t> movie = WriteMovie(header, ShowFrameTag());
    ASSERT_GE(movie.size(), 8u);
    EXPECT_EQ("FWS", std::string(movie.begin(), movie.begin() + 3));
    EXPECT_EQ(8, movie[3]);
    EXPECT_EQ(movie.size(), U32At(movie, 4));
    std::vector<uint8_t> rect = EncodeRect(0, header.widthTwips, 0, header.heightTwips);
    size_t after = 8 + rect.size();
    EXPECT_TRUE(std::equal(rect.begin(), rect.end(), movie.begin() + 8));
    EXPECT_EQ(0x1880, U16At(movie, after));
    EXPECT_EQ(3, U16At(movie, after + 2));
    // ShowFrame then End.
    EXPECT_EQ((std::vector<uint8_t>{0x40, 0x00, 0x00, 0x00}),
              std::vector<uint8_t>(movie.begin() + after + 4, movie.end()));
}

TEST(TestMovieTest, RectanglesAreBitPackedWithTheFewestBits) {
    // 550 x 400 pixels is the classic 78 00 05 5F 00 00 0F A0 00.
    EXPECT_EQ((std::vector<uint8_t>{0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00}),
              EncodeRect(0, 11000, 0, 8000));
    const struct {
        int32_t xmin, xmax, ymin, ymax;
        int bits;
    } cases[] = {
        {0, 0, 0, 0, 1},           {0, 20, 0, 20, 6},        {0, 1, 0, 1, 2},
        {-1, 1, -2, 2, 3},         {0, 2000 * 20, 0, 1, 17}, {-32768, 32767, 0, 0, 16},
        {0, 0x3FFFFFFF, 0, 0, 31},
    };
    for (const auto& c : cases) {
        std::vector<int32_t> back = DecodeRect(EncodeRect(c.xmin, c.xmax, c.ymin, c.ymax));
        EXPECT_EQ((std::vector<int32_t>{c.xmin, c.xmax, c.ymin, c.ymax, c.bits}), back)
            << c.xmin << " " << c.xmax;
    }
}

TEST(TestMovieTest, ACompressedMovieInflatesToTheUncompressedBytes) {
    FramedMovie framed;
    framed.header.frameCount = 4;
    framed.hasBackground = true;
    framed.background = 0x336699;
    framed.labels[2] = "intro";
    framed.fsCommands.emplace(1, std::make_pair("Kelpo_Run", "INITIALIZE"));
    std::vector<uint8_t> plain = WriteFramedMovie(framed);
    framed.header.compressed = true;
    std::vector<uint8_t> packed = WriteFramedMovie(framed);
    EXPECT_EQ("CWS", std::string(packed.begin(), packed.begin() + 3));
    EXPECT_EQ(plain.size(), U32At(packed, 4));
    std::vector<uint8_t> body(plain.size() - 8);
    uLongf length = static_cast<uLongf>(body.size());
    ASSERT_EQ(Z_OK, uncompress(body.data(), &length, packed.data() + 8,
                               static_cast<uLong>(packed.size() - 8)));
    EXPECT_EQ(body.size(), length);
    EXPECT_TRUE(std::equal(body.begin(), body.end(), plain.begin() + 8));
}

TEST(TestMovieTest, TagsUseTheLongFormFrom63Bytes) {
    const struct {
        size_t length;
        size_t headerSize;
    } cases[] = {{0, 2}, {1, 2}, {62, 2}, {63, 6}, {64, 6}, {70000, 6}};
    for (const auto& c : cases) {
        std::vector<uint8_t> tag = EncodeTag(77, std::vector<uint8_t>(c.length, 0xAB));
        ASSERT_EQ(c.headerSize + c.length, tag.size()) << c.length;
        uint16_t head = U16At(tag, 0);
        EXPECT_EQ(77, head >> 6) << c.length;
        if (c.headerSize == 2)
            EXPECT_EQ(c.length, head & 0x3Fu);
        else {
            EXPECT_EQ(0x3F, head & 0x3F);
            EXPECT_EQ(c.length, U32At(tag, 2));
        }
    }
}

TEST(TestMovieTest, TheStandardTagsHaveTheirBodies) {
    EXPECT_EQ((std::vector<uint8_t>{0x43, 0x02, 0x33, 0x66, 0x99}), BackgroundColorTag(0x336699));
    EXPECT_EQ((std::vector<uint8_t>{0xC3, 0x0A, 'a', 'b', 0}), FrameLabelTag("ab"));
    std::vector<uint8_t> actions = FsCommandActions("quit", "");
    std::vector<uint8_t> expected{kActionGetUrl, 16, 0};
    for (char c : std::string("FSCommand:quit")) expected.push_back(static_cast<uint8_t>(c));
    expected.insert(expected.end(), {0, 0, kActionEnd});
    EXPECT_EQ(expected, actions);
    std::vector<uint8_t> tag = DoActionTag(actions);
    EXPECT_EQ(kTagDoAction, U16At(tag, 0) >> 6);
    EXPECT_TRUE(std::equal(actions.begin(), actions.end(), tag.begin() + 2));
}

}  // namespace
}  // namespace kelpo::test
