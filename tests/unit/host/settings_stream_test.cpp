// The settings stream: round trips, embedded files, damaged streams.
#include <gtest/gtest.h>

#include <cstring>

#include "host/embedded_file.h"
#include "host/host_exceptions.h"
#include "host/settings_stream.h"
#include "platform/files.h"
#include "tests/unit/host/host_test_support.h"

namespace kelpo::test {
namespace {

// Every field set to a distinct value, so a field read into the wrong place
// or skipped shows up in the round trip.
ProjectSettings FilledSettings() {
    ProjectSettings s = EmptyProjectSettings();
    s.version = {"Product", "Description", "Company", "(c) 2026", "TM", "Comments", "1.2.3"};
    s.appearance = {kShapeMask, kBorderSingle, kIconMinimize | kIconSystemMenu, kScaleNoBorder, "",
                    ""};
    std::strcpy(s.appearance.maskName, "round");
    std::strcpy(s.appearance.caption, "My caption");
    s.sizeAndPos = {3, 640, 480, 9, 10, 20, 1};
    s.interaction = {1, 2, 256, 17, 273, 0x7A, 3};
    s.behaviour = {0x1111, kBehaviourAutoPlay | kBehaviourShowInSystemTray};
    s.reserved.bytes = {9, 8, 7};
    s.misc.flags = kMiscCustomBackground | kMiscMuteSpeakers;
    s.misc.backgroundColor = 0x00336699;
    s.about.link1Caption = "Home";
    s.about.link1Target = "http://example.org/";
    s.about.link2Caption = "Mail";
    s.about.link2Target = "someone@example.org";
    s.about.link1Color = 0xFF0000;
    s.about.link2Color = 0x00FF00;
    s.about.link1Font = {-12, 0, 0, 0, 700, 1, 1, 0, 0, 3, 2, 1, 34, "Arial"};
    s.about.link2Font = {-11, 5, 1, 2, 400, 0, 0, 1, 204, 0, 0, 0, 0, "Tahoma"};
    s.about.pictureFlags = kAboutShowPicture | kAboutTransparentPicture;
    s.about.pictureWord = 77;
    std::strcpy(s.about.carriedPath, "C:\\carried\\path");
    s.trailing.word1 = 1;
    s.trailing.text = "trailing text";
    s.trailing.word2 = 2;
    for (int i = 0; i < 16; ++i) s.trailing.bytes[i] = static_cast<uint8_t>(i * 3);
    s.trailing.word3 = 3;
    std::strcpy(s.trailing.path, "trailing path");
    s.trailing.short1 = 4;
    s.trailing.short2 = 5;
    return s;
}

class SettingsStreamTest : public ScratchFolderTest {};

TEST_F(SettingsStreamTest, WriteReadWriteGivesIdenticalBytes) {
    ByteWriter first;
    WriteSettingsStream(first, FilledSettings());
    ProjectSettings read = EmptyProjectSettings();
    ByteReader reader = MakeByteReader(first);
    ReadSettingsStream(reader, read, folder);
    EXPECT_EQ(0u, RemainingBytes(reader));
    ByteWriter second;
    WriteSettingsStream(second, read);
    EXPECT_EQ(first, second);

    EXPECT_EQ("1.2.3", read.version.version);
    EXPECT_STREQ("My caption", read.appearance.caption);
    EXPECT_EQ(480, read.sizeAndPos.height);
    EXPECT_EQ(0x7A, read.interaction.hotKeyCode);
    EXPECT_EQ((std::vector<uint8_t>{9, 8, 7}), read.reserved.bytes);
    EXPECT_STREQ("Tahoma", read.about.link2Font.faceName);
    EXPECT_EQ(204, read.about.link2Font.charSet);
    EXPECT_EQ("trailing text", read.trailing.text);
    EXPECT_EQ(45, read.trailing.bytes[15]);
}

TEST_F(SettingsStreamTest, EmptySettingsHaveAFixedSize) {
    ByteWriter writer;
    WriteSettingsStream(writer, EmptyProjectSettings());
    // 7 texts, appearance 16 + 2 texts, size 20, interaction 24, behaviour 8,
    // reserved 4, misc 8 + file, about 4 texts + 8 + 2 fonts (28 + text) + 8
    // + file + path, trailing 4 + text + 4 + 16 + 4 + path + 4.
    const size_t text = 6, file = text + 4;
    size_t expected = 7 * text + 16 + 2 * text + 20 + 24 + 8 + 4 + 8 + file + 4 * text + 8 +
                      2 * (28 + text) + 8 + file + text + 4 + text + 4 + 16 + 4 + text + 4;
    EXPECT_EQ(expected, writer.size());
}

TEST_F(SettingsStreamTest, EmbeddedFilesAreExtractedAndReembedded) {
    std::string source = Path("help.chm");
    const uint8_t content[] = {1, 2, 3, 4, 5};
    ASSERT_TRUE(WriteWholeFile(source, content, sizeof content));
    ProjectSettings s = FilledSettings();
    std::strcpy(s.misc.helpFile, source.c_str());
    ByteWriter stream;
    WriteSettingsStream(stream, s);
    RemoveFile(source);

    std::string instance = Path("instance") + kPathSeparator;
    ASSERT_TRUE(CreateFolder(instance));
    ProjectSettings read = EmptyProjectSettings();
    ByteReader reader = MakeByteReader(stream);
    ReadSettingsStream(reader, read, instance);
    EXPECT_EQ(instance + "help.chm", read.misc.helpFile);
    std::vector<uint8_t> extracted;
    ASSERT_TRUE(ReadWholeFile(read.misc.helpFile, extracted));
    EXPECT_EQ(std::vector<uint8_t>(content, content + 5), extracted);
    EXPECT_STREQ("", read.about.picture);

    ByteWriter again;
    WriteSettingsStream(again, read);
    EXPECT_EQ(stream, again);
}

TEST_F(SettingsStreamTest, EmptyOrRefusedEmbeddedFilesLeaveThePathEmpty) {
    struct Case {
        const char* name;
        std::vector<uint8_t> content;
        bool reported;
    };
    const Case cases[] = {
        {"empty.chm", {}, false},      {"..", {1}, true},           {"..\\escape.chm", {1}, true},
        {"sub/escape.chm", {1}, true}, {"C:escape.chm", {1}, true},
    };
    for (const Case& c : cases) {
        ByteWriter stream;
        WriteCountedText(stream, c.name);
        WriteU32(stream, static_cast<uint32_t>(c.content.size()));
        WriteBytes(stream, c.content.data(), c.content.size());
        WriteU32(stream, 0xABCD);
        FailureCapture failures;
        char path[kPathTextSize] = "previous";
        ByteReader reader = MakeByteReader(stream);
        ReadEmbeddedFile(reader, folder, path);
        EXPECT_STREQ("", path) << c.name;
        EXPECT_EQ(0xABCDu, ReadU32(reader)) << c.name;
        EXPECT_EQ(c.reported, !failures.messages().empty()) << c.name;
    }
    EXPECT_FALSE(FileExists(Path("empty.chm")));
    EXPECT_FALSE(FileExists(FolderOfPath(folder.substr(0, folder.size() - 1)) + "escape.chm"));
}

TEST_F(SettingsStreamTest, EveryTruncationThrows) {
    ByteWriter stream;
    WriteSettingsStream(stream, FilledSettings());
    for (size_t length = 0; length < stream.size(); length += 7) {
        ProjectSettings read = EmptyProjectSettings();
        ByteReader reader = MakeByteReader(stream.data(), length);
        EXPECT_THROW(ReadSettingsStream(reader, read, folder), CTopBaseException) << length;
    }
}

TEST_F(SettingsStreamTest, LongFaceNamesAreCutToTheBuffer) {
    LinkFont font{};
    std::memset(font.faceName, 'f', sizeof font.faceName - 1);
    ByteWriter writer;
    WriteLinkFont(writer, font);
    // Overwrite the face name with a 40-character one.
    writer.resize(28);
    WriteCountedText(writer, std::string(40, 'g'));
    LinkFont read{};
    ByteReader reader = MakeByteReader(writer);
    ReadLinkFont(reader, read);
    EXPECT_EQ(std::string(31, 'g'), read.faceName);
    EXPECT_EQ(0u, RemainingBytes(reader));
}

}  // namespace
}  // namespace kelpo::test
