// Movie information read by the host: headers, background, appended movies.
#include <gtest/gtest.h>

#include "host/movie_info.h"
#include "platform/files.h"
#include "tools/movie-writer/movie_file.h"
#include "tests/unit/host/host_test_support.h"

using namespace kelpo::movies;

namespace kelpo::test {
namespace {

std::vector<uint8_t> Movie(bool compressed, bool background, int32_t widthTwips = 11010) {
    MovieHeader header;
    header.version = 7;
    header.widthTwips = widthTwips;
    header.heightTwips = 8000;
    header.frameRate = (24 << 8) | 0x80;  // 24.5
    header.frameCount = 12;
    header.compressed = compressed;
    std::vector<uint8_t> tags = FrameLabelTag("start");  // a tag to skip before the colour
    if (background) {
        std::vector<uint8_t> colour = BackgroundColorTag(0x336699);
        tags.insert(tags.end(), colour.begin(), colour.end());
    }
    std::vector<uint8_t> frame = ShowFrameTag();
    tags.insert(tags.end(), frame.begin(), frame.end());
    return WriteMovie(header, tags);
}

TEST(MovieInfo, ReadsPlainAndCompressedMovies) {
    for (bool compressed : {false, true}) {
        for (bool background : {false, true}) {
            std::vector<uint8_t> bytes = Movie(compressed, background);
            MovieInfo info;
            ASSERT_TRUE(ReadMovieInfo(bytes.data(), bytes.size(), info)) << compressed;
            EXPECT_EQ(550, info.width);  // 11010 twips = 550.5 pixels, truncated
            EXPECT_EQ(400, info.height);
            EXPECT_EQ(7, info.version);
            EXPECT_EQ(24, info.frameRate);
            EXPECT_EQ(12, info.frameCount);
            EXPECT_EQ(background ? 0x336699 : -1, info.background);
            if (!compressed) {
                EXPECT_EQ(bytes.size(), info.fileLength);
            }
        }
    }
}

TEST(MovieInfo, RefusesWhatIsNotAMovie) {
    std::vector<uint8_t> good = Movie(false, true);
    std::vector<uint8_t> badSignature = good;
    badSignature[1] = 'X';
    std::vector<uint8_t> cut(good.begin(), good.begin() + 9);
    std::vector<uint8_t> compressedGarbage = {'C', 'W', 'S', 6, 100, 0, 0, 0, 1, 2, 3, 4, 5};
    for (const auto& bytes : {badSignature, cut, compressedGarbage, std::vector<uint8_t>{}}) {
        MovieInfo info;
        EXPECT_FALSE(ReadMovieInfo(bytes.data(), bytes.size(), info));
        EXPECT_EQ(0, info.width);
        EXPECT_EQ(-1, info.background);
    }
    // A tag that claims more bytes than there are ends the walk, keeping the header.
    std::vector<uint8_t> overlong = Movie(false, false);
    MovieInfo info;
    overlong.resize(overlong.size() - 3);
    EXPECT_TRUE(ReadMovieInfo(overlong.data(), overlong.size(), info));
    EXPECT_EQ(550, info.width);
}

class MovieFileTest : public ScratchFolderTest {};

TEST_F(MovieFileTest, ReadsMovieFilesAndMoviesAppendedToExecutables) {
    std::vector<uint8_t> movie = Movie(true, true, 6400);
    ASSERT_TRUE(WriteWholeFile(Path("plain.swf"), movie.data(), movie.size()));
    MovieInfo info;
    ASSERT_TRUE(ReadMovieInfoFromFile(Path("plain.swf"), info));
    EXPECT_EQ(320, info.width);

    std::vector<uint8_t> exe = Bytes("MZ a stand-alone player");
    exe.insert(exe.end(), movie.begin(), movie.end());
    const uint8_t trailer[8] = {0x56,
                                0x34,
                                0x12,
                                0xFA,
                                static_cast<uint8_t>(movie.size()),
                                static_cast<uint8_t>(movie.size() >> 8),
                                0,
                                0};
    exe.insert(exe.end(), trailer, trailer + 8);
    ASSERT_TRUE(WriteWholeFile(Path("player.exe"), exe.data(), exe.size()));
    ASSERT_TRUE(ReadMovieInfoFromFile(Path("player.exe"), info));
    EXPECT_EQ(320, info.width);
    EXPECT_EQ(0x336699, info.background);

    exe[exe.size() - 4] = 0xFF;  // a length past the start of the file
    ASSERT_TRUE(WriteWholeFile(Path("broken.exe"), exe.data(), exe.size()));
    EXPECT_FALSE(ReadMovieInfoFromFile(Path("broken.exe"), info));
    EXPECT_FALSE(ReadMovieInfoFromFile(Path("missing.swf"), info));
}

}  // namespace
}  // namespace kelpo::test
