// A projector stand-in for end-to-end tests: packaged by the builder like a
// real projector, it runs the start-up steps that read the project out of
// its own executable and prints what it found, one line per store, with
// paths shown relative to the instance folder so the output is stable.
//
//   project_probe.exe                 report every store, then clean up
//   project_probe.exe --caption TEXT  also change the caption and save the options
//   project_probe.exe --extra PATH    look up an additional file (repeatable)
//   project_probe.exe --support NAME  supply support file 1 as NAME
#include <windows.h>

#include <cstdio>
#include <string>

#include "corelib/core_library.h"
#include "host/failure_report.h"
#include "host/project_loading_win32.h"
#include "host/resources_win32.h"
#include "host/script_resources_win32.h"
#include "host/stored_menu.h"
#include "host/support_files_win32.h"
#include "platform/files.h"
#include "runtime/trace.h"

using namespace kelpo;

namespace {

std::string Relative(const ProjectData& project, const std::string& path) {
    if (path.compare(0, project.instanceFolder.size(), project.instanceFolder) == 0)
        return "<instance>\\" + path.substr(project.instanceFolder.size());
    if (path.compare(0, FolderOfPath(project.exePath).size(), FolderOfPath(project.exePath)) == 0)
        return "<exe>\\" + path.substr(FolderOfPath(project.exePath).size());
    return path;
}

std::string Content(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return "<unreadable>";
    return std::string(bytes.begin(), bytes.end());
}

void PrintFailure(const char* message) { std::printf("failure: %s\n", message); }

void PrintTrace(void*, const char* text, size_t length) {
    std::string line(text, length);
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0)
        line.replace(line.size() - 2, 2, "\n");
    std::printf("trace: %s", line.c_str());
}

void PrintSettings(const ProjectData& project) {
    const ProjectSettings& s = project.settings;
    std::printf("settings: saved=%d product=\"%s\" version=\"%s\" caption=\"%s\"\n",
                project.savedOptionsApplied, s.version.productName.c_str(),
                s.version.version.c_str(), s.appearance.caption);
    std::printf("appearance: shape=%u border=%u icons=%u scale=%u mask=\"%s\"\n",
                s.appearance.windowShape, s.appearance.borderStyle, s.appearance.borderIcons,
                s.appearance.scaleMode, s.appearance.maskName);
    std::printf("size: mode=%u %ux%u pos=%u at %u,%u keepRatio=%u\n", s.sizeAndPos.windowSize,
                s.sizeAndPos.width, s.sizeAndPos.height, s.sizeAndPos.pos, s.sizeAndPos.left,
                s.sizeAndPos.top, s.sizeAndPos.bKeepRatio);
    std::printf("behaviour: menu=%u flags=%u misc=%u background=%06X\n", s.behaviour.contextMenu,
                s.behaviour.flags, s.misc.flags, s.misc.backgroundColor);
    std::printf("about: \"%s\" -> \"%s\", font \"%s\"\n", s.about.link1Caption.c_str(),
                s.about.link1Target.c_str(), s.about.link1Font.faceName);
    if (s.misc.helpFile[0])
        std::printf("help: %s \"%s\"\n", Relative(project, s.misc.helpFile).c_str(),
                    Content(s.misc.helpFile).c_str());
}

void PrintMenu(const std::vector<StoredMenuItem>& items, int depth) {
    for (const StoredMenuItem& item : items) {
        std::printf("menu: %*s%u \"%s\" \"%s\"\n", depth * 2, "", item.flags, item.name.c_str(),
                    item.caption.c_str());
        PrintMenu(item.children, depth + 1);
    }
}

void PrintStores(ProjectData& project, int argc, char** argv) {
    PrintSettings(project);
    for (const std::string& mask : project.maskNames) {
        std::string file = project.instanceFolder + mask + ".msk";
        std::printf("mask: %s %s\n", mask.c_str(),
                    FileExists(file) ? Content(file).c_str() : "<none>");
    }
    std::printf("movies: flags=%u count=%u start=%u\n", project.movies.flags,
                static_cast<unsigned>(project.movies.paths.size()),
                static_cast<unsigned>(StartMovieIndex(project.movies)));
    for (const std::string& movie : project.movies.paths)
        std::printf("movie: %s %s\n", Relative(project, movie).c_str(),
                    FileExists(movie) ? std::to_string(Content(movie).size()).c_str() : "missing");
    try {
        std::vector<uint8_t> menu = LoadPackedResource("MENUS", "main");
        std::vector<StoredMenuItem> items;
        std::printf("menu: MAIN %s\n",
                    ReadStoredMenu(menu.data(), menu.size(), items) ? "read" : "damaged");
        PrintMenu(items, 1);
    } catch (const std::exception&) {
        std::printf("menu: MAIN missing\n");
    }
    std::printf("script: Initialize ran=%d\n", RunScriptResource("Initialize"));
    std::printf("script: Missing ran=%d\n", RunScriptResource("Missing"));
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) != "--extra" || i + 1 >= argc) continue;
        std::string path = GetAdditionalFile(argv[++i]);
        std::printf("extra: %s -> %s", argv[i],
                    path.empty() ? "\"\"" : Relative(project, path).c_str());
        if (FileExists(path)) std::printf(" \"%s\"", Content(path).c_str());
        std::printf("\n");
    }
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) != "--support") continue;
        const char* name = argv[i + 1];
        bool provided = ProvideSupportFile(1, name, project.instanceFolder);
        std::string path = project.instanceFolder + name;
        std::printf("support: %s provided=%d %s\n", name, provided,
                    FileExists(path) ? ("\"" + Content(path) + "\"").c_str() : "<none>");
    }
    // The system's OLEAUT32.DLL is recent enough, so no question is asked.
    std::printf("support: OLEAUT32.DLL 2.0 up to date=%d\n",
                UpdateSystemDll(2, "OLEAUT32.DLL", 2, 0));
    if (HBITMAP picture = LoadAboutPicture(project)) {
        BITMAP info;
        GetObjectA(picture, sizeof info, &info);
        std::printf("about picture: %ldx%ld\n", info.bmWidth, info.bmHeight);
        DeleteObject(picture);
    } else {
        std::printf("about picture: none\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Scripts run with the core library, as in an engine without the projector's objects.
    InstallCoreLibrary();
    SetFailureReporter(PrintFailure);
    SetTraceSink(PrintTrace, nullptr);
    ProjectData& project = TheProject();
    if (!LoadProjectIdentity(project)) {
        std::printf("Invalid application data\n");
        return 1;
    }
    std::printf("id: key=\"%s\" profile=\"%s\"\n", project.identity.key.c_str(),
                project.identity.profile.c_str());
    if (!PrepareInstanceFolder(project)) {
        std::printf("no instance folder\n");
        return 1;
    }
    LoadProjectSettings(project);
    LoadProjectMasks(project);
    LoadProjectMovies(project);
    PrintStores(project, argc, argv);
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) != "--caption") continue;
        CopyToTextBuffer(project.settings.appearance.caption, kPathTextSize, argv[i + 1]);
        std::printf("saved options: %d\n", SaveProjectSettings(project));
    }
    std::string folder = project.instanceFolder;
    RemoveInstanceFolder(project);
    std::printf("instance folder removed: %d\n", !FolderExists(folder));
    std::fflush(stdout);
    return 0;
}
