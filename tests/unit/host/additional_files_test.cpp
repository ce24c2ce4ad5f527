// The appended additional-files archive: lookups, extraction, damage.
#include <gtest/gtest.h>

#include "host/additional_files.h"
#include "host/byte_stream.h"
#include "platform/files.h"
#include "tests/unit/host/host_test_support.h"

namespace kelpo::test {
namespace {

std::vector<uint8_t> LargeContent() {
    std::vector<uint8_t> bytes(50000);
    uint32_t x = 12345;
    for (uint8_t& b : bytes) {
        x = x * 1103515245 + 12345;
        b = static_cast<uint8_t>(x >> 24);  // barely compressible: many 4096-byte steps
    }
    return bytes;
}

std::vector<ArchiveEntry> SampleTree() {
    ArchiveEntry readme{false, "ReadMe.txt", Bytes("read me"), {}};
    ArchiveEntry logo{false, "logo.bin", {0, 1, 2}, {}};
    ArchiveEntry images{true, "Img", {}, {logo}};
    ArchiveEntry guide{false, "guide.txt", Bytes("the guide"), {}};
    ArchiveEntry docs{true, "Docs", {}, {guide, images}};
    ArchiveEntry large{false, "large.bin", LargeContent(), {}};
    return {readme, docs, large};
}

class AdditionalFilesTest : public ScratchFolderTest {
protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();
        instance = Path("instance") + kPathSeparator;
        ASSERT_TRUE(CreateFolder(instance));
        extra = instance + "_extra" + kPathSeparator;
    }
    // Writes a stand-in executable: some bytes, then `appended`.
    std::string MakeExe(const std::vector<uint8_t>& appended) {
        std::vector<uint8_t> bytes = Bytes("MZ pretend executable");
        bytes.insert(bytes.end(), appended.begin(), appended.end());
        std::string exe = Path("app.exe");
        EXPECT_TRUE(WriteWholeFile(exe, bytes.data(), bytes.size()));
        return exe;
    }
    std::string Content(const std::string& path) {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
        return Text(bytes);
    }
    std::string instance, extra;
};

TEST_F(AdditionalFilesTest, FindsFilesWithEitherSlashAndAnyCase) {
    std::string exe = MakeExe(WriteAdditionalFilesArchive(SampleTree()));
    std::string expected = extra + "Docs" + kPathSeparator + "guide.txt";
    for (const char* request :
         {"Docs/guide.txt", "Docs\\guide.txt", "DOCS/GUIDE.TXT", "/docs//guide.txt"}) {
        EXPECT_EQ(expected, GetAdditionalFile(exe, instance, request)) << request;
    }
    EXPECT_EQ("the guide", Content(expected));
    EXPECT_EQ(extra + "ReadMe.txt", GetAdditionalFile(exe, instance, "readme.txt"));
    EXPECT_EQ("read me", Content(extra + "ReadMe.txt"));
    std::string large = GetAdditionalFile(exe, instance, "large.bin");
    EXPECT_EQ(Text(LargeContent()), Content(large));
}

TEST_F(AdditionalFilesTest, AFolderIsExtractedWhole) {
    std::string exe = MakeExe(WriteAdditionalFilesArchive(SampleTree()));
    std::string docs = GetAdditionalFile(exe, instance, "docs");
    EXPECT_EQ(extra + "Docs", docs);
    EXPECT_EQ("the guide", Content(docs + kPathSeparator + "guide.txt"));
    std::vector<uint8_t> logo;
    ASSERT_TRUE(ReadWholeFile(docs + kPathSeparator + "Img" + kPathSeparator + "logo.bin", logo));
    EXPECT_EQ((std::vector<uint8_t>{0, 1, 2}), logo);
    EXPECT_FALSE(FileExists(extra + "ReadMe.txt"));
}

TEST_F(AdditionalFilesTest, AnEmptyRequestExtractsTheWholeArchive) {
    std::string exe = MakeExe(WriteAdditionalFilesArchive(SampleTree()));
    for (const char* request : {"", "/", "\\"})
        EXPECT_EQ(extra, GetAdditionalFile(exe, instance, request)) << request;
    EXPECT_EQ("read me", Content(extra + "ReadMe.txt"));
    EXPECT_EQ("the guide", Content(extra + "Docs" + kPathSeparator + "guide.txt"));
    EXPECT_TRUE(FileExists(extra + "Docs" + kPathSeparator + "Img" + kPathSeparator + "logo.bin"));
}

TEST_F(AdditionalFilesTest, MissingNamesAndEscapesGiveNothing) {
    std::string exe = MakeExe(WriteAdditionalFilesArchive(SampleTree()));
    for (const char* request :
         {"nothing.txt", "Docs/nothing.txt", "ReadMe.txt/more", "../ReadMe.txt",
          "Docs/../ReadMe.txt", "C:\\ReadMe.txt", "C:ReadMe.txt"}) {
        EXPECT_EQ("", GetAdditionalFile(exe, instance, request)) << request;
    }
}

TEST_F(AdditionalFilesTest, ASecondRequestKeepsTheExtractedFile) {
    std::string exe = MakeExe(WriteAdditionalFilesArchive(SampleTree()));
    std::string path = GetAdditionalFile(exe, instance, "ReadMe.txt");
    const uint8_t changed[] = {'x'};
    ASSERT_TRUE(WriteWholeFile(path, changed, 1));
    EXPECT_EQ(path, GetAdditionalFile(exe, instance, "readme.TXT"));
    EXPECT_EQ("x", Content(path));
}

TEST_F(AdditionalFilesTest, DamagedFilesLeaveNoPartialFile) {
    std::vector<uint8_t> archive =
        WriteAdditionalFilesArchive({{false, "large.bin", LargeContent(), {}}});
    // The file's CRC ends the root listing, just before the 8-byte trailer.
    std::vector<uint8_t> badCrc = archive;
    badCrc[badCrc.size() - 12] ^= 1;
    std::vector<uint8_t> badStream = archive;
    badStream[badStream.size() / 2] ^= 0xFF;
    for (const auto& damaged : {badCrc, badStream}) {
        FailureCapture failures;
        std::string exe = MakeExe(damaged);
        EXPECT_EQ("", GetAdditionalFile(exe, instance, "large.bin"));
        EXPECT_FALSE(FileExists(extra + "large.bin"));
        EXPECT_EQ(1u, failures.messages().size());
    }
}

TEST_F(AdditionalFilesTest, WithoutAnArchiveFilesBesideTheExecutableAreFound) {
    std::vector<uint8_t> noTrailer;
    std::vector<uint8_t> absent = {1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0, 0};     // present flag 0
    std::vector<uint8_t> bogusSize = {0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0};  // size past the file
    std::vector<uint8_t> badMagic = WriteAdditionalFilesArchive(SampleTree());
    badMagic[0] = 'X';
    const uint8_t beside[] = {'b'};
    ASSERT_TRUE(WriteWholeFile(Path("beside.txt"), beside, 1));
    ASSERT_TRUE(CreateFolder(Path("sub")));
    for (const auto& appended : {noTrailer, absent, bogusSize, badMagic}) {
        std::string exe = MakeExe(appended);
        EXPECT_EQ(Path("beside.txt"), GetAdditionalFile(exe, instance, "\\beside.txt"));
        EXPECT_EQ(Path("sub"), GetAdditionalFile(exe, instance, "sub"));
        EXPECT_EQ(folder, GetAdditionalFile(exe, instance, ""));  // the executable's folder
        EXPECT_EQ("", GetAdditionalFile(exe, instance, "ReadMe.txt"));
        EXPECT_EQ("", GetAdditionalFile(exe, instance, "../beside.txt"));
    }
}

TEST_F(AdditionalFilesTest, EntriesWhoseSizeOverrunsTheListingEndTheScan) {
    std::vector<uint8_t> archive = WriteAdditionalFilesArchive({{false, "a.txt", Bytes("a"), {}}});
    // The entry's size word sits after the is-folder word and the name "a.txt".
    size_t sizeWord = 4 + 4 + 4 + 24 + 4 + 4 + 4 + 12;
    StoreU32(&archive[sizeWord], 1000);
    std::string exe = MakeExe(archive);
    EXPECT_EQ("", GetAdditionalFile(exe, instance, "a.txt"));
}

}  // namespace
}  // namespace kelpo::test
