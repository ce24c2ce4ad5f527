// The message loop with idle processing.
#include "host/framework/application.h"

namespace kelpo::framework {

namespace {
Application* currentApplication = nullptr;

// Messages that do not end an idle period: they arrive constantly and carry
// no new work.
bool IsIdleMessage(const MSG& message) {
    return message.message != WM_MOUSEMOVE && message.message != WM_NCMOUSEMOVE &&
           message.message != WM_PAINT && message.message != 0x0118;  // the caret blink timer
}
}  // namespace

Application::Application() { currentApplication = this; }

Application::~Application() {
    if (currentApplication == this) currentApplication = nullptr;
}

Application* Application::Current() { return currentApplication; }

bool Application::PreTranslateMessage(MSG& message) {
    return accelerators_ && mainWindow_ &&
           TranslateAcceleratorA(mainWindow_, accelerators_, &message);
}

int Application::Run() {
    if (!InitInstance()) return ExitInstance();
    MSG message;
    bool idle = true;
    long idleCount = 0;
    for (;;) {
        while (idle && !PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) idle = false;
        }
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) exitCode_ = static_cast<int>(message.wParam);
            break;
        }
        if (!PreTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (IsIdleMessage(message)) {
            idle = true;
            idleCount = 0;
        }
    }
    return ExitInstance();
}

}  // namespace kelpo::framework
