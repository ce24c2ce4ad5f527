// Movie lists and shape masks.
#include <gtest/gtest.h>

#include <set>

#include "host/movie_list.h"
#include "host/shape_masks.h"
#include "platform/files.h"
#include "tests/unit/host/host_test_support.h"

namespace kelpo::test {
namespace {

class MovieListTest : public ScratchFolderTest {
protected:
    MovieList Read(uint32_t flags, const std::vector<MovieListEntry>& entries) {
        std::vector<uint8_t> stream = WriteMovieList(flags, entries);
        MovieList list;
        ReadMovieList(stream.data(), stream.size(), folder, "exe" + std::string(1, kPathSeparator),
                      list);
        return list;
    }
    const std::vector<MovieListEntry> entries_ = {
        {kMovieEntryMovie, "intro.swf", {1, 2, 3}},
        {kMovieEntryPlugIn, "plugin.dll", {4, 5}},
        {kMovieEntryMovie, "main.swf", {6}},
    };
};

TEST_F(MovieListTest, EmbeddedListsExtractEveryEntry) {
    for (uint32_t flags : {kMovieListEmbedded, kMovieListEmbedded | kMovieListRandomStart}) {
        MovieList list = Read(flags, entries_);
        EXPECT_EQ(flags, list.flags);
        const std::string plugIns = folder + "Plug_Ins" + kPathSeparator;
        ASSERT_EQ((std::vector<std::string>{folder + "intro.swf", plugIns + "plugin.dll",
                                            folder + "main.swf"}),
                  list.paths);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile(plugIns + "plugin.dll", bytes));
        EXPECT_EQ((std::vector<uint8_t>{4, 5}), bytes);
        DeleteEmbeddedMovies(list);
        for (const std::string& path : list.paths) EXPECT_FALSE(FileExists(path));
    }
}

TEST_F(MovieListTest, ListsBesideTheExecutableSkipPlugIns) {
    for (uint32_t flags : {0u, kMovieListRandomStart}) {
        MovieList list = Read(flags, entries_);
        std::string base = "exe" + std::string(1, kPathSeparator);
        EXPECT_EQ((std::vector<std::string>{base + "intro.swf", base + "main.swf"}), list.paths);
        EXPECT_FALSE(FileExists(folder + "intro.swf"));
        DeleteEmbeddedMovies(list);  // nothing of ours to delete
    }
}

TEST_F(MovieListTest, StartMovieIsFirstUnlessRandom) {
    MovieList list{kMovieListEmbedded, {"a", "b", "c"}, {}};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(0u, StartMovieIndex(list));
    list.flags = kMovieListEmbedded | kMovieListRandomStart;
    for (int i = 0; i < 20; ++i) EXPECT_LT(StartMovieIndex(list), 3u);
    EXPECT_EQ(0u, StartMovieIndex(MovieList{kMovieListRandomStart, {}, {}}));
}

TEST_F(MovieListTest, ADamagedEntryEndsTheListKeepingEarlierOnes) {
    std::vector<uint8_t> stream = WriteMovieList(kMovieListEmbedded, entries_);
    stream.resize(stream.size() - 1);  // the last movie loses a byte
    FailureCapture failures;
    MovieList list;
    ReadMovieList(stream.data(), stream.size(), folder, "", list);
    EXPECT_EQ(2u, list.paths.size());
    EXPECT_EQ(1u, failures.messages().size());
}

TEST_F(MovieListTest, NamesThatLeaveTheFolderAreRefused) {
    for (const char* name : {"..\\evil.swf", "../evil.swf", "C:\\evil.swf", "..", ""}) {
        FailureCapture failures;
        MovieList list = Read(kMovieListEmbedded, {{kMovieEntryMovie, name, {1}}, entries_[0]});
        EXPECT_TRUE(list.paths.empty()) << name;
        EXPECT_EQ(1u, failures.messages().size()) << name;
    }
    FailureCapture failures;
    MovieList outside = Read(0, {{kMovieEntryMovie, "movies\\..\\..\\evil.swf", {}}});
    EXPECT_TRUE(outside.paths.empty());
    MovieList inside = Read(0, {{kMovieEntryMovie, "movies\\intro.swf", {}}});
    EXPECT_EQ(1u, inside.paths.size());
}

TEST_F(MovieListTest, ShapeMasksAreNamedAndExtracted) {
    std::vector<uint8_t> stream =
        WriteShapeMasks({{"round", {1, 2}}, {"empty", {}}, {"../bad", {3}}});
    FailureCapture failures;
    std::vector<std::string> names;
    ReadShapeMasks(stream.data(), stream.size(), folder, names);
    EXPECT_EQ((std::vector<std::string>{"round", "empty"}), names);
    EXPECT_TRUE(FileExists(folder + "round.msk"));
    EXPECT_FALSE(FileExists(folder + "empty.msk"));
    EXPECT_EQ(1u, failures.messages().size());
}

}  // namespace
}  // namespace kelpo::test
