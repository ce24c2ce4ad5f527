// Private-profile files through the platform layer: the same observable
// behaviour from the system's functions on Windows and from our own reader
// and writer elsewhere. Files live in a fresh temporary folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/profile.h"

#include <unistd.h>
#if defined(_WIN32)
#include <direct.h>
#include <windows.h>
#endif

namespace kelpo {
namespace {

std::string TemporaryFolder() {
#if defined(_WIN32)
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    std::string folder =
        std::string(base) + "kelpo_profile_" + std::to_string(GetCurrentProcessId());
    _mkdir(folder.c_str());
    return folder + "\\";
#else
    char pattern[] = "/tmp/kelpo_profile_XXXXXX";
    const char* folder = mkdtemp(pattern);
    return folder != nullptr ? std::string(folder) + "/" : std::string("./");
#endif
}

void WriteText(const std::string& path, const std::string& text) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = TemporaryFolder();
        path_ = folder_ + "test.ini";
    }
    void TearDown() override {
        DeleteProfileFile(path_.c_str());
#if defined(_WIN32)
        _rmdir(folder_.c_str());
#else
        rmdir(folder_.c_str());
#endif
    }
    std::string folder_;
    std::string path_;
};

TEST_F(ProfileTest, WritesThenReadsKeysWithoutCase) {
    {
        ProfileFile file(path_.c_str());
        file.Write("cfg", "type", "object");
        file.Write("cfg.name", "type", "string");
        file.Write("cfg.name", "value", "a%20b");
        file.Write("CFG", "TYPE", "array");
        EXPECT_TRUE(file.Close());
    }
    ProfileFile file(path_.c_str());
    EXPECT_EQ(file.SectionNames(), (std::vector<std::string>{"cfg", "cfg.name"}));
    EXPECT_EQ(file.Read("cfg", "type", "x"), "array");
    EXPECT_EQ(file.Read("Cfg.Name", "Value", "x"), "a%20b");
    EXPECT_EQ(file.Read("cfg", "value", "fallback"), "fallback");
    EXPECT_EQ(file.Read("nothing", "type", "fallback"), "fallback");
}

TEST_F(ProfileTest, ReadsHandWrittenFiles) {
    WriteText(path_,
              "; comment line\r\n"
              "[first]\r\n"
              "plain=value\r\n"
              "  spaced  =  padded value  \r\n"
              "dq=\"quoted\"\r\n"
              "sq='single'\r\n"
              "half='open\r\n"
              "inner=a\"b\"\r\n"
              "empty=\r\n"
              "\r\n"
              "[second]\n"
              "key=lf only\n"
              "[first]\r\n"
              "plain=second section\r\n");
    ProfileFile file(path_.c_str());
    EXPECT_EQ(file.SectionNames(), (std::vector<std::string>{"first", "second", "first"}));
    EXPECT_EQ(file.Read("first", "plain", "x"), "value");
    EXPECT_EQ(file.Read("first", "spaced", "x"), "padded value");
    EXPECT_EQ(file.Read("first", "dq", "x"), "quoted");
    EXPECT_EQ(file.Read("first", "sq", "x"), "single");
    EXPECT_EQ(file.Read("first", "half", "x"), "'open");
    EXPECT_EQ(file.Read("first", "inner", "x"), "a\"b\"");
    EXPECT_EQ(file.Read("first", "empty", "x"), "");
    EXPECT_EQ(file.Read("second", "key", "x"), "lf only");
}

TEST_F(ProfileTest, WritingKeepsOtherContent) {
    WriteText(path_, "[a]\r\nkeep=1\r\nold=2\r\n\r\n[b]\r\nother=3\r\n");
    {
        ProfileFile file(path_.c_str());
        file.Write("a", "old", "changed");
        file.Write("a", "new", "added");
        file.Write("c", "type", "string");
        EXPECT_TRUE(file.Close());
    }
    ProfileFile file(path_.c_str());
    EXPECT_EQ(file.SectionNames(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(file.Read("a", "keep", "x"), "1");
    EXPECT_EQ(file.Read("a", "old", "x"), "changed");
    EXPECT_EQ(file.Read("a", "new", "x"), "added");
    EXPECT_EQ(file.Read("b", "other", "x"), "3");
    EXPECT_EQ(file.Read("c", "type", "x"), "string");
}

TEST_F(ProfileTest, MissingFilesAndRelativeNames) {
    ProfileFile missing((folder_ + "missing.ini").c_str());
    EXPECT_TRUE(missing.SectionNames().empty());
    EXPECT_EQ(missing.Read("a", "b", "fallback"), "fallback");
    EXPECT_FALSE(DeleteProfileFile((folder_ + "missing.ini").c_str()));

    // A relative name means the current folder.
    char previous[1024];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(folder_.c_str()), 0);
    {
        ProfileFile file("test.ini");
        file.Write("s", "k", "v");
        EXPECT_TRUE(file.Close());
    }
    ASSERT_EQ(chdir(previous), 0);
    ProfileFile file(path_.c_str());
    EXPECT_EQ(file.Read("s", "k", "x"), "v");
}

}  // namespace
}  // namespace kelpo
