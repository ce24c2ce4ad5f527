// The main frame: player host, command bridge, deferred close, session end,
// inter-process calls and File Open.
#include "host/main_frame.h"

#include <commctrl.h>
#include <commdlg.h>

#include "host/copy_data_call.h"
#include "host/frame_styles.h"
#include "host/host_events.h"
#include "host/host_exceptions.h"
#include "host/open_location_dialog.h"
#include "host/player_dispatch.h"
#include "host/project_data.h"
#include "host/project_loading_win32.h"
#include "host/resources_win32.h"
#include "host/system_menu.h"
#include "host/window_appearance.h"
#include "host/window_placement.h"

namespace kelpo {

namespace {

bool LoadScriptResource(void*, const char* name, std::vector<uint8_t>& image) {
    try {
        image = LoadPackedResource("KELPO", name);
        return true;
    } catch (const CTopBaseException&) {
        return false;  // a missing or damaged resource runs nothing
    }
}

std::string TextOf(const VARIANT& value) {
    return value.vt == VT_BSTR ? BstrToAnsi(value.bstrVal) : std::string();
}

}  // namespace

const framework::MessageEntry CMainFrame::kEntries[] = {
    framework::OnMessage(WM_CREATE, &CMainFrame::OnCreate),
    framework::OnMessage(WM_CLOSE, &CMainFrame::OnClose),
    framework::OnMessage(kCloseMessage, &CMainFrame::OnClose),
    framework::OnMessage(WM_ENDSESSION, &CMainFrame::OnEndSession),
    framework::OnMessage(WM_COPYDATA, &CMainFrame::OnCopyData),
    framework::OnMessage(WM_ERASEBKGND, &CMainFrame::OnEraseBackground),
    framework::OnMessage(WM_SYSCOMMAND, &CMainFrame::OnSysCommand),
    framework::OnMessage(kScaleModeMessage, &CMainFrame::OnScaleMode),
    framework::OnMessage(kBackgroundMessage, &CMainFrame::OnBackground),
    framework::OnMessage(WM_DESTROY, &CMainFrame::OnDestroy),
    framework::OnMessage(kReapplyShapeMessage, &CMainFrame::OnReapplyShape),
    framework::OnMessage(WM_ENTERSIZEMOVE, &CMainFrame::OnEnterSizeMove),
    framework::OnMessage(WM_EXITSIZEMOVE, &CMainFrame::OnExitSizeMove),
    framework::OnMessage(WM_INITMENUPOPUP, &CMainFrame::OnInitMenuPopup),
    framework::OnCommand(kFileOpenCommand, &CMainFrame::OnFileOpen),
    // Still to come with their settings objects: 0x87D3 (tray icon
    // notifications), the owner-drawn menu messages and script menu
    // commands 47000 to 56999.
};
const framework::MessageMap CMainFrame::kMap =
    framework::MakeMessageMap(&FrameWindow::kMap, kEntries);

const framework::MessageMap* CMainFrame::GetMessageMap() const { return &kMap; }

CMainFrame::CMainFrame() {
    bridge_.host.user = this;
    bridge_.host.loadScript = LoadScriptResource;
    bridge_.host.closeMainWindow = [](void* user) {
        SendMessageA(static_cast<CMainFrame*>(user)->Handle(), WM_CLOSE, 0, 0);
    };
    bridge_.host.applyWindowSettings = [](void* user) {
        static_cast<CMainFrame*>(user)->ApplyWindowSettings();
    };
    bridge_.host.exec = [](void*, const std::string& commandLine) {
        WinExec(commandLine.c_str(), SW_SHOWNORMAL);
    };
}

bool CMainFrame::CreateFrame(HWND owner, HICON icon) {
    return Create("KelpoProjectorFrame", "", WS_OVERLAPPEDWINDOW, WS_EX_APPWINDOW, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, 0, icon);
}

LRESULT CMainFrame::OnCreate(WPARAM, LPARAM) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    // The status bar starts hidden; the StatusBar settings object shows it.
    statusBar_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD, 0, 0, 0, 0, Handle(),
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kStatusBarId)),
                                 nullptr, nullptr);
    if (statusBar_) DockBar(statusBar_);
    return CreatePlayerHost() ? 0 : -1;
}

bool CMainFrame::CreatePlayerHost() {
    playerFile_ = CShockwaveFlash::ProvidePlayer();
    if (FAILED(player_.CreatePlayer(Handle(), playerFile_, ViewRect()))) {
        ExecuteCommand(bridge_, "Kelpo_Run", "Initialize");
        if (LastBooleanResult(bridge_) != 0)
            MessageBoxA(nullptr, "Failed to load the Macromedia Flash Player!",
                        MessageTitle(TheProject()).c_str(), MB_OK | MB_ICONERROR);
        return false;
    }
    player_.ConnectFSCommand(OnPlayerEvent, this);
    // The system's own items; the project's come after them.
    systemMenuBase_ = GetMenuItemCount(GetSystemMenu(Handle(), FALSE));
    if (HWND control = player_.Handle()) SetFocus(control);
    // Marks the frame for the owner-drawn menus.
    SetPropA(Handle(), "XPWndProp_MenuXP", reinterpret_cast<HANDLE>(1));
    return true;
}

void CMainFrame::OnPlayerEvent(void* user, DISPID id, DISPPARAMS* params) {
    if (id != player_id::kFSCommand || !params || params->cArgs < 2) return;
    CMainFrame* frame = static_cast<CMainFrame*>(user);
    // Arguments arrive last first: command, then its argument.
    ExecuteCommand(frame->bridge_, TextOf(params->rgvarg[1]), TextOf(params->rgvarg[0]));
}

void CMainFrame::OnViewResized(const RECT& view) {
    if (!hostResizing_) player_.Move(view);
}

void CMainFrame::StoreAspectRatio() {
    RECT client;
    GetClientRect(Handle(), &client);
    if (client.bottom > client.top)
        aspectRatio_ = static_cast<float>(client.right - client.left) /
                       static_cast<float>(client.bottom - client.top);
}

bool CMainFrame::LoadMovie(const std::string& path) {
    bool autoPlay = (TheProject().settings.behaviour.flags & kBehaviourAutoPlay) != 0;
    return player_.PlayMovie(path, autoPlay);
}

bool CMainFrame::OpenMovie(const std::string& path) {
    if (!LoadMovie(path)) return false;
    const ProjectSettings& settings = TheProject().settings;
    ApplyFrame(*this, settings.appearance);
    ApplySizeAndPos(*this, settings.sizeAndPos);
    // A transparent background (shapes 1 and 3) is switched on here too:
    // the player was made for it, and nothing else would turn it on.
    if (settings.appearance.windowShape != kShapeRectangle) ApplyShape(*this, settings.appearance);
    return true;
}

void CMainFrame::ApplyWindowSettings() {
    const ProjectSettings& settings = TheProject().settings;
    ApplyFrame(*this, settings.appearance);
    ApplySizeAndPos(*this, settings.sizeAndPos);
    ApplyShape(*this, settings.appearance);
    StoreAspectRatio();
}

void CMainFrame::ShutDownPlayer() { player_.StopPlayer(); }

LRESULT CMainFrame::OnClose(WPARAM, LPARAM) {
    if (bridge_.busy > 0) {
        // Inside a script call: end a modal dialog the script may show, and
        // come back when the call has returned.
        HWND active = GetActiveWindow();
        if (active && active != Handle()) PostMessageA(active, WM_COMMAND, IDCANCEL, 0);
        quitPending_ = true;
        PostMessageA(Handle(), WM_CLOSE, 0, 0);
        return 0;
    }
    quitPending_ = false;
    ExecuteCommand(bridge_, "Kelpo_Quit", "");
    if (TheHostEvents().closeTraceFile) TheHostEvents().closeTraceFile();
    // The tray icon is removed here once its object exists.
    ShutDownPlayer();
    DestroyWindow(Handle());
    return 0;
}

LRESULT CMainFrame::OnEndSession(WPARAM wParam, LPARAM lParam) {
    if (wParam) {
        ShutDownPlayer();
        ExecuteCommand(bridge_, "Kelpo_Quit", "");
        if (TheHostEvents().closeTraceFile) TheHostEvents().closeTraceFile();
        sessionEnding_ = true;
    }
    return DefaultProc(WM_ENDSESSION, wParam, lParam);
}

LRESULT CMainFrame::OnCopyData(WPARAM, LPARAM lParam) {
    if (!bridge_.mainEngine) return 0;
    const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    CopyDataCall call;
    if (!data || !ParseCopyDataCall(static_cast<const uint8_t*>(data->lpData), data->cbData, call))
        return -1;
    std::string reply;
    {
        ScriptBusyScope busy(bridge_);
        reply = RunCopyDataCall(bridge_.mainEngine, call);
    }
    if (HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, call.mappingName.c_str())) {
        if (void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kCallReplySize)) {
            MEMORY_BASIC_INFORMATION region{};
            VirtualQuery(view, &region, sizeof region);
            WriteCallReply(static_cast<uint8_t*>(view), region.RegionSize, reply);
            UnmapViewOfFile(view);
        }
        CloseHandle(mapping);
    }
    return static_cast<LRESULT>(reply.size());
}

LRESULT CMainFrame::OnEraseBackground(WPARAM, LPARAM) {
    return 1;  // the player covers the client area
}

LRESULT CMainFrame::OnSysCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = static_cast<UINT>(wParam);
    if (player_menu::IsPlayerCommand(id) && player_.Handle()) {
        SendMessageA(player_.Handle(), WM_COMMAND, id,
                     reinterpret_cast<LPARAM>(GetSystemMenu(Handle(), FALSE)));
        return 0;
    }
    if (id == kHelpCommand) {
        ShowHelpFile(Handle(), helpFile_);
        return 0;
    }
    // 32777 (options) and 32780 (about) open the option pages and the about
    // box once those exist.
    return DefaultProc(WM_SYSCOMMAND, wParam, lParam);
}

// lParam: the settings' scale mode (1 show all, 2 no border, 256 exact
// fit, 16 no scale); other values change nothing.
LRESULT CMainFrame::OnScaleMode(WPARAM, LPARAM lParam) {
    int mode = PlayerScaleModeFor(static_cast<uint32_t>(lParam));
    if (mode >= 0) PutPlayerLong(player_.Player(), player_id::kScaleMode, mode);
    return 0;
}

// lParam: the misc flags; flag 1 gives the player the settings' colour.
LRESULT CMainFrame::OnBackground(WPARAM, LPARAM lParam) {
    if (!(static_cast<uint32_t>(lParam) & kMiscCustomBackground)) return 0;
    uint32_t bytes = TheProject().settings.misc.backgroundColor;  // red, green, blue, 0
    long rgb =
        static_cast<long>(((bytes & 0xFF) << 16) | (bytes & 0xFF00) | ((bytes >> 16) & 0xFF));
    PutPlayerLong(player_.Player(), player_id::kBackgroundColor, rgb);
    return 0;
}

LRESULT CMainFrame::OnReapplyShape(WPARAM, LPARAM) {
    ApplyShape(*this, TheProject().settings.appearance);
    return 0;
}

LRESULT CMainFrame::OnEnterSizeMove(WPARAM wParam, LPARAM lParam) {
    GetWindowRect(Handle(), &sizeMoveStart_);
    return DefaultProc(WM_ENTERSIZEMOVE, wParam, lParam);
}

LRESULT CMainFrame::OnExitSizeMove(WPARAM wParam, LPARAM lParam) {
    LRESULT result = DefaultProc(WM_EXITSIZEMOVE, wParam, lParam);
    if (!TheProject().settings.sizeAndPos.bKeepRatio || IsZoomed(Handle())) return result;
    RECT window{}, client{};
    GetWindowRect(Handle(), &window);
    GetClientRect(Handle(), &client);
    PixelRect corrected;
    const PixelRect now{window.left, window.top, window.right, window.bottom};
    const PixelRect start{sizeMoveStart_.left, sizeMoveStart_.top, sizeMoveStart_.right,
                          sizeMoveStart_.bottom};
    if (KeepRatioRect(now, start, PixelSize{client.right, client.bottom}, aspectRatio_,
                      corrected)) {
        SetWindowPos(Handle(), nullptr, corrected.left, corrected.top, corrected.Width(),
                     corrected.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return result;
}

// The system menu shown as the right-click context menu (not as the
// window's own menu) greys the commands the window cannot carry out.
LRESULT CMainFrame::OnInitMenuPopup(WPARAM wParam, LPARAM lParam) {
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    if (!HIWORD(lParam) && menu == GetSystemMenu(Handle(), FALSE))
        GreyWindowCommands(menu, Handle(), TheProject().settings.appearance);
    return DefaultProc(WM_INITMENUPOPUP, wParam, lParam);
}

LRESULT CMainFrame::OnDestroy(WPARAM, LPARAM) {
    ShutDownPlayer();
    ShutDownBridge(bridge_);
    PostQuitMessage(0);
    return 0;
}

void CMainFrame::OnFileOpen(UINT) {
    if (!noMovie_) return;
    std::string location;
    if (!AskForLocation(Handle(), location) || location.empty()) return;
    if (!LoadMovie(location)) return;
    ApplySizeAndPos(*this, TheProject().settings.sizeAndPos);
    StoreAspectRatio();
}

}  // namespace kelpo
