// CMainFrame: the projector's main window. It hosts the player wrapper,
// owns the command bridge (main script engine, script cache, pending runs,
// script-busy counter), defers closing while a script runs, and answers
// calls from other projectors.
#pragma once

#include <string>

#include "host/command_bridge.h"
#include "host/framework/frame_window.h"
#include "host/shockwave_flash.h"
#include "host/window_messages.h"

namespace kelpo {

class CMainFrame : public framework::FrameWindow {
public:
    CMainFrame();
    // Creates the frame (WS_OVERLAPPEDWINDOW, WS_EX_APPWINDOW, empty title)
    // owned by `owner`; false when the frame or its player cannot be made.
    bool CreateFrame(HWND owner, HICON icon);

    CommandBridge& Bridge() { return bridge_; }
    CShockwaveFlash& Player() { return player_; }
    // The control file the player was created from ("" for the installed one).
    const std::string& PlayerFile() const { return playerFile_; }
    void SetNoMovie(bool noMovie) { noMovie_ = noMovie; }
    bool QuitPending() const { return quitPending_; }
    // A script that pumps messages itself has seen the deferred close.
    void ClearQuitPending() { quitPending_ = false; }
    bool SessionEnding() const { return sessionEnding_; }

    // Loads a movie with the autoplay setting (no placement).
    bool LoadMovie(const std::string& path);
    // Loads a movie and applies the appearance, size and position and the
    // clip shape for it.
    bool OpenMovie(const std::string& path);
    // Applies the appearance, size and position and shape settings again
    // ("fullscreen", the settings objects).
    void ApplyWindowSettings();
    // The client area's width over its height, kept after every placement
    // the host makes (not after the user's own resizing).
    float AspectRatio() const { return aspectRatio_; }
    void StoreAspectRatio();
    // The system menu's item count right after the player was created.
    int SystemMenuBase() const { return systemMenuBase_; }
    const std::string& HelpFile() const { return helpFile_; }
    void SetHelpFile(const std::string& path) { helpFile_ = path; }

protected:
    const framework::MessageMap* GetMessageMap() const override;
    void OnViewResized(const RECT& view) override;

    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);
    LRESULT OnCopyData(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnScaleMode(WPARAM wParam, LPARAM lParam);
    LRESULT OnBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnReapplyShape(WPARAM wParam, LPARAM lParam);
    LRESULT OnEnterSizeMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnExitSizeMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    void OnFileOpen(UINT id);

private:
    friend class HostResizeScope;
    static void OnPlayerEvent(void* user, DISPID id, DISPPARAMS* params);
    bool CreatePlayerHost();
    void ShutDownPlayer();

    static const framework::MessageEntry kEntries[];
    static const framework::MessageMap kMap;

    CShockwaveFlash player_;
    CommandBridge bridge_;
    HWND statusBar_ = nullptr;
    bool noMovie_ = false;
    bool quitPending_ = false;
    bool sessionEnding_ = false;
    float aspectRatio_ = 0;
    int systemMenuBase_ = 0;
    std::string playerFile_;
    std::string helpFile_;
    // Set while the host itself moves or sizes the frame: the player is
    // sized once afterwards, not at every step.
    bool hostResizing_ = false;
    // The window's rectangle when the user began moving or sizing it.
    RECT sizeMoveStart_{};
};

// Marks a host-driven resize of the frame for as long as it is alive.
class HostResizeScope {
public:
    explicit HostResizeScope(CMainFrame& frame) : frame_(frame) { frame_.hostResizing_ = true; }
    ~HostResizeScope() { frame_.hostResizing_ = false; }
    HostResizeScope(const HostResizeScope&) = delete;
    HostResizeScope& operator=(const HostResizeScope&) = delete;

private:
    CMainFrame& frame_;
};

}  // namespace kelpo
