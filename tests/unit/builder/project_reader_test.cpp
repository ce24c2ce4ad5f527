// Project files beyond the settings: movies, scripts, menus, masks, icons,
// pictures, support files, the registry location and additional files, with
// the errors of malformed projects and missing inputs.
#include <gtest/gtest.h>

#include "compiler/image.h"
#include "tests/unit/builder/builder_test_support.h"
#include "tools/kelpo-build/project_error.h"
#include "tools/kelpo-build/project_reader.h"
#include "tools/kelpo-build/script_images.h"

namespace kelpo::test {
namespace {

using build::BuildInput;

class ProjectReaderTest : public ProjectFolderTest {};

TEST_F(ProjectReaderTest, EmbeddedMoviesCarryTheirBytesUnderBareNames) {
    WriteFile("movies/intro.swf", "INTRO");
    WriteFile("main.swf", "MAIN");
    WriteFile("plugins/x.dll", "DLL");
    BuildInput input =
        Read(R"({"movies": {"randomStart": true, "files": ["movies/intro.swf", "main.swf"],
                                           "plugins": ["plugins/x.dll"]}})");
    EXPECT_EQ(kMovieListEmbedded | kMovieListRandomStart, input.movieListFlags);
    ASSERT_EQ(3u, input.movies.size());
    EXPECT_EQ("intro.swf", input.movies[0].name);
    EXPECT_EQ(Bytes("INTRO"), input.movies[0].content);
    EXPECT_EQ(kMovieEntryMovie, input.movies[1].kind);
    EXPECT_EQ("x.dll", input.movies[2].name);
    EXPECT_EQ(kMovieEntryPlugIn, input.movies[2].kind);
}

TEST_F(ProjectReaderTest, MoviesBesideTheExecutableKeepTheirPathsAndNeedNoFile) {
    BuildInput input = Read(R"({"movies": {"embed": false, "files": ["movies/intro.swf"]}})");
    EXPECT_EQ(0u, input.movieListFlags);
    ASSERT_EQ(1u, input.movies.size());
    EXPECT_EQ("movies\\intro.swf", input.movies[0].name);
    EXPECT_TRUE(input.movies[0].content.empty());
}

TEST_F(ProjectReaderTest, ScriptsAreCompiledOrTakenAsImages) {
    WriteFile("init.kls", "var greeting = 'hello'; trace(greeting);");
    std::vector<uint8_t> image;
    std::string message;
    ASSERT_TRUE(build::CompileScriptFile(folder + "init.kls", image, message)) << message;
    WriteFile("hook.klc", image);
    BuildInput input =
        Read(R"({"scripts": {"Initialize": "init.kls", "AfterInstall": "hook.klc"}})");
    ASSERT_EQ(2u, input.scripts.size());
    EXPECT_EQ("INITIALIZE", input.scripts[0].name);
    EXPECT_EQ("AFTERINSTALL", input.scripts[1].name);
    EXPECT_EQ(image, input.scripts[1].image);
    for (const auto& script : input.scripts)
        EXPECT_TRUE(build::IsScriptImage(script.image)) << script.name;
}

TEST_F(ProjectReaderTest, MenusAreTreesOfItemsWithNamedFlags) {
    BuildInput input = Read(R"({"menus": {"Main": [
        {"name": "open", "caption": "&Open", "icon": "open.ico", "default": true},
        {"separator": true},
        {"name": "view", "caption": "View", "items": [
            {"name": "big", "caption": "Big", "checked": true, "grayed": true},
            {"name": "off", "caption": "Off", "disabled": true, "flags": 128}
        ]}
    ]}})");
    ASSERT_EQ(1u, input.menus.size());
    EXPECT_EQ("MAIN", input.menus[0].name);
    const auto& items = input.menus[0].items;
    ASSERT_EQ(3u, items.size());
    EXPECT_EQ(kMenuItemDefault, items[0].flags);
    EXPECT_EQ("&Open", items[0].caption);
    EXPECT_EQ("open.ico", items[0].iconPath);
    EXPECT_EQ(kMenuItemSeparator, items[1].flags);
    EXPECT_EQ(kMenuItemPopup, items[2].flags);
    ASSERT_EQ(2u, items[2].children.size());
    EXPECT_EQ(kMenuItemChecked | kMenuItemGrayed, items[2].children[0].flags);
    EXPECT_EQ(kMenuItemDisabled | 128u, items[2].children[1].flags);
}

TEST_F(ProjectReaderTest, MasksIconsPicturesAndSupportFiles) {
    WriteFile("round.msk", "MASK");
    WriteFile("app.ico", MakeIcoFile({4, 8}));
    WriteFile("about.bmp", "BMP");
    WriteFile("player.ocx", "OCX");
    WriteFile("dlls/urlmon.dll", "URL");
    BuildInput input = Read(R"({
        "appearance": {"windowShape": "mask", "maskName": "round"},
        "masks": {"round": "round.msk"},
        "icons": {"128": "app.ico"},
        "aboutPicture": "about.bmp",
        "player": "player.ocx",
        "support": {"urlmon.dll": "dlls/urlmon.dll"}})");
    ASSERT_EQ(1u, input.masks.size());
    EXPECT_EQ("round", input.masks[0].name);
    EXPECT_EQ(Bytes("MASK"), input.masks[0].content);
    ASSERT_EQ(1u, input.icons.size());
    EXPECT_EQ(128, input.icons[0].groupId);
    EXPECT_TRUE(input.aboutPicture.present);
    EXPECT_EQ(Bytes("OCX"), input.player.content);
    EXPECT_FALSE(input.support[0].present);
    EXPECT_TRUE(input.support[2].present);
    EXPECT_EQ(Bytes("URL"), input.support[2].content);
}

TEST_F(ProjectReaderTest, TheRegistryLocationDefaultsToTheProductName) {
    EXPECT_EQ("Sample", Read("{}").registryText);
    EXPECT_EQ("Acme/Tour", Read(R"({"registry": "Acme/Tour"})").registryText);
}

TEST_F(ProjectReaderTest, AdditionalFilesAreTheWholeTreeInNameOrder) {
    WriteFile("extra/b.txt", "B");
    WriteFile("extra/a.txt", "A");
    WriteFile("extra/docs/deep/c.txt", "C");
    BuildInput input = Read(R"({"additionalFiles": "extra"})");
    ASSERT_TRUE(input.hasAdditionalFiles);
    const auto& root = input.additionalFiles;
    ASSERT_EQ(3u, root.size());
    EXPECT_EQ("a.txt", root[0].name);
    EXPECT_EQ(Bytes("A"), root[0].content);
    EXPECT_EQ("b.txt", root[1].name);
    ASSERT_TRUE(root[2].folder);
    EXPECT_EQ("docs", root[2].name);
    ASSERT_EQ(1u, root[2].children.size());
    ASSERT_EQ(1u, root[2].children[0].children.size());
    EXPECT_EQ(Bytes("C"), root[2].children[0].children[0].content);
    EXPECT_FALSE(Read("{}").hasAdditionalFiles);
}

TEST_F(ProjectReaderTest, MalformedProjectsAreRefusedAtTheFaultyField) {
    WriteFile("a.swf", "A");
    WriteFile("sub/a.swf", "A");
    WriteFile("bad.klc", "KS1b but not an image");
    WriteFile("bad.ico", "not an icon");
    WriteFile("m.msk", "M");
    WriteFile("ok.kls", "trace(1);");
    const struct {
        const char* json;
        const char* error;
    } cases[] = {
        {"[1, 2]", "the project file must hold a JSON object"},
        {R"({"movies": )", "not valid JSON: parse error at line 1, column 12"},
        {"{\"version\": {\"productName\": \"\xFF\"}}", "not valid JSON"},
        {R"({"moves": {}})", "/moves: unknown key"},
        {R"({"movies": {"files": "a.swf"}})", "/movies/files: expected an array of file names"},
        {R"({"movies": {"files": [""]}})", "/movies/files/0: expected a file name"},
        {R"({"movies": {"files": ["a.swf", "sub/a.swf"]}})",
         "/movies/files/1: a second embedded file named \"a.swf\""},
        {R"({"movies": {"embed": "yes"}})", "/movies/embed: expected true or false"},
        {R"({"movies": {"loop": true}})", "/movies/loop: unknown key"},
        {R"({"scripts": {"Init": 3}})", "/scripts/Init: expected a text"},
        {R"({"scripts": {"in it": "a.kls"}})", "/scripts/in it: the name \"in it\" may use only"},
        {R"({"scripts": {"": "a.kls"}})", "/scripts/: a name may not be empty"},
        {R"({"scripts": {"Hook": "bad.klc"}})", "/scripts/Hook: \""},
        {R"({"scripts": {"init": "ok.kls", "INIT": "ok.kls"}})",
         "/scripts/INIT: a second script named \"INIT\""},
        {R"({"menus": {"main": [], "Main": []}})", "/menus/Main: a second menu named \"MAIN\""},
        {R"({"menus": {"Main": {}}})", "/menus/Main: expected an array of menu items"},
        {R"({"menus": {"Main": [{"caption": "x", "checked": 1}]}})",
         "/menus/Main/0/checked: expected true or false"},
        {R"({"menus": {"Main": [{"items": [{"label": "x"}]}]}})",
         "/menus/Main/0/items/0/label: unknown key"},
        {R"({"menus": {"Main": [{"flags": 2}]}})", "/menus/Main/0: a pop-up item needs \"items\""},
        {R"({"masks": {"round": "m.msk", "ROUND": "m.msk"}})", "/masks/ROUND: a second mask named"},
        {R"({"appearance": {"maskName": "oval"}})",
         "/appearance/maskName: no mask named \"oval\" in /masks"},
        {R"({"appearance": {"windowShape": "mask"}})",
         "/appearance/maskName: a mask-shaped window needs a mask name"},
        {R"({"icons": {"128": "bad.ico"}})", "/icons/128: not an icon file"},
        {R"({"icons": {"129": "bad.ico"}})", "/icons/129: unknown key"},
        {R"({"support": {"KERNEL32.DLL": "a.swf"}})",
         "/support/KERNEL32.DLL: unknown support file"},
        {R"({"registry": ""})", "/registry: the registry location is empty"},
        {R"({"additionalFiles": "a.swf"})", "/additionalFiles: no such folder"},
    };
    for (const auto& c : cases) {
        std::string error = ErrorOf(c.json);
        EXPECT_EQ(0u, error.find(c.error)) << c.json << "\n  gave: " << error;
    }
}

TEST_F(ProjectReaderTest, MissingInputFilesAreNamedWithTheirPaths) {
    const struct {
        const char* json;
        const char* field;
        const char* file;
    } cases[] = {
        {R"({"movies": {"files": ["gone.swf"]}})", "/movies/files/0", "gone.swf"},
        {R"({"movies": {"plugins": ["gone.dll"]}})", "/movies/plugins/0", "gone.dll"},
        {R"({"scripts": {"Init": "gone.kls"}})", "/scripts/Init", "gone.kls"},
        {R"({"scripts": {"Init": "gone.klc"}})", "/scripts/Init", "gone.klc"},
        {R"({"masks": {"round": "gone.msk"}})", "/masks/round", "gone.msk"},
        {R"({"icons": {"198": "gone.ico"}})", "/icons/198", "gone.ico"},
        {R"({"aboutPicture": "gone.bmp"})", "/aboutPicture", "gone.bmp"},
        {R"({"player": "gone.ocx"})", "/player", "gone.ocx"},
        {R"({"support": {"MSVCRT.DLL": "gone.dll"}})", "/support/MSVCRT.DLL", "gone.dll"},
        {R"({"about": {"picture": "gone.bmp"}})", "/about/picture", "gone.bmp"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::string(c.field) + ": no such file \"" + folder + c.file + "\"",
                  ErrorOf(c.json))
            << c.json;
    }
}

TEST_F(ProjectReaderTest, AScriptThatDoesNotCompileGivesTheCompilerMessage) {
    WriteFile("broken.kls", "var x = ;\n");
    std::string error = ErrorOf(R"({"scripts": {"Initialize": "broken.kls"}})");
    EXPECT_EQ(0u, error.find("/scripts/Initialize: " + folder + "broken.kls: ")) << error;
    EXPECT_NE(std::string::npos, error.find("syntax error")) << error;
    EXPECT_EQ(std::string::npos, error.find('\n')) << error;
}

TEST_F(ProjectReaderTest, TheProductNameDefaultsToTheProjectFileName) {
    WriteFile("tour.json", "{}");
    EXPECT_EQ("tour", build::ReadProjectFile(folder + "tour.json").settings.version.productName);
    try {
        build::ReadProjectFile(folder + "absent.json");
        ADD_FAILURE() << "an absent project file was read";
    } catch (const build::ProjectError& error) {
        EXPECT_EQ("cannot read the project file \"" + folder + "absent.json\"",
                  std::string(error.what()));
    }
}

}  // namespace
}  // namespace kelpo::test
