// End to end under Windows: kelpo-build packages a small project into a copy
// of a template program, and the output is read back the way the projector
// reads itself: resources through LoadLibraryEx as a data file, the
// additional files through GetAdditionalFile. Failed builds leave nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "host/additional_files.h"
#include "host/byte_stream.h"
#include "host/id_resource.h"
#include "host/movie_list.h"
#include "host/packed_container.h"
#include "host/settings_stream.h"
#include "host/shape_masks.h"
#include "host/stored_menu.h"
#include "platform/files.h"
#include "tools/movie-writer/movie_file.h"
#include "tests/unit/builder/builder_test_support.h"
#include "tools/kelpo-build/script_images.h"

using namespace kelpo::movies;

namespace kelpo::test {
namespace {

std::string ProgramFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : FolderOfPath(path);
}

struct BuildRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string errors;  // standard error
};

// Runs kelpo-build with `arguments`, standard error captured in a file.
BuildRun RunBuilder(const std::string& arguments, const std::string& errorFile) {
    BuildRun run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE errors = CreateFileA(errorFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (errors == INVALID_HANDLE_VALUE) return run;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = errors;
    std::string commandLine = "\"" + ProgramFolder() + "kelpo-build.exe\" " + arguments;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(errors);
    std::vector<uint8_t> text;
    ReadWholeFile(errorFile, text);
    run.errors.assign(text.begin(), text.end());
    return run;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The resources of a built executable, loaded as a data file.
class PackagedResources {
public:
    explicit PackagedResources(const std::string& path)
        : module_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~PackagedResources() {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    PackagedResources(const PackagedResources&) = delete;
    PackagedResources& operator=(const PackagedResources&) = delete;

    bool loaded() const { return module_ != nullptr; }
    bool Has(const char* type, const char* name) const {
        return FindResourceA(module_, name, type) != nullptr;
    }

    std::vector<uint8_t> Raw(const char* type, const char* name) const {
        HRSRC found = FindResourceA(module_, name, type);
        if (found == nullptr) {
            ADD_FAILURE() << "no resource " << type << "/" << name;
            return {};
        }
        HGLOBAL loaded = LoadResource(module_, found);
        auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
        return std::vector<uint8_t>(bytes, bytes + SizeofResource(module_, found));
    }

    std::vector<uint8_t> Unpacked(const char* type, const char* name) const {
        std::vector<uint8_t> packed = Raw(type, name), bytes;
        EXPECT_TRUE(UnpackContainer(packed.data(), packed.size(), bytes)) << type << "/" << name;
        return bytes;
    }

private:
    HMODULE module_;
};

class PackagingTest : public ProjectFolderTest {
protected:
    void SetUp() override {
        ProjectFolderTest::SetUp();
        FramedMovie movie;
        movie.header.frameCount = 2;
        movie.fsCommands.emplace(1, std::make_pair("Kelpo_Run", "INITIALIZE"));
        WriteFile("movies/intro.swf", WriteFramedMovie(movie));
        movie.header.compressed = true;
        WriteFile("main.swf", WriteFramedMovie(movie));
        WriteFile("init.kls", "var count = 2; trace('ready ' + count);");
        WriteFile("hook.kls", "trace('installed');");
        std::vector<uint8_t> image;
        std::string message;
        ASSERT_TRUE(build::CompileScriptFile(folder + "hook.kls", image, message)) << message;
        WriteFile("hook.klc", image);
        WriteFile("round.msk", "MASKBITS");
        WriteFile("app.ico", MakeIcoFile({40, 60}));
        WriteFile("about.bmp", "BMABOUT");
        WriteFile("help.chm", "HELP");
        WriteFile("player.ocx", "PLAYER");
        WriteFile("support/urlmon.dll", "URLMON");
        WriteFile("extra/readme.txt", "read me");
        WriteFile("extra/docs/guide.txt", "the guide");
    }

    std::string Project(int width) const {
        return R"({
            "version": {"productName": "Harbour Tour", "version": "1.0"},
            "appearance": {"windowShape": "mask", "maskName": "round", "borderStyle": 16},
            "sizeAndPos": {"windowSize": "custom", "width": )" +
               std::to_string(width) + R"(, "height": 480},
            "misc": {"flags": ["useHelpFile"], "helpFile": "help.chm"},
            "movies": {"files": ["movies/intro.swf", "main.swf"]},
            "scripts": {"Initialize": "init.kls", "AfterInstall": "hook.klc"},
            "menus": {"Tray": [{"name": "quit", "caption": "Quit", "default": true},
                               {"name": "more", "caption": "More", "items": [{"name": "a", "caption": "A"}]}]},
            "masks": {"round": "round.msk"},
            "icons": {"128": "app.ico"},
            "aboutPicture": "about.bmp",
            "player": "player.ocx",
            "support": {"URLMON.DLL": "support/urlmon.dll"},
            "registry": "Harbour/Tour",
            "additionalFiles": "extra"
        })";
    }

    BuildRun Build(const std::string& projectText, const std::string& output) {
        WriteFile("project.json", projectText);
        return RunBuilder(Quoted(folder + "project.json") + " -o " + Quoted(output) +
                              " --template " +
                              Quoted(ProgramFolder() + "builder_template_program.exe"),
                          folder + "errors.txt");
    }

    // Names in the scratch folder's top level other than the inputs.
    std::vector<std::string> LeftoverFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::string name = entry.path().filename().string();
            if (name.find(".tmp") != std::string::npos || name.find(".exe") != std::string::npos)
                names.push_back(name);
        }
        return names;
    }
};

TEST_F(PackagingTest, EveryStoreIsReadBackFromTheBuiltExecutable) {
    std::string output = folder + "tour.exe";
    BuildRun run = Build(Project(640), output);
    ASSERT_EQ(0u, run.exitCode) << run.errors;
    EXPECT_EQ("", run.errors);
    PackagedResources exe(output);
    ASSERT_TRUE(exe.loaded());

    // Settings: the stream reads back to what the project gave.
    std::vector<uint8_t> stream = exe.Unpacked("QANTOR", "ST");
    ProjectSettings settings = EmptyProjectSettings();
    ByteReader reader = MakeByteReader(stream);
    std::string instance = folder + "instance" + kPathSeparator;
    ASSERT_TRUE(CreateFolder(instance));
    ReadSettingsStream(reader, settings, instance);
    EXPECT_EQ(0u, RemainingBytes(reader));
    EXPECT_EQ("Harbour Tour", settings.version.productName);
    EXPECT_STREQ("Harbour Tour", settings.appearance.caption);
    EXPECT_EQ(kShapeMask, settings.appearance.windowShape);
    EXPECT_STREQ("round", settings.appearance.maskName);
    EXPECT_EQ(kBorderSingle, settings.appearance.borderStyle);
    EXPECT_EQ(3u, settings.sizeAndPos.windowSize);
    EXPECT_EQ(640, settings.sizeAndPos.width);
    EXPECT_EQ(kMiscUseHelpFile, settings.misc.flags);
    EXPECT_EQ(instance + "help.chm", settings.misc.helpFile);
    EXPECT_EQ(ComputeSettingsIdentity(stream), exe.Raw("QANTOR", "CS"));
    EXPECT_EQ(16u, exe.Raw("QANTOR", "CS").size());

    // Movies, embedded under their bare names.
    std::vector<uint8_t> movies = exe.Unpacked("QANTOR", "ML");
    MovieList list;
    ReadMovieList(movies.data(), movies.size(), instance, folder, list);
    EXPECT_EQ(kMovieListEmbedded, list.flags);
    ASSERT_EQ((std::vector<std::string>{instance + "intro.swf", instance + "main.swf"}),
              list.paths);
    std::vector<uint8_t> intro, original;
    ASSERT_TRUE(ReadWholeFile(list.paths[0], intro));
    ASSERT_TRUE(ReadWholeFile(folder + "movies\\intro.swf", original));
    EXPECT_EQ(original, intro);

    std::vector<uint8_t> masks = exe.Unpacked("QANTOR", "RG");
    std::vector<std::string> maskNames;
    ReadShapeMasks(masks.data(), masks.size(), instance, maskNames);
    EXPECT_EQ(std::vector<std::string>{"round"}, maskNames);

    std::vector<uint8_t> menu = exe.Unpacked("MENUS", "TRAY");
    std::vector<StoredMenuItem> items;
    ASSERT_TRUE(ReadStoredMenu(menu.data(), menu.size(), items));
    ASSERT_EQ(2u, items.size());
    EXPECT_EQ(kMenuItemDefault, items[0].flags);
    EXPECT_EQ("Quit", items[0].caption);
    ASSERT_EQ(1u, items[1].children.size());

    for (const char* script : {"INITIALIZE", "AFTERINSTALL"}) {
        std::vector<uint8_t> image = exe.Unpacked("KELPO", script);
        EXPECT_TRUE(build::IsScriptImage(image)) << script;
    }
    // Names are stored uppercase, so any letter case finds them.
    EXPECT_TRUE(exe.Has("kelpo", "initialize"));

    std::vector<uint8_t> id = exe.Raw("QANTOR", "ID");
    ProjectIdentity identity;
    ASSERT_TRUE(ReadIdResource(id.data(), id.size(), "Harbour Tour", identity));
    EXPECT_EQ("Harbour", identity.key);
    EXPECT_EQ("Tour", identity.profile);

    EXPECT_EQ(Bytes("BMABOUT"), exe.Unpacked("QANTOR", "BK"));
    EXPECT_EQ(Bytes("PLAYER"), exe.Unpacked("QANTOR", "FP"));
    EXPECT_EQ(std::vector<uint8_t>(1, 0), exe.Raw("SUPPORT", "$1"));
    EXPECT_EQ(std::vector<uint8_t>(1, 0), exe.Raw("SUPPORT", "$2"));
    EXPECT_EQ(Bytes("URLMON"), exe.Unpacked("SUPPORT", "$3"));
    EXPECT_EQ(std::vector<uint8_t>(1, 0), exe.Raw("SUPPORT", "$4"));
    EXPECT_TRUE(exe.Has(MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(128)));   // RT_GROUP_ICON
    EXPECT_TRUE(exe.Has(MAKEINTRESOURCEA(3), MAKEINTRESOURCEA(12801)));  // RT_ICON

    // The additional files, found in the archive appended to the executable.
    for (const auto& [request, content] :
         {std::make_pair("readme.txt", "read me"), std::make_pair("DOCS/Guide.txt", "the guide")}) {
        std::string extracted = GetAdditionalFile(output, instance, request);
        ASSERT_NE("", extracted) << request;
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile(extracted, bytes));
        EXPECT_EQ(Bytes(content), bytes) << request;
    }
    EXPECT_EQ("", GetAdditionalFile(output, instance, "absent.txt"));
    DeleteEmbeddedMovies(list);
}

TEST_F(PackagingTest, TheSettingsIdentityChangesWithTheSettings) {
    ASSERT_EQ(0u, Build(Project(640), folder + "a.exe").exitCode);
    ASSERT_EQ(0u, Build(Project(641), folder + "b.exe").exitCode);
    ASSERT_EQ(0u, Build(Project(640), folder + "c.exe").exitCode);
    std::vector<uint8_t> a, b, c;
    {
        PackagedResources exe(folder + "a.exe");
        a = exe.Raw("QANTOR", "CS");
    }
    {
        PackagedResources exe(folder + "b.exe");
        b = exe.Raw("QANTOR", "CS");
    }
    {
        PackagedResources exe(folder + "c.exe");
        c = exe.Raw("QANTOR", "CS");
    }
    EXPECT_EQ(16u, a.size());
    EXPECT_NE(a, b);
    EXPECT_EQ(a, c);
}

TEST_F(PackagingTest, AFailedBuildLeavesNoOutput) {
    const struct {
        std::string project;
        std::string output;
        std::string error;
    } cases[] = {
        {R"({"movies": {"files": ["gone.swf"]}})", folder + "out.exe",
         "/movies/files/0: no such file \"" + folder + "gone.swf\""},
        {R"({"appearance": {"borderStyle": "x"}})", folder + "out.exe",
         "/appearance/borderStyle: "},
        {R"({"scripts": {"Init": "bad.kls"}})", folder + "out.exe", "/scripts/Init: "},
        {"{}", folder + "no-such-folder\\out.exe",
         "kelpo-build: cannot write \"" + folder + "no-such-folder\\out.exe\""},
    };
    WriteFile("bad.kls", "function (");
    for (const auto& c : cases) {
        BuildRun run = Build(c.project, c.output);
        EXPECT_EQ(1u, run.exitCode) << c.project;
        EXPECT_NE(std::string::npos, run.errors.find(c.error)) << run.errors;
        ASSERT_FALSE(run.errors.empty());
        EXPECT_EQ(run.errors.find('\n'), run.errors.size() - 1) << "one line: " << run.errors;
        EXPECT_FALSE(PathExists(c.output)) << c.output;
        EXPECT_EQ(std::vector<std::string>{}, LeftoverFiles()) << c.project;
    }
}

TEST_F(PackagingTest, AFailedBuildKeepsAnEarlierOutputUntouched) {
    std::string output = folder + "kept.exe";
    WriteFile("kept.exe", "EARLIER");
    EXPECT_EQ(1u, Build(R"({"player": "gone.ocx"})", output).exitCode);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(output, bytes));
    EXPECT_EQ(Bytes("EARLIER"), bytes);
    // A template that is not an executable fails the same way.
    WriteFile("project.json", "{}");
    BuildRun run = RunBuilder(Quoted(folder + "project.json") + " -o " + Quoted(output) +
                                  " --template " + Quoted(folder + "about.bmp"),
                              folder + "errors.txt");
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_NE(std::string::npos, run.errors.find("is not a Windows executable")) << run.errors;
    ASSERT_TRUE(ReadWholeFile(output, bytes));
    EXPECT_EQ(Bytes("EARLIER"), bytes);
}

}  // namespace
}  // namespace kelpo::test
