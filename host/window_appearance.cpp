// Applying the appearance settings to the main frame.
#include "host/window_appearance.h"

#include <string>
#include <vector>

#include "host/frame_styles.h"
#include "host/main_frame.h"
#include "host/player_dispatch.h"
#include "host/project_data.h"
#include "host/safe_names.h"
#include "host/window_placement.h"
#include "hostobjects/region_file.h"
#include "hostobjects/region_scaling.h"
#include "platform/files.h"

namespace kelpo {

namespace {

PixelSize SizeOf(const RECT& rect) {
    return PixelSize{rect.right - rect.left, rect.bottom - rect.top};
}

PixelSize ScreenSize() {
    HDC screen = GetDC(nullptr);
    PixelSize size{GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES)};
    ReleaseDC(nullptr, screen);
    return size;
}

// The rectangle a window restores to is kept in work-area coordinates.
RECT ToWorkspace(const PixelRect& rect) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return RECT{rect.left - work.left, rect.top - work.top, rect.right - work.left,
                rect.bottom - work.top};
}

// The mask's region in the player's client coordinates, or null.
HRGN LoadMaskRegion(CMainFrame& frame, const char* maskName) {
    std::string path = RegionFilePath(TheProject().instanceFolder, maskName);
    std::vector<uint8_t> file, data, scaled;
    if (path.empty() || !ReadWholeFile(path, file) || !ParseRegionFile(file, data)) return nullptr;
    RECT client{};
    GetClientRect(frame.Player().Handle(), &client);
    MovieLayout layout;
    layout.movieWidth = frame.Player().MovieSize().cx;
    layout.movieHeight = frame.Player().MovieSize().cy;
    layout.clientWidth = client.right;
    layout.clientHeight = client.bottom;
    layout.scaleMode =
        static_cast<int>(GetPlayerLong(frame.Player().Player(), player_id::kScaleMode, 0));
    if (!ScaleRegionData(data, layout, scaled)) return nullptr;
    return ExtCreateRegion(nullptr, static_cast<DWORD>(scaled.size()),
                           reinterpret_cast<const RGNDATA*>(scaled.data()));
}

HMODULE gHtmlHelp = nullptr;

}  // namespace

void ApplyFrame(CMainFrame& frame, const AppearanceSettings& appearance) {
    HWND hwnd = frame.Handle();
    FrameStyleChange change = FrameStylesFor(appearance.borderStyle, appearance.borderIcons);
    uint32_t style = static_cast<uint32_t>(GetWindowLongPtrA(hwnd, GWL_STYLE));
    uint32_t exStyle = static_cast<uint32_t>(GetWindowLongPtrA(hwnd, GWL_EXSTYLE));
    ApplyStyleChange(change, style, exStyle);
    if (IsWindowVisible(hwnd)) ShowWindow(hwnd, SW_HIDE);
    SetWindowLongPtrA(hwnd, GWL_STYLE, static_cast<LONG>(style));
    SetWindowLongPtrA(hwnd, GWL_EXSTYLE, static_cast<LONG>(exStyle));
    SetWindowTextA(hwnd, appearance.caption);
    SendMessageA(hwnd, kScaleModeMessage, 0, static_cast<LPARAM>(appearance.scaleMode));
}

void ApplySizeAndPos(CMainFrame& frame, const SizeAndPosSettings& sizeAndPos) {
    HWND hwnd = frame.Handle();
    // The frame styles may have changed since the last placement: the
    // frame's overhead is measured with the new ones.
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT window{}, client{};
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    PlacementInput input;
    input.screen = ScreenSize();
    input.window = SizeOf(window);
    input.client = SizeOf(client);
    input.movie = PixelSize{frame.Player().MovieSize().cx, frame.Player().MovieSize().cy};
    Placement placement = PlaceMainWindow(sizeAndPos, input);
    if (placement.action == PlacementAction::None) {
        ShowWindow(hwnd, SW_SHOWNORMAL);
        return;
    }
    // Through the window placement, so that a maximized window is restored
    // to the new rectangle rather than to its old one.
    WINDOWPLACEMENT where{};
    where.length = sizeof where;
    GetWindowPlacement(hwnd, &where);
    where.flags = 0;
    where.rcNormalPosition = ToWorkspace(placement.rect);
    where.showCmd = SW_SHOWNORMAL;
    {
        HostResizeScope resizing(frame);
        const PixelRect& r = placement.rect;
        if (placement.action == PlacementAction::Maximize) {
            where.showCmd = SW_HIDE;
            SetWindowPlacement(hwnd, &where);
            SetWindowPos(hwnd, nullptr, r.left, r.top, r.Width(), r.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
            ShowWindow(hwnd, SW_SHOWMAXIMIZED);
        } else {
            SetWindowPlacement(hwnd, &where);
            SetWindowPos(hwnd, nullptr, r.left, r.top, r.Width(), r.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    frame.RecalcLayout();
    RedrawWindow(hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void ApplyShape(CMainFrame& frame, const AppearanceSettings& appearance) {
    HWND hwnd = frame.Handle();
    if (appearance.windowShape == kShapeMask) {
        if (HRGN region = LoadMaskRegion(frame, appearance.maskName)) {
            // The player's copy decides where a press may drag the window.
            HRGN playerClip = CreateRectRgn(0, 0, 0, 0);
            CombineRgn(playerClip, region, nullptr, RGN_COPY);
            frame.Player().SetClipRegion(playerClip);
            // The window's region is relative to its top-left corner, frame
            // included; the mask covers the player's client area.
            RECT window{};
            POINT origin{0, 0};
            GetWindowRect(hwnd, &window);
            ClientToScreen(frame.Player().Handle(), &origin);
            OffsetRgn(region, origin.x - window.left, origin.y - window.top);
            SetWindowRgn(hwnd, region, TRUE);  // the system owns it from here
            UpdateWindow(hwnd);
        }
    } else {
        SetWindowRgn(hwnd, nullptr, TRUE);
    }
    bool transparent =
        appearance.windowShape == kShapeTransparentBackground || appearance.windowShape == 3;
    if (HWND player = frame.Player().Handle())
        SendMessageA(player, kTransparentModeMessage, transparent ? 1 : 0, 0);
}

void ApplyTopmost(HWND frame, uint32_t behaviourFlags, bool show) {
    if (behaviourFlags & kBehaviourStartMinimized) ShowWindow(frame, SW_MINIMIZE);
    SetWindowPos(frame, (behaviourFlags & kBehaviourAlwaysOnTop) ? HWND_TOPMOST : HWND_NOTOPMOST, 0,
                 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : 0));
}

void ApplyMiscOptions(CMainFrame& frame, const MiscSettings& misc) {
    if (misc.flags & kMiscUseHelpFile) frame.SetHelpFile(misc.helpFile);
    SendMessageA(frame.Handle(), kBackgroundMessage, 0, static_cast<LPARAM>(misc.flags));
}

void ShowHelpFile(HWND owner, const std::string& path) {
    if (path.empty()) return;
    if (path.size() >= 4 && SameNameIgnoringCase(path.substr(path.size() - 4), ".chm")) {
        using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
        if (!gHtmlHelp) gHtmlHelp = LoadLibraryA("HHCTRL.OCX");
        auto htmlHelp = gHtmlHelp ? reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(
                                        GetProcAddress(gHtmlHelp, "HtmlHelpA")))
                                  : nullptr;
        constexpr UINT kDisplayTopic = 0;  // HH_DISPLAY_TOPIC
        if (htmlHelp) htmlHelp(owner, path.c_str(), kDisplayTopic, 0);
        return;
    }
    WinHelpA(owner, path.c_str(), HELP_CONTENTS, 0);
}

void UnloadHtmlHelp() {
    if (gHtmlHelp) FreeLibrary(gHtmlHelp);
    gHtmlHelp = nullptr;
}

}  // namespace kelpo
