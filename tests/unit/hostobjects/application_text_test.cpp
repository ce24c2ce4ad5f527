// The Application object's text rules: command-line items, the movie base
// path, registry names from scripts and region files.
#include <gtest/gtest.h>

#include "host/project_data.h"
#include "hostobjects/base_path.h"
#include "hostobjects/command_items.h"
#include "hostobjects/region_file.h"
#include "hostobjects/registry_names.h"
#include "platform/files.h"
#include "tests/unit/host/host_test_support.h"

namespace kelpo::test {
namespace {

using Items = std::vector<std::string>;

TEST(CommandItems, SplitsQuotedAndPlainItemsWithoutTheProgram) {
    struct Case {
        const char* line;
        Items items;
    } cases[] = {
        {"app.exe", {}},
        {"", {}},
        {"  \t app.exe one two", {"one", "two"}},
        {"\"C:\\Program Files\\app.exe\" \"a b\" 'c d' word", {"a b", "c d", "word"}},
        {"app.exe \"\" '' x", {"x"}},  // empty items are dropped
        {"app.exe   spaced    out ", {"spaced", "out"}},
        {"app.exe \"it's\" 'say \"hi\"'", {"it's", "say \"hi\""}},
        {"app.exe \"unterminated item", {"unterminated item"}},
        {"app.exe a\"b c", {"a\"b", "c"}},  // a quote inside a plain item stays
        {"app.exe \"x\"y", {"x", "y"}},     // an item ends at its closing quote
    };
    for (const Case& c : cases) EXPECT_EQ(c.items, SplitCommandItems(c.line)) << c.line;
}

TEST(BasePath, UrlHasSlashesAndOneFinalSlash) {
    struct Case {
        const char* folder;
        const char* url;
    } cases[] = {
        {"C:\\Movies\\", "file:///C:/Movies/"},
        {"C:\\Movies", "file:///C:/Movies/"},
        {"C:/Movies/", "file:///C:/Movies/"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.url, BasePathUrl(c.folder)) << c.folder;
}

class BaseFolderTest : public ScratchFolderTest {
protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();
        project.exePath = Path("app.exe");
        project.instanceFolder = Path("instance") + kPathSeparator;
        CreateFolder(project.instanceFolder);
        CreateFolder(Path("movies"));
        CreateFolder(Path("plugins"));
        // A plug-in listed first: "movies" takes the first movie.
        project.movies.paths = {Path("plugins") + kPathSeparator + "a.dll",
                                Path("movies") + kPathSeparator + "b.swf"};
        project.movies.kinds = {kMovieEntryPlugIn, kMovieEntryMovie};
    }
    ProjectData project;
};

TEST_F(BaseFolderTest, ChoosesTheFolderTheArgumentNames) {
    std::string folder;
    ASSERT_TRUE(ChooseBaseFolder(project, nullptr, folder));
    EXPECT_EQ(folder, this->folder);
    std::string movies = "MOVIES";
    ASSERT_TRUE(ChooseBaseFolder(project, &movies, folder));
    EXPECT_EQ(folder, Path("movies") + kPathSeparator);
    std::string attachments = "Attachments";
    ASSERT_TRUE(ChooseBaseFolder(project, &attachments, folder));
    EXPECT_EQ(folder, project.instanceFolder + "_extra" + kPathSeparator);
    EXPECT_TRUE(FolderExists(folder));
    std::string existing = Path("plugins");
    ASSERT_TRUE(ChooseBaseFolder(project, &existing, folder));
    EXPECT_EQ(folder, existing);
}

TEST_F(BaseFolderTest, RefusesWhatNamesNoFolder) {
    std::string folder;
    for (std::string argument : {Path("missing"), Path("app.exe"), std::string()}) {
        EXPECT_FALSE(ChooseBaseFolder(project, &argument, folder)) << argument;
    }
    project.movies.kinds = {kMovieEntryPlugIn, kMovieEntryPlugIn};
    std::string movies = "movies";
    EXPECT_FALSE(ChooseBaseFolder(project, &movies, folder));
    project.instanceFolder.clear();
    std::string attachments = "attachments";
    EXPECT_FALSE(ChooseBaseFolder(project, &attachments, folder));
}

TEST(RegistryNames, ScriptNamesStayBelowTheirKey) {
    struct Case {
        std::string name;
        bool accepted;
    } cases[] = {
        {"Options", true},
        {".kpo", true},
        {"", false},
        {"a\\b", false},
        {"..\\..\\Run", false},
        {std::string(255, 'k'), true},
        {std::string(256, 'k'), false},
    };
    ProjectIdentity identity{"Acme/Tour", "Acme", "Tour"};
    for (const Case& c : cases) {
        std::string key;
        EXPECT_EQ(c.accepted, IsRegistryKeyName(c.name)) << c.name;
        EXPECT_EQ(c.accepted, ProfileSectionKey(identity, c.name, key)) << c.name;
        if (c.accepted) {
            EXPECT_EQ("Software\\Acme\\Tour\\" + c.name, key);
        }
        AssociationKeys keys;
        EXPECT_EQ(c.accepted, MakeAssociationKeys(c.name, "Type", "C:\\app.exe", keys)) << c.name;
        EXPECT_EQ(c.accepted, MakeAssociationKeys(".ext", c.name, "C:\\app.exe", keys)) << c.name;
    }
}

TEST(RegistryNames, AssociationValuesAndBinding) {
    AssociationKeys keys;
    ASSERT_TRUE(MakeAssociationKeys(".kpo", "Kelpo.Doc", "C:\\Apps\\tour.exe", keys));
    EXPECT_EQ("Kelpo.Doc\\DefaultIcon", keys.iconKey);
    EXPECT_EQ("C:\\Apps\\tour.exe,1", keys.iconValue);
    EXPECT_EQ("Kelpo.Doc\\shell\\open\\command", keys.commandKey);
    EXPECT_EQ("C:\\Apps\\tour.exe \"%1\"", keys.commandValue);
    EXPECT_FALSE(MakeAssociationKeys(".kpo", "Kelpo.Doc", std::string(260, 'p'), keys));

    struct Case {
        bool readable;
        const char* current;
        bool bind;
    } cases[] = {
        {false, "", true},
        {true, "", true},
        {true, ".kpo", true},
        {true, "Other.Doc", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.bind, ShouldBindExtension(c.readable, c.current, ".kpo")) << c.current;
}

TEST(RegionFile, TakesTheCountedDataAndRefusesBrokenFiles) {
    std::vector<uint8_t> header(32, 7);
    auto file = [](uint32_t count, std::vector<uint8_t> data) {
        std::vector<uint8_t> bytes = {uint8_t(count), uint8_t(count >> 8), uint8_t(count >> 16),
                                      uint8_t(count >> 24)};
        bytes.insert(bytes.end(), data.begin(), data.end());
        return bytes;
    };
    std::vector<uint8_t> region;
    ASSERT_TRUE(ParseRegionFile(file(32, header), region));
    EXPECT_EQ(header, region);
    std::vector<uint8_t> longer = header;
    longer.resize(48, 1);
    ASSERT_TRUE(
        ParseRegionFile(file(48, longer), region));  // trailing bytes beyond the count are ignored
    EXPECT_EQ(48u, region.size());
    struct Broken {
        const char* why;
        std::vector<uint8_t> bytes;
    } broken[] = {
        {"empty", {}},
        {"short count", {32, 0, 0}},
        {"smaller than a header", file(31, std::vector<uint8_t>(31))},
        {"count past the end", file(33, header)},
        {"huge count", file(0xFFFFFFFFu, header)},
    };
    for (const Broken& b : broken) EXPECT_FALSE(ParseRegionFile(b.bytes, region)) << b.why;
}

TEST(RegionFile, PathsOnlyForBareNames) {
    EXPECT_EQ(std::string("C:\\i\\round.msk"), RegionFilePath("C:\\i\\", "round"));
    for (const char* name : {"", "..\\x", "a/b", "c:x"})
        EXPECT_EQ("", RegionFilePath("C:\\i\\", name)) << name;
    EXPECT_EQ("", RegionFilePath("", "round"));
}

}  // namespace
}  // namespace kelpo::test
