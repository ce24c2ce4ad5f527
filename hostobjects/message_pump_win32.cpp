#include "hostobjects/message_pump_win32.h"

#include <windows.h>

#include "host/framework/application.h"
#include "hostobjects/projector_port_win32.h"

namespace kelpo {
namespace {

constexpr UINT kKickIdleMessage = 0x036A;

}  // namespace

bool ProcessWaitingMessages() {
    MSG message;
    for (;;) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) return true;
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            // The application's loop ends the program once the script is done.
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (message.message != kKickIdleMessage) {
            framework::Application* application = framework::Application::Current();
            if (!application || !application->PreTranslate(message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
        if (TakeDeferredClose()) return false;
    }
}

}  // namespace kelpo
