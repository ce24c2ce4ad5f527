// The player wrapper: providing and creating the control, loading movies,
// the player menu, and the input filter.
#include "host/shockwave_flash.h"

#include <windowsx.h>

#include <vector>

#include "host/failure_report.h"
#include "host/host_events.h"
#include "host/host_exceptions.h"
#include "host/player_dispatch.h"
#include "host/project_data.h"
#include "host/resources_win32.h"
#include "host/support_files_win32.h"
#include "host/window_messages.h"
#include "platform/files.h"

namespace kelpo {

namespace {

const CLSID kShockwaveFlashClass = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const char kShockwaveFlashKey[] = "CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}\\InprocServer32";

// The zoom steps taken through the player menu, shared by every wrapper.
int zoomCounter = 0;

// The installed control's file version is at least 7.0.32.0.
bool InstalledPlayerIsRecent() {
    char path[MAX_PATH] = "";
    LONG size = sizeof path;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, kShockwaveFlashKey, path, &size) != ERROR_SUCCESS)
        return false;
    uint32_t version = 0, build = 0;
    if (!ReadFileVersion(path, version, build)) return false;
    return version > 0x00070000 || (version == 0x00070000 && build >= 0x00200000);
}

std::string SystemFolder() {
    char folder[MAX_PATH] = "";
    UINT length = GetSystemDirectoryA(folder, sizeof folder);
    return std::string(folder, length < sizeof folder ? length : 0) + "\\";
}

// Writes the private player copy and its support DLLs; the player's path or "".
std::string SupplyPrivatePlayer() {
    const std::string& folder = TheProject().instanceFolder;
    std::vector<uint8_t> player;
    try {
        player = LoadPackedResource("QANTOR", "FP");
    } catch (const CTopBaseException&) {
        return std::string();
    }
    if (!ProvideSupportFile(1, "MSVCRT.DLL", folder) ||
        !UpdateSystemDll(2, "OLEAUT32.DLL", 2, 20) ||
        !ProvideSupportFile(3, "URLMON.DLL", SystemFolder()) ||
        !ProvideSupportFile(4, "WININET.DLL", SystemFolder()))
        return std::string();
    // The support DLLs beside the player must be found when it loads.
    char path[32768] = "";
    DWORD length = GetEnvironmentVariableA("PATH", path, sizeof path);
    std::string newPath = std::string(path, length < sizeof path ? length : 0) + ";" + folder;
    SetEnvironmentVariableA("PATH", newPath.c_str());
    std::string file = folder + "flash.ocx";
    if (!FileExists(file) && !WriteWholeFile(file, player.data(), player.size()))
        return std::string();
    return file;
}

bool KeyHeld(int key) { return (GetKeyState(key) & 0x8000) != 0; }

}  // namespace

bool player_menu::IsPlayerCommand(UINT id) {
    switch (id) {
        case kRewind:
        case kZoomOut:
        case kShowAll:
        case kLow:
        case kMedium:
        case kHigh:
        case kPlay:
        case kForward:
        case kBack:
        case kZoomIn:
        case kLoop:
        case kAbout:
        case k100Percent: return true;
        default: return false;
    }
}

const framework::MessageEntry CShockwaveFlash::kEntries[] = {
    framework::OnMessage(WM_INITMENUPOPUP, &CShockwaveFlash::OnInitMenuPopup),
    framework::OnMessage(WM_SETCURSOR, &CShockwaveFlash::OnSetCursor),
    framework::OnMessage(kTransparentModeMessage, &CShockwaveFlash::OnTransparentMode),
    framework::OnMessage(WM_PAINT, &CShockwaveFlash::OnPaint),
    framework::OnCommandRange(player_menu::kRewind, player_menu::kZoomIn,
                              &CShockwaveFlash::OnPlayerCommand),
    framework::OnCommand(player_menu::kLoop, &CShockwaveFlash::OnPlayerCommand),
    framework::OnCommand(player_menu::k100Percent, &CShockwaveFlash::OnPlayerCommand),
};
const framework::MessageMap CShockwaveFlash::kMap = framework::MakeMessageMap(nullptr, kEntries);

const framework::MessageMap* CShockwaveFlash::GetMessageMap() const { return &kMap; }

std::string CShockwaveFlash::ProvidePlayer() {
    std::string path;
    if (TheHostEvents().getFlashPlayer && TheHostEvents().getFlashPlayer(path)) return path;
    IDispatch* installed = nullptr;
    if (SUCCEEDED(CoCreateInstance(kShockwaveFlashClass, nullptr, CLSCTX_ALL, IID_IDispatch,
                                   reinterpret_cast<void**>(&installed)))) {
        installed->Release();
        if (InstalledPlayerIsRecent()) return std::string();
    }
    return SupplyPrivatePlayer();
}

HRESULT CShockwaveFlash::CreatePlayer(HWND parent, const std::string& path, const RECT& rect) {
    HRESULT hr = path.empty()
                     ? host_.CreateFromClsid(parent, kShockwaveFlashClass, rect, kPlayerControlId)
                     : host_.CreateFromFile(parent, path.c_str(), kShockwaveFlashClass, rect,
                                            kPlayerControlId);
    if (FAILED(hr)) return hr;
    if (HWND window = host_.ControlWindow()) {
        SetWindowLongPtrA(window, GWL_STYLE,
                          GetWindowLongPtrA(window, GWL_STYLE) | WS_CHILD | WS_VISIBLE);
        Subclass(window);
    }
    // Transparent and layered windows draw the control through its view.
    uint32_t shape = TheProject().settings.appearance.windowShape;
    windowless_ = shape == kShapeTransparentBackground || shape == 3;
    return S_OK;
}

HRESULT CShockwaveFlash::ConnectFSCommand(framework::EventHandler handler, void* user) {
    static const IID kShockwaveFlashEvents = {
        0xD27CDB6D, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    return host_.ConnectEvents(kShockwaveFlashEvents, handler, user);
}

bool CShockwaveFlash::PlayMovie(const std::string& path, bool autoPlay) {
    IDispatch* player = Player();
    if (!player) return false;
    PutPlayerBool(player, player_id::kPlaying, autoPlay);
    if (FAILED(PutPlayerText(player, player_id::kMovie, path))) return false;
    ReadMovieInfoFromFile(path, movie_);  // unreadable information leaves 0 by 0
    if (TheHostEvents().movieLoaded) TheHostEvents().movieLoaded(path);
    return true;
}

void CShockwaveFlash::StopPlayer() {
    transparent_.reset();
    if (Handle()) Unsubclass();
    host_.Close();
    SetClipRegion(nullptr);
}

void CShockwaveFlash::SetClipRegion(HRGN region) {
    if (clip_) DeleteObject(clip_);
    clip_ = region;
}

void CShockwaveFlash::UpdatePlayerMenu(HMENU menu) {
    IDispatch* player = Player();
    if (!player || !menu) return;
    auto check = [&](UINT id, bool on) {
        CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    };
    EnableMenuItem(menu, player_menu::kZoomOut,
                   MF_BYCOMMAND | (zoomCounter == 0 ? MF_GRAYED : MF_ENABLED));
    long scale = GetPlayerLong(player, player_id::kScaleMode, -1);
    check(player_menu::k100Percent, scale == 3);
    check(player_menu::kShowAll, scale == 0);
    std::string quality = GetPlayerText(player, player_id::kQuality2);
    check(player_menu::kLow, quality == "Low");
    check(player_menu::kMedium, quality == "Medium");
    check(player_menu::kHigh, quality == "High");
    check(player_menu::kPlay, GetPlayerBool(player, player_id::kPlaying) &&
                                  !GetPlayerText(player, player_id::kMovie).empty());
    check(player_menu::kLoop, GetPlayerBool(player, player_id::kLoop));
}

void CShockwaveFlash::ExecutePlayerCommand(UINT id) {
    IDispatch* player = Player();
    if (!player) return;
    auto zoom = [&](int steps) {
        VARIANT argument;
        VariantInit(&argument);
        argument.vt = VT_I4;
        argument.lVal = steps;
        CallPlayerMethod(player, player_id::kZoom, &argument, 1, nullptr);
    };
    auto quality = [&](const char* value) {
        if (GetPlayerText(player, player_id::kQuality2) != value)
            PutPlayerText(player, player_id::kQuality2, value);
    };
    switch (id) {
        case player_menu::kZoomIn: zoom(++zoomCounter); break;
        case player_menu::kZoomOut: zoom(--zoomCounter); break;
        case player_menu::k100Percent: PutPlayerLong(player, player_id::kScaleMode, 3); break;
        case player_menu::kShowAll: PutPlayerLong(player, player_id::kScaleMode, 0); break;
        case player_menu::kLow: quality("Low"); break;
        case player_menu::kMedium: quality("Medium"); break;
        case player_menu::kHigh: quality("High"); break;
        case player_menu::kPlay:
            CallPlayerMethod(
                player,
                GetPlayerBool(player, player_id::kPlaying) ? player_id::kStop : player_id::kPlay,
                nullptr, 0, nullptr);
            break;
        case player_menu::kLoop:
            PutPlayerBool(player, player_id::kLoop, !GetPlayerBool(player, player_id::kLoop));
            break;
        case player_menu::kRewind:
            CallPlayerMethod(player, player_id::kRewind, nullptr, 0, nullptr);
            break;
        case player_menu::kForward:
            CallPlayerMethod(player, player_id::kForward, nullptr, 0, nullptr);
            break;
        case player_menu::kBack:
            CallPlayerMethod(player, player_id::kBack, nullptr, 0, nullptr);
            break;
        default: break;
    }
}

void CShockwaveFlash::OnPlayerCommand(UINT id) {
    if (id == player_menu::kAbout) {
        Window::DefaultProc(WM_COMMAND, id, 0);  // the control's own handling
        return;
    }
    ExecutePlayerCommand(id);
}

LRESULT CShockwaveFlash::OnInitMenuPopup(WPARAM wParam, LPARAM lParam) {
    UpdatePlayerMenu(reinterpret_cast<HMENU>(wParam));
    return 0;
}

LRESULT CShockwaveFlash::OnTransparentMode(WPARAM wParam, LPARAM) {
    if (!wParam) {
        transparent_.reset();
    } else if (!transparent_ && Handle()) {
        transparent_ = std::make_unique<TransparentWindow>(GetAncestor(Handle(), GA_ROOT), *this);
    }
    return 0;
}

LRESULT CShockwaveFlash::OnPaint(WPARAM wParam, LPARAM lParam) {
    if (!transparent_) return Window::DefaultProc(WM_PAINT, wParam, lParam);
    ValidateRect(Handle(), nullptr);
    if (transparent_->Painting()) return 0;  // asked for by the movie during a paint
    transparent_->Paint();
    // What the two renderings invalidated is painted already.
    ValidateRect(Handle(), nullptr);
    return 0;
}

LRESULT CShockwaveFlash::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    if (cursor_ && LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(cursor_);
        return TRUE;
    }
    return Window::DefaultProc(WM_SETCURSOR, wParam, lParam);
}

// Input reaches the control only through the interaction filter.

LRESULT CShockwaveFlash::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!FilterInput(message, wParam, lParam)) return 0;
    return Window::DefaultProc(message, wParam, lParam);
}

bool CShockwaveFlash::FilterInput(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_MOUSEMOVE: return FilterLeftButton(message, wParam, lParam);
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK: return FilterRightButton(message, lParam);
        case WM_KEYUP:
        case WM_SYSKEYUP: CheckExitKeys(message, wParam); [[fallthrough]];
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_CHAR:
        case WM_SYSCHAR: return !(TheProject().settings.interaction.keyPress & 16);
        default: return true;
    }
}

bool CShockwaveFlash::FilterLeftButton(UINT message, WPARAM wParam, LPARAM lParam) {
    uint32_t mode = TheProject().settings.interaction.lBtnClk;
    HWND main = GetAncestor(Handle(), GA_ROOT);
    if (mode == 2) return message == WM_MOUSEMOVE || message == WM_LBUTTONUP;
    if (mode != 1) {
        // Send mode. A press that passed and then moves with the button held
        // is where dragging files out of the movie starts (the DragDrop
        // settings object hooks in here).
        if (message == WM_LBUTTONDOWN) pressPassed_ = true;
        if (message == WM_LBUTTONUP) pressPassed_ = false;
        return true;
    }
    POINT cursor;
    GetCursorPos(&cursor);
    switch (message) {
        case WM_LBUTTONDOWN:
            if (!clip_ || PtInRegion(clip_, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) {
                dragArmed_ = true;
                savedCapture_ = GetCapture();
                dragStart_ = cursor;
                GetWindowRect(main, &windowAtPress_);
                ReleaseCapture();
            }
            return true;
        case WM_MOUSEMOVE:
            if (dragArmed_ && !dragging_) {
                SetCapture(Handle());
                dragging_ = true;
                return false;
            }
            if (!dragging_) return true;
            if (wParam & MK_LBUTTON) {
                SetWindowPos(main, nullptr, windowAtPress_.left + cursor.x - dragStart_.x,
                             windowAtPress_.top + cursor.y - dragStart_.y, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                return false;
            }
            dragging_ = false;
            dragArmed_ = false;
            ReleaseCapture();
            if (savedCapture_) SetCapture(savedCapture_);
            return true;
        case WM_LBUTTONUP:
            if (dragging_) ReleaseCapture();
            dragArmed_ = dragging_ = false;
            return true;
        default:  // double-clicks
            return false;
    }
}

bool CShockwaveFlash::FilterRightButton(UINT message, LPARAM lParam) {
    uint32_t mode = TheProject().settings.interaction.rBtnClk;
    if (mode == 0) return true;
    if (mode == 2) return false;
    if (message == WM_RBUTTONDOWN) ShowContextMenu(lParam);
    return message == WM_RBUTTONDBLCLK;
}

void CShockwaveFlash::ShowContextMenu(LPARAM lParam) {
    HWND main = GetAncestor(Handle(), GA_ROOT);
    HMENU menu = GetSystemMenu(main, FALSE);
    if (!menu) return;
    SendMessageA(Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0xFFFF);
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(Handle(), &at);
    UINT id = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, main, nullptr);
    if (id == 0) return;
    if (player_menu::IsPlayerCommand(id))
        SendMessageA(Handle(), WM_COMMAND, id, 0);
    else
        SendMessageA(main, WM_SYSCOMMAND, id, 0);
}

void CShockwaveFlash::CheckExitKeys(UINT message, WPARAM wParam) {
    const InteractionSettings& interaction = TheProject().settings.interaction;
    HWND main = GetAncestor(Handle(), GA_ROOT);
    if ((interaction.exitKeys & 1) && wParam == VK_ESCAPE) {
        PostMessageA(main, WM_CLOSE, 0, 0);
        return;
    }
    if ((interaction.exitKeys & 16) && wParam == interaction.hotKeyCode) {
        uint16_t modifiers = interaction.hotKeyModifiers;
        if ((modifiers & 4) && !KeyHeld(VK_MENU)) return;
        if ((modifiers & 2) && !KeyHeld(VK_CONTROL)) return;
        if ((modifiers & 1) && !KeyHeld(VK_SHIFT)) return;
        PostMessageA(main, WM_CLOSE, 0, 0);
    }
}

}  // namespace kelpo
