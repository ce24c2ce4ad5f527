// CProjectorApp: the projector's application object. InitInstance runs the
// start-up in its fixed order (install hooks, sockets, the ID resource, the
// instance folder, the project, the main frame and the player, the
// "Initialize" script, the start movie); ExitInstance undoes it; idle turns
// run the scripts queued by "Kelpo_AsynRun".
#pragma once

#include <memory>
#include <string>

#include "host/framework/application.h"
#include "host/main_frame.h"
#include "host/speaker_mute.h"

namespace kelpo {

class CProjectorApp : public framework::Application {
public:
    CMainFrame* Frame() { return frame_.get(); }
    bool InstallHook() const { return installHook_; }

protected:
    bool InitInstance() override;
    int ExitInstance() override;
    bool OnIdle(long count) override;

private:
    bool RunInstallHook();
    bool CreateOwnerWindow(HICON icon);
    void StartMovie();

    std::unique_ptr<CMainFrame> frame_;
    HWND owner_ = nullptr;
    bool installHook_ = false;
    bool socketsStarted_ = false;
    bool oleStarted_ = false;
    SpeakerMuteState speakers_;
};

}  // namespace kelpo
