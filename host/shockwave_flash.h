// CShockwaveFlash: the window wrapped around the player control. It finds a
// usable player (a script's, the installed control, or the private copy the
// projector carries), creates the control, gives it movies, executes the
// player menu commands and filters mouse and keyboard input by the
// interaction settings before the control sees it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "host/framework/control_host.h"
#include "host/framework/window.h"
#include "host/movie_info.h"
#include "host/transparent_window.h"

namespace kelpo {

constexpr UINT kPlayerControlId = 1113;

// Player menu command IDs.
namespace player_menu {
constexpr UINT kRewind = 20025;
constexpr UINT kZoomOut = 20030;
constexpr UINT kShowAll = 20034;
constexpr UINT kLow = 20035;
constexpr UINT kMedium = 20036;
constexpr UINT kHigh = 20037;
constexpr UINT kPlay = 20039;
constexpr UINT kForward = 20040;
constexpr UINT kBack = 20041;
constexpr UINT kZoomIn = 20042;
constexpr UINT kLoop = 20043;
constexpr UINT kAbout = 20044;
constexpr UINT k100Percent = 20046;
bool IsPlayerCommand(UINT id);
}  // namespace player_menu

class CShockwaveFlash : public framework::Window {
public:
    // The player file to load privately, or "" for the installed control.
    static std::string ProvidePlayer();

    // Creates the control as a visible child with ID 1113 over `rect`: by
    // CLSID when `path` is empty, else from that file.
    HRESULT CreatePlayer(HWND parent, const std::string& path, const RECT& rect);
    // Connects the control's FSCommand event.
    HRESULT ConnectFSCommand(framework::EventHandler handler, void* user);
    // Playing = autoPlay, Movie = path; then reads the movie information and
    // fires onMovieLoaded. False when the control refused the movie.
    bool PlayMovie(const std::string& path, bool autoPlay);
    // Releases the control and its window.
    void StopPlayer();

    IDispatch* Player() const { return host_.Dispatch(); }
    const MovieInfo& Movie() const { return movie_; }
    SIZE MovieSize() const { return SIZE{movie_.width, movie_.height}; }
    void Move(const RECT& rect) { host_.Move(rect); }
    HRESULT Draw(HDC dc, const RECT& rect) { return host_.Draw(dc, rect); }

    // Sets the check and grey states of the player items in a menu.
    void UpdatePlayerMenu(HMENU menu);
    void ExecutePlayerCommand(UINT id);

    void SetClipRegion(HRGN region);  // owned from here on (null removes it)
    void SetCursor(HCURSOR cursor) { cursor_ = cursor; }
    bool Transparent() const { return transparent_ != nullptr; }

protected:
    const framework::MessageMap* GetMessageMap() const override;
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    // 0x8003: transparent mode on (wParam 1) or off (0).
    LRESULT OnTransparentMode(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    void OnPlayerCommand(UINT id);

private:
    // True when the interaction settings let the control see the message.
    bool FilterInput(UINT message, WPARAM wParam, LPARAM lParam);
    bool FilterLeftButton(UINT message, WPARAM wParam, LPARAM lParam);
    bool FilterRightButton(UINT message, LPARAM lParam);
    void CheckExitKeys(UINT message, WPARAM wParam);
    void ShowContextMenu(LPARAM lParam);

    static const framework::MessageEntry kEntries[];
    static const framework::MessageMap kMap;

    framework::ControlHost host_;
    MovieInfo movie_;
    bool windowless_ = false;
    HRGN clip_ = nullptr;
    HCURSOR cursor_ = nullptr;
    std::unique_ptr<TransparentWindow> transparent_;
    // Window dragging by the left button.
    bool dragArmed_ = false;
    bool dragging_ = false;
    bool pressPassed_ = false;
    HWND savedCapture_ = nullptr;
    POINT dragStart_{};
    RECT windowAtPress_{};
};

}  // namespace kelpo
