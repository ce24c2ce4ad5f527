// Start-up, shutdown and idle processing of the projector.
#include "host/projector_app.h"

#include <winsock2.h>
#include <windows.h>

#include "host/host_access.h"
#include "host/host_events.h"
#include "host/project_loading_win32.h"
#include "host/safe_names.h"
#include "host/script_resources_win32.h"
#include "host/system_menu.h"
#include "host/window_appearance.h"
#include "platform/files.h"

namespace kelpo {

namespace {

constexpr int kApplicationIcon = 128;
constexpr int kAccelerators = 128;

void ShowError(const char* text) {
    MessageBoxA(nullptr, text, MessageTitle(TheProject()).c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace

bool CProjectorApp::RunInstallHook() {
    if (__argc < 2) return false;
    std::string first = __argv[1];
    const char* script = SameNameIgnoringCase(first, "/AfterInstall")   ? "AfterInstall"
                         : SameNameIgnoringCase(first, "/BeforeUninst") ? "BeforeUninst"
                                                                        : nullptr;
    if (!script) return false;
    WSADATA sockets;
    bool started = WSAStartup(MAKEWORD(1, 1), &sockets) == 0;
    OleInitialize(nullptr);
    RunScriptResource(script);
    OleUninitialize();
    if (started) WSACleanup();
    installHook_ = true;
    return true;
}

bool CProjectorApp::CreateOwnerWindow(HICON icon) {
    WNDCLASSEXA ownerClass = {};
    ownerClass.cbSize = sizeof ownerClass;
    ownerClass.lpfnWndProc = DefWindowProcA;
    ownerClass.hInstance = GetModuleHandleA(nullptr);
    ownerClass.hIcon = icon;
    ownerClass.lpszClassName = "KelpoProjectorOwner";
    RegisterClassExA(&ownerClass);
    owner_ = CreateWindowExA(0, ownerClass.lpszClassName, "", 0, 0, 0, 0, 0, nullptr, nullptr,
                             ownerClass.hInstance, nullptr);
    return owner_ != nullptr;
}

bool CProjectorApp::InitInstance() {
    if (RunInstallHook()) return false;
    // The owner-drawn menu hook is installed here once script menus exist.

    WSADATA sockets;
    if (WSAStartup(MAKEWORD(1, 1), &sockets) != 0) {
        MessageBoxA(nullptr, "Failed to initialize the WIndows Socket!", "", MB_OK | MB_ICONERROR);
        return false;
    }
    socketsStarted_ = true;
    oleStarted_ = SUCCEEDED(OleInitialize(nullptr));

    // Hyperlinks of the about box.
    WNDCLASSA link = {};
    link.style = CS_HREDRAW | CS_VREDRAW;
    link.lpfnWndProc = DefWindowProcA;
    link.hInstance = GetModuleHandleA(nullptr);
    link.lpszClassName = "TOPURL";
    RegisterClassA(&link);

    ProjectData& project = TheProject();
    if (!LoadProjectIdentity(project)) {
        ShowError("Invalid application data");
        return false;
    }
    PrepareInstanceFolder(project);  // without it nothing can be extracted, but the run goes on
    LoadProjectSettings(project);
    LoadProjectMasks(project);
    LoadProjectMovies(project);

    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kApplicationIcon));
    if (!CreateOwnerWindow(icon)) return false;
    frame_ = std::make_unique<CMainFrame>();
    if (!frame_->CreateFrame(owner_, icon)) return false;
    SetAccelerators(LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kAccelerators)));
    SetMainWindow(frame_->Handle());
    frame_->SetNoMovie(project.movies.paths.empty());

    ExecuteCommand(frame_->Bridge(), "Kelpo_Run", "Initialize");
    if (LastBooleanResult(frame_->Bridge()) == 0) return false;

    const ProjectSettings& settings = project.settings;
    if (settings.misc.flags & kMiscMuteSpeakers) speakers_ = MuteSpeakers();
    BuildSystemMenu(frame_->Handle(), frame_->SystemMenuBase(), settings.behaviour.contextMenu);
    // The interaction locks and the tray icon are applied here as their
    // settings objects arrive.
    StartMovie();
    frame_->StoreAspectRatio();
    ApplyTopmost(frame_->Handle(), settings.behaviour.flags, false);
    ApplyMiscOptions(*frame_, settings.misc);
    UpdateWindow(frame_->Handle());
    return true;
}

void CProjectorApp::StartMovie() {
    ProjectData& project = TheProject();
    if (project.movies.paths.empty()) {
        ApplyFrame(*frame_, project.settings.appearance);
        ShowWindow(frame_->Handle(), SW_SHOWNORMAL);
        return;
    }
    std::string movie;
    if (!TheHostEvents().getMovie || !TheHostEvents().getMovie(movie))
        movie = project.movies.paths[StartMovieIndex(project.movies)];
    frame_->OpenMovie(movie);
}

bool CProjectorApp::OnIdle(long count) {
    if (frame_ && IsWindow(frame_->Handle()) && !frame_->Bridge().pendingRuns.empty())
        return RunPendingScript(frame_->Bridge());
    return false;
}

int CProjectorApp::ExitInstance() {
    if (installHook_) return exitCode_;
    if (frame_ && frame_->Handle()) DestroyWindow(frame_->Handle());
    frame_.reset();
    RestoreSpeakers(speakers_);
    UnloadHtmlHelp();
    ProjectData& project = TheProject();
    // The private player copy goes before its folder: it is loaded once for
    // the main frame and once for every form that was opened.
    if (!project.instanceFolder.empty()) {
        std::string player = project.instanceFolder + "flash.ocx";
        for (int i = 0; i < 256; ++i) {
            HMODULE loaded = GetModuleHandleA(player.c_str());
            if (!loaded || !FreeLibrary(loaded)) break;
        }
    }
    RemoveInstanceFolder(project);
    if (owner_ && !GetSystemMetrics(SM_SHUTTINGDOWN)) DestroyWindow(owner_);
    if (oleStarted_) OleUninitialize();
    if (socketsStarted_) WSACleanup();
    return exitCode_;
}

CProjectorApp* TheProjectorApp() {
    return static_cast<CProjectorApp*>(framework::Application::Current());
}

CMainFrame* TheMainFrame() {
    CProjectorApp* app = TheProjectorApp();
    return app != nullptr ? app->Frame() : nullptr;
}

}  // namespace kelpo
