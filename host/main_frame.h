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
    void SetNoMovie(bool noMovie) { noMovie_ = noMovie; }
    bool QuitPending() const { return quitPending_; }
    // A script that pumps messages itself has seen the deferred close.
    void ClearQuitPending() { quitPending_ = false; }
    bool SessionEnding() const { return sessionEnding_; }

    // Loads a movie with the autoplay setting and places the window for it.
    bool OpenMovie(const std::string& path);
    // The client area's width over its height, kept after every resize.
    float AspectRatio() const { return aspectRatio_; }
    void StoreAspectRatio();

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
    void OnFileOpen(UINT id);

private:
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
};

}  // namespace kelpo
