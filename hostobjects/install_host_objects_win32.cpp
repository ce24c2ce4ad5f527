#include "hostobjects/install_host_objects.h"

#include "hostobjects/flash_player_classes.h"
#include "hostobjects/main_player_port.h"
#include "runtime/builtins.h"

namespace kelpo {

void InstallHostObjects() {
    SetPlayerPortSource(MainPlayerPort);
    SetHostRegistration(kHostStepFlashPlayer, RegisterFlashPlayerClass);
    SetHostRegistration(kHostStepMovieClip, RegisterMovieClipClass);
    // 26 createControl, 30 Window, 38 Menu, 40 SplashWnd and 51 Form arrive
    // with their classes.
}

}  // namespace kelpo
