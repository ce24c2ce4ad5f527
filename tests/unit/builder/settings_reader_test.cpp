// Settings groups of project files: defaults, every field by name, symbolic
// names, and refused values with their JSON paths.
#include <gtest/gtest.h>

#include <cstring>

#include "host/byte_stream.h"
#include "host/settings_stream.h"
#include "platform/files.h"
#include "tests/unit/builder/builder_test_support.h"
#include "tools/kelpo-build/resource_plan.h"

namespace kelpo::test {
namespace {

using build::BuildInput;

class SettingsReaderTest : public ProjectFolderTest {};

TEST_F(SettingsReaderTest, AnEmptyProjectGetsTheDefaults) {
    ProjectSettings s = Read("{}").settings;
    EXPECT_EQ("Sample", s.version.productName);
    EXPECT_STREQ("Sample", s.appearance.caption);
    EXPECT_EQ(kShapeRectangle, s.appearance.windowShape);
    EXPECT_EQ(kBorderResizable, s.appearance.borderStyle);
    EXPECT_EQ(kIconMinimize | kIconMaximize | kIconSystemMenu, s.appearance.borderIcons);
    EXPECT_EQ(kScaleShowAll, s.appearance.scaleMode);
    EXPECT_EQ(0u, s.sizeAndPos.windowSize);
    EXPECT_EQ(4u, s.sizeAndPos.pos);
    EXPECT_EQ(1u, s.interaction.exitKeys);
    EXPECT_EQ(1u | 16u | 256u | 4096u, s.behaviour.contextMenu);
    EXPECT_EQ(kBehaviourAutoPlay, s.behaviour.flags);
    EXPECT_STREQ("", s.appearance.maskName);
    EXPECT_STREQ("", s.misc.helpFile);
}

TEST_F(SettingsReaderTest, TheCaptionFollowsTheProductNameUnlessGiven) {
    EXPECT_STREQ("Tour",
                 Read(R"({"version": {"productName": "Tour"}})").settings.appearance.caption);
    EXPECT_STREQ("Own",
                 Read(R"({"version": {"productName": "Tour"}, "appearance": {"caption": "Own"}})")
                     .settings.appearance.caption);
}

TEST_F(SettingsReaderTest, EveryFieldIsReadByItsName) {
    WriteFile("help.chm", "HELP");
    WriteFile("pictures/about.bmp", "BM..");
    BuildInput input = Read(R"({
        "version": {"productName": "P", "fileDescription": "D", "companyName": "C", "copyright": "R",
                    "trademarks": "T", "comments": "M", "version": "1.2"},
        "appearance": {"windowShape": 1, "borderStyle": 4112, "borderIcons": 4097, "scaleMode": 256,
                       "maskName": "", "caption": "Cap"},
        "sizeAndPos": {"windowSize": 3, "width": 640, "height": 480, "pos": 9, "left": 10, "top": 20,
                       "bKeepRatio": 0},
        "interaction": {"lBtnClk": 1, "rBtnClk": 2, "keyPress": 256, "exitKeys": 16, "lockFlags": 273,
                        "hotKeyCode": 81, "hotKeyModifiers": 3},
        "behaviour": {"contextMenu": 2, "flags": 4352},
        "reserved": {"bytes": [1, 2, 3]},
        "misc": {"flags": 4097, "backgroundColor": "#336699", "helpFile": "help.chm"},
        "about": {"link1Caption": "Web", "link1Target": "http://example.org", "link2Caption": "Mail",
                  "link2Target": "a@example.org", "link1Color": 255, "link2Color": "#00FF00",
                  "link1Font": {"height": -12, "width": 1, "escapement": 2, "orientation": 3, "weight": 700,
                                "italic": 1, "underline": 0, "strikeOut": 1, "charSet": 2, "outPrecision": 3,
                                "clipPrecision": 4, "quality": 5, "pitchAndFamily": 6, "faceName": "Arial"},
                  "link2Font": {"faceName": "Verdana"},
                  "pictureFlags": 256, "pictureWord": 7, "picture": "pictures/about.bmp", "carriedPath": "c:\\x"},
        "trailing": {"word1": 1, "text": "t", "word2": 2, "bytes": [0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15],
                     "word3": 3, "path": "p", "short1": 4, "short2": 5}
    })");
    const ProjectSettings& s = input.settings;
    EXPECT_EQ(
        (std::vector<std::string>{"P", "D", "C", "R", "T", "M", "1.2"}),
        (std::vector<std::string>{s.version.productName, s.version.fileDescription,
                                  s.version.companyName, s.version.copyright, s.version.trademarks,
                                  s.version.comments, s.version.version}));
    EXPECT_EQ((std::vector<uint32_t>{1, 4112, 4097, 256}),
              (std::vector<uint32_t>{s.appearance.windowShape, s.appearance.borderStyle,
                                     s.appearance.borderIcons, s.appearance.scaleMode}));
    EXPECT_STREQ("Cap", s.appearance.caption);
    EXPECT_EQ((std::vector<uint32_t>{3, 640, 480, 9, 10, 20, 0}),
              (std::vector<uint32_t>{s.sizeAndPos.windowSize, s.sizeAndPos.width,
                                     s.sizeAndPos.height, s.sizeAndPos.pos, s.sizeAndPos.left,
                                     s.sizeAndPos.top, s.sizeAndPos.bKeepRatio}));
    EXPECT_EQ(
        (std::vector<uint32_t>{1, 2, 256, 16, 273, 81, 3}),
        (std::vector<uint32_t>{s.interaction.lBtnClk, s.interaction.rBtnClk, s.interaction.keyPress,
                               s.interaction.exitKeys, s.interaction.lockFlags,
                               s.interaction.hotKeyCode, s.interaction.hotKeyModifiers}));
    EXPECT_EQ(2u, s.behaviour.contextMenu);
    EXPECT_EQ(4352u, s.behaviour.flags);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), s.reserved.bytes);
    EXPECT_EQ(4097u, s.misc.flags);
    EXPECT_EQ(0x996633u, s.misc.backgroundColor);  // bytes red, green, blue
    EXPECT_EQ(folder + "help.chm", s.misc.helpFile);
    EXPECT_EQ("a@example.org", s.about.link2Target);
    EXPECT_EQ(255u, s.about.link1Color);
    EXPECT_EQ(0x00FF00u, s.about.link2Color);
    const LinkFont& f = s.about.link1Font;
    EXPECT_EQ((std::vector<int32_t>{-12, 1, 2, 3, 700, 1, 0, 1, 2, 3, 4, 5, 6}),
              (std::vector<int32_t>{f.height, f.width, f.escapement, f.orientation, f.weight,
                                    f.italic, f.underline, f.strikeOut, f.charSet, f.outPrecision,
                                    f.clipPrecision, f.quality, f.pitchAndFamily}));
    EXPECT_STREQ("Arial", f.faceName);
    EXPECT_STREQ("Verdana", s.about.link2Font.faceName);
    EXPECT_EQ(400, s.about.link2Font.weight);  // the rest of a font keeps its default
    EXPECT_EQ(256u, s.about.pictureFlags);
    EXPECT_EQ(7u, s.about.pictureWord);
    EXPECT_EQ(folder + "pictures/about.bmp", s.about.picture);
    EXPECT_STREQ("c:\\x", s.about.carriedPath);
    EXPECT_EQ(1u, s.trailing.word1);
    EXPECT_EQ("t", s.trailing.text);
    EXPECT_EQ(15, s.trailing.bytes[15]);
    EXPECT_STREQ("p", s.trailing.path);
    EXPECT_EQ(5, s.trailing.short2);

    // The settings stream reads back to the same record, the embedded files
    // arriving in the reader's folder.
    std::vector<uint8_t> stream = build::SettingsStreamOf(s);
    ProjectSettings back = EmptyProjectSettings();
    ByteReader reader = MakeByteReader(stream);
    std::string extracted = folder + "out" + kPathSeparator;
    ASSERT_TRUE(CreateFolder(extracted));
    ReadSettingsStream(reader, back, extracted);
    EXPECT_EQ(extracted + "about.bmp", back.about.picture);
    EXPECT_EQ(extracted + "help.chm", back.misc.helpFile);
    EXPECT_STREQ("Cap", back.appearance.caption);
    EXPECT_EQ(s.trailing.short2, back.trailing.short2);
}

TEST_F(SettingsReaderTest, ChoicesAndFlagsTakeSymbolicNames) {
    const struct {
        const char* json;
        uint32_t expected;
        uint32_t (*field)(const ProjectSettings&);
    } cases[] = {
        {R"({"appearance": {"windowShape": "transparentBackground"}})", kShapeTransparentBackground,
         [](const ProjectSettings& s) { return s.appearance.windowShape; }},
        {R"({"appearance": {"borderStyle": ["single", "hideTaskbarButton"]}})",
         kBorderSingle | kBorderHideTaskbarButton,
         [](const ProjectSettings& s) { return s.appearance.borderStyle; }},
        {R"({"appearance": {"borderIcons": ["systemMenu", 4096]}})", kIconSystemMenu | kIconHelp,
         [](const ProjectSettings& s) { return s.appearance.borderIcons; }},
        {R"({"appearance": {"borderIcons": []}})", 0,
         [](const ProjectSettings& s) { return s.appearance.borderIcons; }},
        {R"({"appearance": {"scaleMode": "exactFit"}})", kScaleExactFit,
         [](const ProjectSettings& s) { return s.appearance.scaleMode; }},
        {R"({"sizeAndPos": {"windowSize": "fullScreen", "pos": "bottomRight"}})", 1 * 100 + 8,
         [](const ProjectSettings& s) { return s.sizeAndPos.windowSize * 100 + s.sizeAndPos.pos; }},
        {R"({"interaction": {"lBtnClk": "dragWindow", "rBtnClk": "ignore"}})", 1 * 100 + 2,
         [](const ProjectSettings& s) {
             return s.interaction.lBtnClk * 100 + s.interaction.rBtnClk;
         }},
        {R"({"interaction": {"exitKeys": ["esc", "hotKey"], "lockFlags": ["disableScreenSaver"]}})",
         17 * 1000 + 256,
         [](const ProjectSettings& s) {
             return s.interaction.exitKeys * 1000 + s.interaction.lockFlags;
         }},
        {R"({"behaviour": {"contextMenu": ["about"], "flags": ["alwaysOnTop", "showInSystemTray"]}})",
         256 * 10000 + (kBehaviourAlwaysOnTop | kBehaviourShowInSystemTray),
         [](const ProjectSettings& s) {
             return s.behaviour.contextMenu * 10000 + s.behaviour.flags;
         }},
        {R"({"misc": {"flags": ["muteSpeakers"]}, "about": {"pictureFlags": ["showMovie"]}})",
         kMiscMuteSpeakers * 10000 + kAboutShowMovie,
         [](const ProjectSettings& s) { return s.misc.flags * 10000 + s.about.pictureFlags; }},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, c.field(Read(c.json).settings)) << c.json;
}

TEST_F(SettingsReaderTest, BadFieldsAreNamedByTheirPath) {
    const struct {
        const char* json;
        const char* error;
    } cases[] = {
        {R"({"appearance": {"borderStyle": "thick"}})",
         "/appearance/borderStyle: expected a number or an array of: none, single, resizable, smallCaption, "
         "hideTaskbarButton"},
        {R"({"appearance": {"borderStyle": true}})",
         "/appearance/borderStyle: expected a number or an array of"},
        {R"({"appearance": {"borderIcons": ["minimise"]}})",
         "/appearance/borderIcons/0: unknown name \"minimise\""},
        {R"({"appearance": {"windowShape": -1}})",
         "/appearance/windowShape: expected a whole number from 0 to"},
        {R"({"appearance": {"windowShape": "oval"}})",
         "/appearance/windowShape: unknown name \"oval\""},
        {R"({"appearance": {"caption": 5}})", "/appearance/caption: expected a text"},
        {R"({"appearance": {"bordrStyle": 1}})", "/appearance/bordrStyle: unknown key"},
        {R"({"appearance": []})", "/appearance: expected an object"},
        {R"({"sizeAndPos": {"width": 65536}})",
         "/sizeAndPos/width: expected a whole number from 0 to 65535"},
        {R"({"sizeAndPos": {"width": 1.5}})",
         "/sizeAndPos/width: expected a whole number from 0 to 65535"},
        {R"({"interaction": {"hotKeyCode": "Q"}})", "/interaction/hotKeyCode: expected a number"},
        {R"({"behaviour": {"flags": [{}]}})", "/behaviour/flags/0: expected a number or one of"},
        {R"({"misc": {"backgroundColor": "#12345"}})",
         "/misc/backgroundColor: expected a number or \"#RRGGBB\""},
        {R"({"misc": {"backgroundColor": 16777216}})",
         "/misc/backgroundColor: expected a whole number from 0 to"},
        {R"({"misc": {"helpFile": "missing.chm"}})", "/misc/helpFile: no such file"},
        {R"({"about": {"link1Font": {"italic": 256}}})",
         "/about/link1Font/italic: expected a whole number from 0 to 255"},
        {R"({"about": {"link1Font": {"faceName": "A face name far longer than thirty-one"}}})",
         "/about/link1Font/faceName: text longer than 31 characters"},
        {R"({"about": {"link2Font": {"size": 3}}})", "/about/link2Font/size: unknown key"},
        {R"({"about": {"link1Font": {"height": 3000000000}}})",
         "/about/link1Font/height: expected a whole number from"},
        {R"({"trailing": {"bytes": [1, 2]}})", "/trailing/bytes: expected an array of 16 numbers"},
        {R"({"reserved": {"bytes": [300]}})",
         "/reserved/bytes/0: expected a whole number from 0 to 255"},
        {R"({"version": {"productName": null}})", "/version/productName: expected a text"},
        {R"({"a/b~": 1})", "/a~1b~0: unknown key"},
    };
    for (const auto& c : cases) {
        std::string error = ErrorOf(c.json);
        EXPECT_EQ(0u, error.find(c.error)) << c.json << "\n  gave: " << error;
    }
}

TEST_F(SettingsReaderTest, ALongCaptionIsRefusedNotCut) {
    std::string caption(kPathTextSize - 1, 'c');
    EXPECT_EQ(
        caption,
        Read(R"({"appearance": {"caption": ")" + caption + "\"}}").settings.appearance.caption);
    EXPECT_EQ("/appearance/caption: text longer than 259 characters",
              ErrorOf(R"({"appearance": {"caption": ")" + caption + "c\"}}"));
}

TEST_F(SettingsReaderTest, TextsAreConvertedFromUtf8ToTheAnsiCodePage) {
    // "Café ☕": é is in Windows-1252, the cup is not.
    ProjectSettings s =
        Read("{\"version\": {\"productName\": \"Caf\xC3\xA9 \xE2\x98\x95\"}}").settings;
    EXPECT_EQ("Caf\xE9 ?", s.version.productName);
}

}  // namespace
}  // namespace kelpo::test
