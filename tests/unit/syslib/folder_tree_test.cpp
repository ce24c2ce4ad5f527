// Tree walks of the File/Folder class over links that lead back up the
// tree (they must end, count a loop once and never copy into themselves),
// and the name-pattern matcher.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "syslib/folder_listing.h"
#include "syslib/name_patterns.h"
#include "syslib/path_names.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kelpo {
namespace {

struct PatternCase {
    const char16_t* name;
    const char16_t* pattern;
    bool matches;
};

const PatternCase kPatternCases[] = {
    {u"abc", u"a?c", true},     {u"ac", u"a?c", false},      {u"abcd", u"a?c", false},
    {u"x.txt", u"*.txt", true}, {u"y.TXT", u"*.txt", false}, {u"", u"", true},
    {u"a", u"", false},         {u"", u"*", true},           {u"", u"**", true},
    {u"abc", u"*", true},       {u"abc", u"a*", true},       {u"abc", u"*c", true},
    {u"abc", u"*b", false},     {u"aXbXc", u"a*b*c", true},  {u"aXbX", u"a*b*c", false},
    {u"abab", u"*ab", true},    {u"aaa", u"a*a*a*a", false}, {u"mississippi", u"*sip*", true},
    {u"a*c", u"a*c", true},     {u"a?", u"??", true},        {u"abc", u"abc*", true},
};

TEST(NamePatterns, Table) {
    for (const PatternCase& c : kPatternCases) {
        EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches)
            << std::string(c.name, c.name + std::char_traits<char16_t>::length(c.name));
    }
}

TEST(NamePatterns, SplitKeepsEmptyPatterns) {
    const std::u16string text = u"*.a;;b;";
    auto patterns = SplitPatterns(text.data(), text.size());
    ASSERT_EQ(patterns.size(), 4u);
    EXPECT_EQ(patterns[1], u"");
    EXPECT_TRUE(MatchesAnyPattern(u"b", patterns));
    EXPECT_FALSE(MatchesAnyPattern(u"c", patterns));
}

TEST(NamePatterns, LongRunsStayQuick) {
    // Backtracking to the last star only: this finishes at once.
    std::u16string name(5000, u'a');
    std::u16string pattern;
    for (int i = 0; i < 200; ++i) pattern += u"*a";
    pattern += u"b";
    EXPECT_FALSE(MatchesPattern(name, pattern));
}

#ifndef _WIN32
// A fresh folder below the system's temporary folder, removed afterwards.
class LinkedTree : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kelpo-tree-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override { RemoveFolderTree(root_); }
    std::string Path(const std::string& below) const { return root_ + "/" + below; }
    void File(const std::string& below, size_t size) {
        std::string bytes(size, 'x');
        ASSERT_TRUE(
            WriteWholeFile(Path(below), reinterpret_cast<const uint8_t*>(bytes.data()), size));
    }
    void Link(const std::string& below, const std::string& target) {
        ASSERT_EQ(symlink(target.c_str(), Path(below).c_str()), 0);
    }
    std::string root_;
};

TEST_F(LinkedTree, SizeCountsALoopOnce) {
    ASSERT_TRUE(CreateFolder(Path("a")));
    ASSERT_TRUE(CreateFolder(Path("a/b")));
    File("a/f", 10);
    File("a/b/g", 5);
    Link("a/b/up", Path("a"));  // back to the top
    Link("a/b/self", ".");      // to itself
    EXPECT_EQ(FolderTreeSize(Path("a")), 15u);
}

TEST_F(LinkedTree, SizeFollowsLinksThatAreNoLoop) {
    ASSERT_TRUE(CreateFolder(Path("a")));
    ASSERT_TRUE(CreateFolder(Path("a/x")));
    File("a/x/f", 7);
    Link("a/l1", Path("a/x"));
    Link("a/dangling", Path("nothing"));
    EXPECT_EQ(FolderTreeSize(Path("a")), 14u);
}

TEST_F(LinkedTree, CopyOfALoopFailsAndEnds) {
    ASSERT_TRUE(CreateFolder(Path("a")));
    File("a/f", 3);
    Link("a/up", Path("a"));
    EXPECT_FALSE(CopyFolderTree(Path("a"), Path("copy")));
    EXPECT_FALSE(FolderExists(Path("copy/up/up")));
}

TEST_F(LinkedTree, CopyIntoItselfThroughALinkFails) {
    ASSERT_TRUE(CreateFolder(Path("a")));
    File("a/f", 3);
    Link("alias", Path("a"));
    EXPECT_FALSE(CopyFolderTree(Path("a"), Path("alias/inside")));
    EXPECT_FALSE(FolderExists(Path("a/inside/inside")));
}

TEST_F(LinkedTree, CopyIntoItselfByTextDoesNothing) {
    ASSERT_TRUE(CreateFolder(Path("a")));
    File("a/f", 3);
    EXPECT_FALSE(CopyFolderTree(Path("a"), Path("a/inside")));
    EXPECT_FALSE(CopyFolderTree(Path("a"), Path("a/")));
    EXPECT_FALSE(FolderExists(Path("a/inside")));
}
#endif

}  // namespace
}  // namespace kelpo
